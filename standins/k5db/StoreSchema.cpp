#include "StoreSchema.h"

#include "StoreError.h"
#include "interfaces/K5dbApi.h"

namespace k5db {

namespace {

// "K5DB" in ASCII, so that any SQLite file of another program is told apart from a store.
constexpr std::int64_t kApplicationId = 0x4B354442;
constexpr std::int64_t kSchemaVersion = 1;

// Names compare without regard to letter case (COLLATE NOCASE folds ASCII, which is all an
// IEC identifier holds). A folder, program or group id of 0 means "none": the project root
// for a folder's parent and a program's folder, a global group for a group's program.
constexpr const char *kTables = R"sql(
CREATE TABLE project_info(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE folder(
    id INTEGER PRIMARY KEY,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL COLLATE NOCASE,
    UNIQUE(parent, name));
CREATE TABLE program(
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE COLLATE NOCASE,
    language INTEGER NOT NULL,
    section INTEGER NOT NULL,
    parent_program INTEGER NOT NULL,
    folder INTEGER NOT NULL,
    flags INTEGER NOT NULL,
    period INTEGER NOT NULL DEFAULT 1,
    phase INTEGER NOT NULL DEFAULT 0,
    on_call INTEGER NOT NULL DEFAULT 0);
CREATE INDEX program_by_folder ON program(folder);
CREATE TABLE var_group(
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE COLLATE NOCASE,
    program INTEGER NOT NULL);
CREATE TABLE variable(
    id INTEGER PRIMARY KEY,
    group_id INTEGER NOT NULL,
    position INTEGER NOT NULL,
    name TEXT NOT NULL COLLATE NOCASE,
    type TEXT NOT NULL,
    dim INTEGER NOT NULL,
    string_length INTEGER NOT NULL,
    flags INTEGER NOT NULL,
    init_value TEXT,
    UNIQUE(group_id, name));
CREATE INDEX variable_order ON variable(group_id, position);
CREATE TABLE comment(
    object INTEGER NOT NULL,
    kind INTEGER NOT NULL,
    text TEXT NOT NULL,
    PRIMARY KEY(object, kind)) WITHOUT ROWID;
CREATE TABLE property(
    object INTEGER NOT NULL,
    prop INTEGER NOT NULL,
    value TEXT NOT NULL,
    PRIMARY KEY(object, prop)) WITHOUT ROWID;
)sql";

} // namespace

void createSchema(Database &db, const std::string &projectName, const std::string &topFolder)
{
    db.execute("BEGIN IMMEDIATE");
    try {
        db.execute(kTables);
        db.query("INSERT INTO project_info(key, value) VALUES('name', ?)").bind(projectName).run();
        db.query("INSERT INTO folder(id, parent, name) VALUES(1, 0, ?)").bind(topFolder).run();
        db.execute("INSERT INTO var_group(id, name, program) VALUES(1, '(Global)', 0);"
                   "INSERT INTO var_group(id, name, program) VALUES(2, '(Retain)', 0);");
        const std::string pragmas = "PRAGMA application_id = " + std::to_string(kApplicationId) +
                                    "; PRAGMA user_version = " + std::to_string(kSchemaVersion);
        db.execute(pragmas.c_str());
        db.execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void checkSchema(Database &db)
{
    Query application = db.query("PRAGMA application_id");
    const std::int64_t id = application.next() ? application.integer(0) : 0;
    Query version = db.query("PRAGMA user_version");
    const std::int64_t schema = version.next() ? version.integer(0) : 0;
    if (id != kApplicationId || schema != kSchemaVersion)
        throw StoreError(K5DB_ERR_STORE, "not a project store of a known version");
}

} // namespace k5db
