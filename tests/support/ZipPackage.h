#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Zip packages written part by part, for workbooks that a test builds by hand (values that
// libxlsxwriter cannot write, damaged or hostile packages).
struct PackagePart {
    QString name;
    QByteArray bytes;
    qint64 zeros = 0; // when not 0, the part is this many zero bytes, made as it is written
};

enum class PartEncryption { None, Password };

// Writes the parts as a zip file at `path`, deflated; with Password every part is encrypted.
// Fails the current test when libzip refuses.
void writeZipPackage(const QString &path, const std::vector<PackagePart> &parts,
                     PartEncryption encryption = PartEncryption::None);

// Sets the uncompressed size that the zip file at `path` states for `part`, in its local
// header and in the central directory alike: a hostile archive that lies about its parts.
void patchStatedSize(const QString &path, const QString &part, quint32 size);

// The parts of a zip file, inflated; empty when it cannot be read.
std::vector<PackagePart> readZipPackage(const QString &path);

// Replaces (or adds) one part of `parts`.
void setPart(std::vector<PackagePart> &parts, const QString &name, const QByteArray &bytes);

// A small .xlsx package: one worksheet "Sheet1" with `sheetData` (the content of its
// <sheetData> element), and a styles part with `cellXfs`/`numFmts` element content when given.
std::vector<PackagePart> minimalXlsxParts(const QByteArray &sheetData,
                                          const QByteArray &cellXfs = {},
                                          const QByteArray &numFmts = {});
