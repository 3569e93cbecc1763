#pragma once

#include "LockTable.h"
#include "Project.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace k5db {

// The library's state behind the C entry points: the connected clients, each with its open
// projects and the text its last call returned. One per process; the entry points hold its
// mutex for the length of a call.
class Server {
public:
    static Server &instance();
    std::mutex &mutex() { return m_mutex; }

    std::uint32_t connect(const std::string &clientName);
    void disconnect(std::uint32_t hClient);
    void createProject(std::uint32_t hClient, const std::filesystem::path &folder);
    std::uint32_t openProject(std::uint32_t hClient, const std::filesystem::path &folder);
    // A private copy of the project in memory (Project::Copy).
    std::uint32_t openProjectCopy(std::uint32_t hClient, const std::filesystem::path &folder);
    void closeProject(std::uint32_t hClient, std::uint32_t hProject);
    // Throws K5DB_ERR_CLIENT or K5DB_ERR_PROJECT.
    Project &project(std::uint32_t hClient, std::uint32_t hProject);
    // Keeps the text, in Windows-1252, until the client's next call that returns text.
    const char *reply(std::uint32_t hClient, std::string_view utf8);
    // The emptied buffer in which one call keeps many texts at once, each in Windows-1252
    // and followed by a NUL, until the client's next call that returns text.
    std::string &beginTexts(std::uint32_t hClient);

private:
    struct Client {
        LockOwner owner;
        std::map<std::uint32_t, std::unique_ptr<Project>> projects;
        std::string reply;
        std::string texts; // many texts of one call, NUL after each
    };
    Client &client(std::uint32_t hClient);
    std::uint32_t addProject(Client &c, std::unique_ptr<Project> project);

    std::mutex m_mutex;
    std::map<std::uint32_t, Client> m_clients;
    std::uint32_t m_lastClient = 0;
    std::uint32_t m_lastProject = 0;
};

// A project path from a caller: Windows-1252 to the file system's UTF-8, a backslash taken as
// a folder separator (the generator writes paths the Windows way), made absolute.
std::filesystem::path projectFolder(const char *szProjectPath);

} // namespace k5db
