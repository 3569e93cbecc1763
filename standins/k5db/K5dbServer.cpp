#include "K5dbServer.h"

#include "StoreError.h"
#include "Text.h"
#include "interfaces/K5dbApi.h"

#include <algorithm>
#include <sqlite3.h>

namespace fs = std::filesystem;

namespace k5db {

namespace {

// Bounds on what a caller can make the library hold: far beyond what the generator and the
// workbench open together, and small enough that a caller that never disconnects is noticed.
constexpr std::size_t kMaxClients = 1024;
constexpr std::size_t kMaxProjectsPerClient = 64;

// The next free number after `last`, skipping 0 and the numbers in use.
template <typename Map> std::uint32_t nextFree(std::uint32_t &last, const Map &inUse)
{
    do {
        ++last;
    } while (last == 0 || inUse.count(last));
    return last;
}

} // namespace

Server &Server::instance()
{
    static Server server = [] {
        // SQLite counts every allocation under a lock of its own unless told not to: a
        // generation makes millions of them, and the counts are never asked for. This has
        // to come before SQLite is first used; when it was used already, it is refused and
        // nothing changes.
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return Server();
    }();
    return server;
}

std::uint32_t Server::connect(const std::string &clientName)
{
    if (m_clients.size() >= kMaxClients)
        throw StoreError(K5DB_ERR_INTERNAL, "too many clients");
    const std::uint32_t handle = nextFree(m_lastClient, m_clients);
    m_clients[handle].owner = LockOwner::forClient(handle, clientName);
    return handle;
}

void Server::disconnect(std::uint32_t hClient)
{
    Client &c = client(hClient);
    while (!c.projects.empty()) {
        auto first = c.projects.begin();
        std::unique_ptr<Project> project = std::move(first->second);
        c.projects.erase(first);
        project->close();
    }
    m_clients.erase(hClient);
}

void Server::createProject(std::uint32_t hClient, const fs::path &folder)
{
    client(hClient);
    Project::create(folder);
}

std::uint32_t Server::openProject(std::uint32_t hClient, const fs::path &folder)
{
    Client &c = client(hClient);
    if (c.projects.size() >= kMaxProjectsPerClient)
        throw StoreError(K5DB_ERR_INTERNAL, "too many open projects");
    return addProject(c, std::make_unique<Project>(folder, c.owner));
}

std::uint32_t Server::openProjectCopy(std::uint32_t hClient, const fs::path &folder)
{
    Client &c = client(hClient);
    if (c.projects.size() >= kMaxProjectsPerClient)
        throw StoreError(K5DB_ERR_INTERNAL, "too many open projects");
    return addProject(c, std::make_unique<Project>(folder, c.owner, Project::Copy{}));
}

std::uint32_t Server::addProject(Client &c, std::unique_ptr<Project> project)
{
    std::uint32_t handle = 0;
    // Project handles are unique across clients, so one client's handle means nothing to
    // another.
    for (bool used = true; used;) {
        handle = ++m_lastProject;
        used = handle == 0 || std::any_of(m_clients.begin(), m_clients.end(), [&](const auto &e) {
                   return e.second.projects.count(handle) != 0;
               });
    }
    c.projects.emplace(handle, std::move(project));
    return handle;
}

void Server::closeProject(std::uint32_t hClient, std::uint32_t hProject)
{
    Client &c = client(hClient);
    const auto it = c.projects.find(hProject);
    if (it == c.projects.end())
        throw StoreError(K5DB_ERR_PROJECT, "unknown project");
    std::unique_ptr<Project> project = std::move(it->second);
    c.projects.erase(it);
    project->close();
}

Project &Server::project(std::uint32_t hClient, std::uint32_t hProject)
{
    Client &c = client(hClient);
    const auto it = c.projects.find(hProject);
    if (it == c.projects.end())
        throw StoreError(K5DB_ERR_PROJECT, "unknown project");
    return *it->second;
}

const char *Server::reply(std::uint32_t hClient, std::string_view utf8)
{
    Client &c = client(hClient);
    c.reply = ansiFromUtf8(utf8);
    if (!c.texts.empty())
        std::string().swap(c.texts); // a group's texts are not kept past their call
    return c.reply.c_str();
}

std::string &Server::beginTexts(std::uint32_t hClient)
{
    Client &c = client(hClient);
    c.texts.clear();
    return c.texts;
}

Server::Client &Server::client(std::uint32_t hClient)
{
    const auto it = m_clients.find(hClient);
    if (it == m_clients.end())
        throw StoreError(K5DB_ERR_CLIENT, "unknown client");
    return it->second;
}

fs::path projectFolder(const char *szProjectPath)
{
    std::string path = utf8FromAnsi(callerText(szProjectPath, kMaxPathBytes));
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    if (path.empty())
        throw StoreError(K5DB_ERR_ARGUMENT, "empty project path");
    fs::path folder = fs::absolute(fs::path(path)).lexically_normal();
    if (folder.has_relative_path() && folder.filename().empty())
        folder = folder.parent_path();
    return folder;
}

} // namespace k5db
