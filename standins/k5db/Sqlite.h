#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace k5db {

struct CloseDatabase {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};

// One prepared statement in use: binds from 1 in call order, steps, reads columns from 0. It
// resets itself when it goes out of scope, so a cached statement is always ready again.
class Query {
public:
    Query(sqlite3 *db, sqlite3_stmt *statement) : m_db(db), m_statement(statement) {}
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    Query &bind(std::int64_t value);
    Query &bind(std::string_view text);
    Query &bindNull();

    bool next(); // true while a row is there
    void run();  // for statements without rows
    std::int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement;
    int m_nextBind = 1;
};

// An SQLite connection with a cache of prepared statements, keyed by the address of the
// statement's text (every statement is a string literal of this library).
class Database {
public:
    // Snapshot reads a file without writing a byte into its folder: SQLite's log and index
    // files are neither made nor left behind. Memory is an empty store that lives and dies
    // with the connection (the file is not used).
    enum class Mode { ReadWrite, ReadOnly, Create, Snapshot, Memory };
    Database(const std::filesystem::path &file, Mode mode);

    Query query(const char *sql);
    void execute(const char *sql); // one or more statements without rows
    sqlite3 *handle() const { return m_db.get(); }

private:
    std::unique_ptr<sqlite3, CloseDatabase> m_db;
    std::unordered_map<const char *, std::unique_ptr<sqlite3_stmt, FinalizeStatement>> m_cache;
};

// Copies the whole content of the store `file` into `target` (normally a Memory database),
// reading it as a Snapshot. Throws K5DB_ERR_BUSY when the file kept changing while it was
// read.
void copyStore(const std::filesystem::path &file, Database &target);

// Maps an SQLite result code to a library status: "busy" when another client's unsaved
// changes hold the store, a store failure otherwise.
std::uint32_t statusOfSqlite(int rc);
[[noreturn]] void throwSqlite(sqlite3 *db, int rc);

} // namespace k5db
