#pragma once

#include <QString>

class QTemporaryDir;

// The benchmark's template (bench.xml) and a workbook of `signalCount` signals over six
// signal types (bench.xlsx) written into `dir`; returns the workbook's path. The project
// the workbook names is "Bench", beside it.
QString writeBenchInputs(const QTemporaryDir &dir, int signalCount);
