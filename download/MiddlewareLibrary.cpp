#include "download/MiddlewareLibrary.h"

#include "common/OutsideLibrary.h"
#include "common/Windows1252.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// The error code of a call that found no middleware.
constexpr qint32 kMissing = -1;

} // namespace

struct MiddlewareLibrary::Entries {
    decltype(&::K5MW_Connect) connect = nullptr;
    decltype(&::K5MW_Disconnect) disconnect = nullptr;
    decltype(&::K5MW_OpenProject) openProject = nullptr;
    decltype(&::K5MW_CloseProject) closeProject = nullptr;
    decltype(&::K5MW_Execute) execute = nullptr;
    decltype(&::K5MW_GetBinValue) getBinValue = nullptr;
};

MiddlewareLibrary::MiddlewareLibrary(const QString &libraryName)
    : m_libraryName(libraryName), m_entries(std::make_unique<Entries>())
{
}

MiddlewareLibrary::~MiddlewareLibrary() = default;

template <typename Pointer> Pointer MiddlewareLibrary::entry(Pointer &slot, const char *name)
{
    if (slot)
        return slot;
    if (!m_library)
        m_library = loadOutsideLibrary(m_libraryName);
    if (m_library)
        slot = reinterpret_cast<Pointer>(m_library->resolve(name));
    return slot;
}

quint32 MiddlewareLibrary::Connect(const K5mwEventSink *sink, quint32 msgNumber, quint32 dwFlags,
                                   quint32 dwData, const QString &clientName)
{
    const auto call = entry(m_entries->connect, "K5MW_Connect");
    return call ? call(sink, msgNumber, dwFlags, dwData, toWindows1252(clientName).constData()) : 0;
}

void MiddlewareLibrary::Disconnect(quint32 hClient)
{
    if (const auto call = entry(m_entries->disconnect, "K5MW_Disconnect"))
        call(hClient);
}

quint32 MiddlewareLibrary::OpenProject(quint32 hClient, const QString &projectPath,
                                       const QString &driver, const QString &address,
                                       quint32 dwFlags, quint32 dwData)
{
    const auto call = entry(m_entries->openProject, "K5MW_OpenProject");
    return call ? call(hClient, toWindows1252(projectPath).constData(),
                       toWindows1252(driver).constData(), toWindows1252(address).constData(),
                       dwFlags, dwData)
                : 0;
}

void MiddlewareLibrary::CloseProject(quint32 hClient, quint32 hProject)
{
    if (const auto call = entry(m_entries->closeProject, "K5MW_CloseProject"))
        call(hClient, hProject);
}

qint32 MiddlewareLibrary::Execute(quint32 hClient, quint32 hProject, const QString &command)
{
    const auto call = entry(m_entries->execute, "K5MW_Execute");
    return call ? call(hClient, hProject, toWindows1252(command).constData()) : kMissing;
}

qint32 MiddlewareLibrary::GetBinValue(quint32 hClient, quint32 hProject, const QString &name,
                                      quint32 dwFlags, char *buffer, quint32 *size,
                                      quint32 *reserved)
{
    const auto call = entry(m_entries->getBinValue, "K5MW_GetBinValue");
    return call ? call(hClient, hProject, toWindows1252(name).constData(), dwFlags, buffer, size,
                       reserved)
                : kMissing;
}
