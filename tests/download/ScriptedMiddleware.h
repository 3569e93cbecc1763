#pragma once

#include "download/Middleware.h"

#include <QStringList>

#include <cstring>
#include <functional>

// A middleware of the test's making: it records every call and answers as the test says.
// Events are posted through the sink the session gave, as the library does.
class ScriptedMiddleware final : public Middleware {
public:
    quint32 Connect(const K5mwEventSink *s, quint32 msgNumber, quint32, quint32,
                    const QString &clientName) override
    {
        calls << QStringLiteral("Connect %1 %2").arg(msgNumber).arg(clientName);
        sink = s ? *s : K5mwEventSink{};
        return client;
    }
    void Disconnect(quint32 hClient) override
    {
        calls << QStringLiteral("Disconnect %1").arg(hClient);
    }
    quint32 OpenProject(quint32, const QString &projectPath, const QString &driver,
                        const QString &address, quint32 dwFlags, quint32 dwData) override
    {
        calls << QStringLiteral("OpenProject %1 %2 %3 %4 %5")
                     .arg(projectPath, driver, address)
                     .arg(dwFlags)
                     .arg(dwData);
        return project;
    }
    void CloseProject(quint32 hClient, quint32 hProject) override
    {
        calls << QStringLiteral("CloseProject %1 %2").arg(hClient).arg(hProject);
    }
    qint32 Execute(quint32, quint32, const QString &command) override
    {
        calls << QStringLiteral("Execute ") + command;
        executed << command;
        return onExecute(command);
    }
    qint32 GetBinValue(quint32, quint32, const QString &name, quint32, char *buffer, quint32 *,
                       quint32 *) override
    {
        ++reads;
        if (name != QStringLiteral("<AppStatus>"))
            return 99;
        const quint32 value = quint32(status);
        std::memcpy(buffer, &value, sizeof value);
        return readResult;
    }

    void post(unsigned kind, unsigned value) { sink.event(sink.context, kind, value); }

    quint32 client = 11;
    quint32 project = 22;
    int status = 15;       // what a status read writes into the buffer
    qint32 readResult = 0; // what it returns
    std::function<qint32(const QString &)> onExecute = [](const QString &) { return 0; };
    QStringList calls;
    QStringList executed;
    int reads = 0;
    K5mwEventSink sink{};
};
