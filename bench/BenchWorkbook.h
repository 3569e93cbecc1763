#pragma once

#include <QString>
#include <optional>

class QTemporaryDir;

// How the benchmark's workbook is written: by our own workbook writer (libxlsxwriter), or as
// spreadsheet tools write theirs.
enum class BenchForm { Synthetic, InlineStrings, SharedStringsAndStyles };

// "synthetic", "inline strings", "shared strings, styles": for tables.
const char *benchFormName(BenchForm form);
// The form named on a command line ("synthetic", "inline", "shared"); none when unknown.
std::optional<BenchForm> benchFormFromArgument(const QString &argument);
QString benchFormArgument(BenchForm form);

// The benchmark's template (bench.xml) and a workbook of `signalCount` signals over six
// signal types (bench.xlsx) written into `dir` in the given form; returns the workbook's path.
// The project the workbook names is "Bench", beside it.
QString writeBenchInputs(const QTemporaryDir &dir, int signalCount,
                         BenchForm form = BenchForm::Synthetic);
