#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// Parts of a zip package in the order they are written: (name, bytes).
using ZipParts = std::vector<std::pair<QString, QByteArray>>;

// Writes a zip package with libzip; a part named "mimetype" is stored uncompressed, as
// OpenDocument packages keep it. Fails the running test when the package cannot be written.
void writeZipPackage(const QString &path, const ZipParts &parts);

// content.xml of a spreadsheet whose office:spreadsheet element holds `tables` (the XML of
// its table:table elements), with the usual namespace prefixes bound.
QByteArray odsContent(const QByteArray &tables);

// The parts of an .ods file: mimetype, META-INF/manifest.xml and content.xml around `tables`.
ZipParts odsParts(const QByteArray &tables);

// Writes an .ods file whose content.xml holds `tables` and returns its path.
QString writeOdsFile(const QString &path, const QByteArray &tables);
