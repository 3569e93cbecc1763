#include "LockTable.h"

#include "interfaces/K5dbApi.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <unistd.h>

namespace k5db {

namespace {

// Lock transactions are a few statements long; waiting this long for another client's to end
// is enough without hanging a caller on a stuck one.
constexpr int kLockBusyMilliseconds = 2000;

std::string hostName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return "localhost";
    return name;
}

// Rolls back a lock transaction that did not reach its commit.
class LockTransaction {
public:
    explicit LockTransaction(Database &db) : m_db(db) { m_db.execute("BEGIN IMMEDIATE"); }
    ~LockTransaction()
    {
        if (!m_done)
            sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void commit()
    {
        m_db.execute("COMMIT");
        m_done = true;
    }

private:
    Database &m_db;
    bool m_done = false;
};

} // namespace

LockOwner LockOwner::forClient(std::uint32_t hClient, const std::string &clientName)
{
    // The time of the process's first connection tells apart two processes that got the
    // same id one after the other.
    static const auto started = std::chrono::steady_clock::now().time_since_epoch().count();
    LockOwner owner;
    owner.host = hostName();
    owner.pid = getpid();
    owner.client = clientName;
    owner.token = owner.host + ':' + std::to_string(owner.pid) + ':' + std::to_string(started) +
                  ':' + std::to_string(hClient);
    return owner;
}

LockTable::LockTable(const std::filesystem::path &projectFolder, Access access)
    : m_db(projectFolder / kFileName,
           access == Access::Holder ? Database::Mode::Create : Database::Mode::Snapshot)
{
    sqlite3_busy_timeout(m_db.handle(), kLockBusyMilliseconds);
    if (access == Access::Watcher)
        return;
    // Locks are taken and released around every program and group a generator writes. A
    // write-ahead log without a flush at each commit keeps that from costing a disk flush per
    // lock; the file stays consistent after a crash, and a lock lost with a power failure is
    // one whose holder is gone anyway.
    m_db.execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
    m_db.execute("CREATE TABLE IF NOT EXISTS lock("
                 "object INTEGER PRIMARY KEY, owner TEXT NOT NULL, host TEXT NOT NULL,"
                 "pid INTEGER NOT NULL, client TEXT NOT NULL)");
}

bool LockTable::isLive(const std::string &host, std::int64_t pid) const
{
    if (host != hostName())
        return true; // another host's process cannot be asked
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

std::uint32_t LockTable::lock(std::uint32_t object, const LockOwner &owner)
{
    LockTransaction transaction(m_db);
    {
        Query holder = m_db.query("SELECT owner, host, pid FROM lock WHERE object = ?");
        holder.bind(object);
        if (holder.next() && holder.text(0) != owner.token &&
            isLive(holder.text(1), holder.integer(2)))
            return K5DB_ERR_LOCKED;
    }
    m_db.query("INSERT OR REPLACE INTO lock(object, owner, host, pid, client) "
               "VALUES(?, ?, ?, ?, ?)")
        .bind(object)
        .bind(owner.token)
        .bind(owner.host)
        .bind(owner.pid)
        .bind(owner.client)
        .run();
    transaction.commit();
    return K5DB_OK;
}

void LockTable::unlock(std::uint32_t object, const LockOwner &owner)
{
    m_db.query("DELETE FROM lock WHERE object = ? AND owner = ?")
        .bind(object)
        .bind(owner.token)
        .run();
}

void LockTable::unlockAll(const LockOwner &owner)
{
    m_db.query("DELETE FROM lock WHERE owner = ?").bind(owner.token).run();
}

bool LockTable::lockedByOther(std::uint32_t object, const LockOwner &owner)
{
    Query holder = m_db.query("SELECT owner, host, pid FROM lock WHERE object = ?");
    holder.bind(object);
    return holder.next() && holder.text(0) != owner.token &&
           isLive(holder.text(1), holder.integer(2));
}

} // namespace k5db
