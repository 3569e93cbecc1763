#pragma once

#include <QByteArray>
#include <QStringList>

struct RunState;

// What a command's runs built, as the JSON generation dump: the data the window's template
// view shows, in a form scripts and tests can compare.
struct DumpInput {
    bool ok = false;
    QStringList logLines; // as the run log holds them, with their time stamps
    QStringList messageBoxes;
};

QByteArray generationDump(const RunState &state, const DumpInput &input);

// Writes the dump to `path` atomically; throws Failure naming the file.
void writeGenerationDump(const QString &path, const QByteArray &dump);
