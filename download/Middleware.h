#pragma once

#include "interfaces/K5mwApi.h"

#include <QString>
#include <QtGlobal>

// The middleware calls the download makes, as the middleware library offers them. Texts are
// given as Unicode and reach the library as 8-bit text.
class Middleware {
public:
    virtual ~Middleware() = default;

    // Client handle, 0 when the middleware is missing or refuses.
    virtual quint32 Connect(const K5mwEventSink *sink, quint32 msgNumber, quint32 dwFlags,
                            quint32 dwData, const QString &clientName) = 0;
    virtual void Disconnect(quint32 hClient) = 0;
    // Project handle, 0 when the device or the project cannot be reached.
    virtual quint32 OpenProject(quint32 hClient, const QString &projectPath, const QString &driver,
                                const QString &address, quint32 dwFlags, quint32 dwData) = 0;
    virtual void CloseProject(quint32 hClient, quint32 hProject) = 0;
    // 0 when the device accepted the command, else an error code; -1 when the middleware is
    // missing.
    virtual qint32 Execute(quint32 hClient, quint32 hProject, const QString &command) = 0;
    // buffer holds K5MW_VALUE_BUFFER bytes. Same results as Execute.
    virtual qint32 GetBinValue(quint32 hClient, quint32 hProject, const QString &name,
                               quint32 dwFlags, char *buffer, quint32 *size, quint32 *reserved) = 0;
};
