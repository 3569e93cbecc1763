#pragma once

#include "Sqlite.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace k5db {

// Who holds a lock: a token unique to one client of one process, and the host and process id
// that tell a lock left by a process that has ended.
struct LockOwner {
    std::string token;
    std::string host;
    std::int64_t pid = 0;
    std::string client;

    static LockOwner forClient(std::uint32_t hClient, const std::string &clientName);
};

// The program and group locks of a project, in appli.k5lk beside the store. They live in a
// file of their own because a client's unsaved changes keep the store's write lock until it
// saves, while a lock must be seen by every other client (and process) at once. A lock whose
// process has ended on this host is void.
class LockTable {
public:
    static constexpr const char *kFileName = "appli.k5lk";
    // Opens the project's lock table, making it when missing. A watcher only reads it, without
    // writing a byte into the folder; the file must exist.
    enum class Access { Holder, Watcher };
    explicit LockTable(const std::filesystem::path &projectFolder, Access access = Access::Holder);

    // K5DB_OK when `owner` now holds the lock (also when it held it already),
    // K5DB_ERR_LOCKED when another live client does.
    std::uint32_t lock(std::uint32_t object, const LockOwner &owner);
    void unlock(std::uint32_t object, const LockOwner &owner);
    void unlockAll(const LockOwner &owner);
    bool lockedByOther(std::uint32_t object, const LockOwner &owner);

private:
    bool isLive(const std::string &host, std::int64_t pid) const;
    Database m_db;
};

} // namespace k5db
