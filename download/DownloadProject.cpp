#include "download/DownloadProject.h"

#include "common/RunLog.h"
#include "download/DownloadSession.h"

bool DownloadProject(DownloadSession &session, RunLog &log, const QString &IpAddress,
                     const QString &ProjectFolder)
{
    log.LogLine(QStringLiteral("Downloading to :") + IpAddress);
    const int result = session.DownloadCode(IpAddress, ProjectFolder);
    if (result == DownloadSession::kDownloaded) {
        log.LogLine(QStringLiteral("Project downloaded succesfully to :") + IpAddress);
        return true;
    }
    log.LogLine(QStringLiteral("Project probably not downloaded"));
    return false;
}
