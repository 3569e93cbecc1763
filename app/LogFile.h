#pragma once

#include <QString>
#include <QStringList>

class RunLog;
struct UserPrompts;

// Where "Open in Notepad" saves the log: LOG.TXT in the temporary folder.
QString logFilePath();

// Writes the lines to `path`, replacing the file: 8-bit in the locale's code page, each line
// followed by CR LF, no byte-order mark. Throws Failure naming the file when it cannot.
void saveLogFile(const QStringList &lines, const QString &path);

// The editor command: $VISUAL, else $EDITOR, else the desktop's default opener.
QStringList editorCommand(const QString &file);

// Starts `command` detached without waiting. Returns 0 on success, else an error number
// (2 when the program cannot be found, as the system reports a missing file).
int startDetached(const QStringList &command);

// "Open in Notepad": saves the log to LOG.TXT and opens it in the text editor. A file that
// cannot be written becomes a log line and no editor is started; an editor that cannot be
// started gives the message box "Error N returned".
void OpenLogInEditor(RunLog &log, UserPrompts &prompts);
