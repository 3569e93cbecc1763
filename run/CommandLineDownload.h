#pragma once

#include <QString>

class QTextStream;
class RunLog;

// The download of the command line: the download session without a window. The dialog's
// status changes and list lines go to `out` as they come; Ctrl-C closes the download as the
// dialog's close box does (result 2). Returns the session's result: 1 downloaded, 2 closed,
// 3 not connected.
int downloadFromCommandLine(RunLog &log, const QString &IpAddress, const QString &ProjectFolder,
                            QTextStream &out);
