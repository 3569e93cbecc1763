#pragma once

#include <QString>

// Writes a VBA project (the compound file an .xlsm holds as xl/vbaProject.bin) with one
// standard module "Module1" holding `source`: the PROJECT stream, VBA/_VBA_PROJECT marked as
// holding no compiled code, VBA/dir with the project and module records, and the module's
// source in the format's compression (literal tokens only). Spreadsheet applications that
// import VBA read the source, so nothing compiled is needed. Fails the current test when the
// file cannot be written.
void writeVbaProject(const QString &path, const QString &source);
