#pragma once

#include <QString>

struct UserPrompts;

// Starts a program with one argument, detached, and tells whether it started in the shell's
// manner: a result above 32 is success; 2 means the file was not found, 5 that it may not be
// run, 31 that it could not be started otherwise. An empty folder runs it in the current one.
int LaunchProgram(const QString &File, const QString &Argument, const QString &Folder);

// Opens the STRATON workbench "W6Main.exe" on a project (a folder or a workspace file): first
// from the generator's own folder, then from the folder the environment variable K5MAIN names.
// When both fail, a message box says where it was looked for and why, and the result is false.
// `programFolder` is the generator's own folder, with a trailing separator; empty takes the
// running program's.
bool StartWorkbench(const QString &ProjectPath, UserPrompts &prompts,
                    const QString &programFolder = QString());
