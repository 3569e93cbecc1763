#pragma once

#include "download/Middleware.h"

#include <QLibrary>

#include <memory>

// The middleware library K5MW, loaded by its bare name (the program's own folder first, then
// the system's search path) on the first call that needs it and kept until the program ends.
// Each entry point is looked up on its first use and remembered. When the library or an
// entry point is missing, the call fails: a 0 handle, the error code -1, or nothing done.
class MiddlewareLibrary final : public Middleware {
public:
    explicit MiddlewareLibrary(const QString &libraryName = QStringLiteral("K5MW"));
    ~MiddlewareLibrary() override;
    MiddlewareLibrary(const MiddlewareLibrary &) = delete;
    MiddlewareLibrary &operator=(const MiddlewareLibrary &) = delete;

    quint32 Connect(const K5mwEventSink *sink, quint32 msgNumber, quint32 dwFlags, quint32 dwData,
                    const QString &clientName) override;
    void Disconnect(quint32 hClient) override;
    quint32 OpenProject(quint32 hClient, const QString &projectPath, const QString &driver,
                        const QString &address, quint32 dwFlags, quint32 dwData) override;
    void CloseProject(quint32 hClient, quint32 hProject) override;
    qint32 Execute(quint32 hClient, quint32 hProject, const QString &command) override;
    qint32 GetBinValue(quint32 hClient, quint32 hProject, const QString &name, quint32 dwFlags,
                       char *buffer, quint32 *size, quint32 *reserved) override;

private:
    struct Entries;
    // The entry point of that name, bound on first use; null when it cannot be had.
    template <typename Pointer> Pointer entry(Pointer &slot, const char *name);

    QString m_libraryName;
    std::unique_ptr<QLibrary> m_library; // null until loaded
    std::unique_ptr<Entries> m_entries;
};
