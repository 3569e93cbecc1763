#pragma once

#include <QLibrary>
#include <QString>
#include <memory>

// Loads an outside component's shared library by its bare name: from the program's own
// folder first, then through the system's search path. Null when neither has it. The library
// stays mapped for the rest of the program: another binding of it may unload it while this
// one still calls it, and its own threads may still be ending when the program lets go of it.
std::unique_ptr<QLibrary> loadOutsideLibrary(const QString &libraryName);
