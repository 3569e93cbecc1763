#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files of a STRATON project that the workbench reads: 8-bit Windows-1252, CR LF after every
// line, no byte-order mark.
QByteArray projectFileBytes(const QStringList &lines);

// Replaces the file at `path` with `bytes` atomically: a crash or a full disk leaves the old
// file whole. Throws Failure naming the file and the problem.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

// Writes the lines as a project file, atomically.
void writeProjectTextFile(const QString &path, const QStringList &lines);

// Reads a text file into lines: a byte-order mark selects UTF-8 or UTF-16, without one the
// bytes are Windows-1252. CR LF, LF and CR all end a line; a last line without an end counts.
// Throws Failure naming the file when it cannot be read.
QStringList readProjectTextFile(const QString &path);
// The same for bytes already read.
QStringList projectTextLines(const QByteArray &bytes);
