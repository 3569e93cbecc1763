#include "Sqlite.h"

#include "StoreError.h"
#include "interfaces/K5dbApi.h"

namespace k5db {

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
    };
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(file.string().c_str(), &raw,
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
