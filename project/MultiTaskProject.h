#pragma once

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

// The result of preparing a multi-task workspace.
struct MultiTaskWorkspace {
    QString Msg;            // a line for the run log (empty when nothing was made), or the reason
    QString WorkspaceFile;  // the workspace file for the workbench; set only on success
    QString MainTaskFolder; // the project to write into; set only on success
};

// Makes sure ProjectPath holds a multi-task workspace (four task projects sharing a library
// project): a folder that has a MainTask folder is taken as it is; otherwise the embedded
// empty workspace is unpacked beside it and moved into place as ProjectPath. False with the
// reason in Msg on failure; what was unpacked stays for the user to look at.
bool CreateMultiTaskProject(const QString &ProjectPath, MultiTaskWorkspace &out);

// What CreateMultiTaskProject would do, without writing anything: the same result and
// message, with `unpacks` telling whether it would unpack the workspace or reuse the folder.
// A parent folder that does not exist is taken as one that could be made.
bool PlanMultiTaskProject(const QString &ProjectPath, MultiTaskWorkspace &out, bool &unpacks);

// The files unpacking the embedded workspace into ProjectPath makes, by full path, with their
// content, as they are once moved into place (the .arc and .w5l files named after the folder).
// Throws Failure when the embedded archive cannot be read.
std::vector<std::pair<QString, QByteArray>> MultiTaskWorkspaceFiles(const QString &ProjectPath);

// Writes the embedded workspace archive to ZipFile, replacing it. Throws Failure when the
// file cannot be written.
void ExtractTemplateResource(const QString &ZipFile);
