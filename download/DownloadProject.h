#pragma once

#include <QString>

class DownloadSession;
class RunLog;

// Downloads the project of the last generation run to the device at IpAddress and reports
// the outcome in the run log. True exactly when the device reported the new application
// running.
bool DownloadProject(DownloadSession &session, RunLog &log, const QString &IpAddress,
                     const QString &ProjectFolder);
