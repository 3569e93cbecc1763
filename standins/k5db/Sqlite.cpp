#include "Sqlite.h"

#include "StoreError.h"
#include "interfaces/K5dbApi.h"

#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace k5db {

namespace {

// A store whose content changes under every attempt to copy it is not waited for longer.
constexpr int kCopyAttempts = 5;

// A file name as an SQLite URI: the characters that have a meaning in a URI are escaped.
std::string uriOf(const fs::path &file)
{
    std::string uri = "file:";
    for (const unsigned char c : fs::absolute(file).string()) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        } else {
            uri += char(c);
        }
    }
    return uri;
}

bool hasLog(const fs::path &file)
{
    std::error_code error;
    return fs::exists(fs::path(file.string() + "-wal"), error);
}

// A plain read-only open of a store in write-ahead-log mode makes the log and its index when
// no other connection has them open, and leaves both behind. Without a log the file is all
// there is, and it is read as immutable: no lock, no log, nothing written. With a log another
// client has the store open, and the read shares that client's log, with the log's index
// opened read-only so that not even a reader's mark is written into it.
std::string snapshotUri(const fs::path &file)
{
    return uriOf(file) + (hasLog(file) ? "?mode=ro&readonly_shm=1" : "?mode=ro&immutable=1");
}

// What tells that a store read as immutable was changed while it was read.
struct FileStamp {
    bool log = false;
    std::uintmax_t size = 0;
    fs::file_time_type time;
    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(const fs::path &file)
{
    std::error_code error;
    FileStamp stamp;
    stamp.log = hasLog(file);
    stamp.size = fs::file_size(file, error);
    stamp.time = fs::last_write_time(file, error);
    return stamp;
}

void copyOnce(const fs::path &file, Database &target)
{
    Database source(file, Database::Mode::Snapshot);
    sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!backup)
        throwSqlite(target.handle(), sqlite3_errcode(target.handle()));
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throwSqlite(nullptr, rc);
}

} // namespace

void copyStore(const fs::path &file, Database &target)
{
    for (int attempt = 1;; ++attempt) {
        const FileStamp before = stampOf(file);
        try {
            copyOnce(file, target);
        } catch (const StoreError &) {
            if (attempt == kCopyAttempts)
                throw;
            continue;
        }
        // Read through a log, SQLite itself keeps the copy whole; read as immutable, only an
        // unchanged file shows that no other client saved in the meantime.
        if (before.log || stampOf(file) == before)
            return;
        if (attempt == kCopyAttempts)
            throw StoreError(K5DB_ERR_BUSY, "the store kept changing while it was copied");
    }
}

std::uint32_t statusOfSqlite(int rc)
{
    const int primary = rc & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? K5DB_ERR_BUSY : K5DB_ERR_STORE;
}

void throwSqlite(sqlite3 *db, int rc)
{
    const char *message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    throw StoreError(statusOfSqlite(rc), message ? message : "store failure");
}

Query::~Query()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

Query &Query::bind(std::int64_t value)
{
    if (const int rc = sqlite3_bind_int64(m_statement, m_nextBind++, value); rc != SQLITE_OK)
        throwSqlite(m_db, rc);
    return *this;
}

Query &Query::bind(std::string_view text)
{
    const int rc = sqlite3_bind_text64(m_statement, m_nextBind++, text.data(), text.size(),
                                       SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK)
        throwSqlite(m_db, rc);
    return *this;
}

Query &Query::bindNull()
{
    if (const int rc = sqlite3_bind_null(m_statement, m_nextBind++); rc != SQLITE_OK)
        throwSqlite(m_db, rc);
    return *this;
}

bool Query::next()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throwSqlite(m_db, rc);
}

void Query::run()
{
    while (next()) {
    }
}

std::int64_t Query::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

std::string Query::text(int column) const
{
    const auto *bytes = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return bytes ? std::string(reinterpret_cast<const char *>(bytes), size) : std::string();
}

bool Query::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

Database::Database(const std::filesystem::path &file, Mode mode)
{
    static constexpr int kFlags[] = {
        SQLITE_OPEN_READWRITE,
        SQLITE_OPEN_READONLY,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
        SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY,
    };
    const std::string name = mode == Mode::Snapshot ? snapshotUri(file)
                             : mode == Mode::Memory ? std::string(":memory:")
                                                    : file.string();
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(name.c_str(), &raw,
                                   kFlags[static_cast<int>(mode)] | SQLITE_OPEN_NOMUTEX, nullptr);
    m_db.reset(raw); // a failed open still gives a connection that must be closed
    if (rc != SQLITE_OK)
        throwSqlite(raw, rc);
    sqlite3_extended_result_codes(raw, 1);
}

Query Database::query(const char *sql)
{
    auto &cached = m_cache[sql];
    if (!cached) {
        sqlite3_stmt *raw = nullptr;
        if (const int rc =
                sqlite3_prepare_v3(m_db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
            rc != SQLITE_OK) {
            m_cache.erase(sql);
            throwSqlite(m_db.get(), rc);
        }
        cached.reset(raw);
    }
    return Query(m_db.get(), cached.get());
}

void Database::execute(const char *sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db.get(), sql, nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throwSqlite(m_db.get(), rc);
}

} // namespace k5db
