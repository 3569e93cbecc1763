#include "ProgramTable.h"

#include "Handles.h"
#include "StoreError.h"
#include "Text.h"
#include "interfaces/K5dbApi.h"

namespace k5db {

namespace {

ProgramRecord readProgram(const Query &row)
{
    const auto u32 = [&row](int column) { return static_cast<std::uint32_t>(row.integer(column)); };
    ProgramRecord p;
    p.handle = makeHandle(ObjectKind::Program, row.integer(0));
    p.name = row.text(1);
    p.language = u32(2);
    p.section = u32(3);
    p.parentProgram = u32(4);
    p.folder = row.integer(5) == 0 ? 0 : makeHandle(ObjectKind::Folder, row.integer(5));
    p.flags = u32(6);
    p.period = u32(7);
    p.phase = u32(8);
    p.onCall = u32(9);
    p.group = makeHandle(ObjectKind::Group, row.integer(10));
    return p;
}

} // namespace

std::int64_t ProgramTable::nextId(const char *sql)
{
    Query next = m_db.query(sql);
    next.next();
    const std::int64_t id = next.integer(0);
    if (id > kMaxRowId)
        throw StoreError(K5DB_ERR_STORE, "too many objects in the store");
    return id;
}

std::uint32_t ProgramTable::find(std::string_view name)
{
    Query row = m_db.query("SELECT id FROM program WHERE name = ?");
    row.bind(name);
    return row.next() ? makeHandle(ObjectKind::Program, row.integer(0)) : 0;
}

std::uint32_t ProgramTable::create(const ProgramRecord &program)
{
    if (find(program.name) != 0)
        throw StoreError(K5DB_ERR_EXISTS, "a program of that name exists");
    {
        Query group = m_db.query("SELECT 1 FROM var_group WHERE name = ?");
        group.bind(program.name);
        if (group.next())
            throw StoreError(K5DB_ERR_EXISTS, "a group of that name exists");
    }
    const std::int64_t id = nextId("SELECT COALESCE(MAX(id), 0) + 1 FROM program");
    const std::int64_t groupId = nextId("SELECT COALESCE(MAX(id), 0) + 1 FROM var_group");
    m_db.query("INSERT INTO program(id, name, language, section, parent_program, folder, flags) "
               "VALUES(?, ?, ?, ?, ?, ?, ?)")
        .bind(id)
        .bind(program.name)
        .bind(program.language)
        .bind(program.section)
        .bind(program.parentProgram)
        .bind(rowId(program.folder))
        .bind(program.flags)
        .run();
    m_db.query("INSERT INTO var_group(id, name, program) VALUES(?, ?, ?)")
        .bind(groupId)
        .bind(program.name)
        .bind(id)
        .run();
    return makeHandle(ObjectKind::Program, id);
}

std::optional<ProgramRecord> ProgramTable::record(std::uint32_t hProgram)
{
    if (!isKind(hProgram, ObjectKind::Program))
        return std::nullopt;
    // A program's group carries the program's name: the group is found through the index of
    // group names rather than by reading every group (groups have no index on their program).
    Query row = m_db.query(
        "SELECT p.id, p.name, p.language, p.section, p.parent_program, p.folder, p.flags, "
        "p.period, p.phase, p.on_call, g.id FROM program p "
        "JOIN var_group g ON g.name = p.name AND g.program = p.id WHERE p.id = ?");
    row.bind(rowId(hProgram));
    if (!row.next())
        return std::nullopt;
    return readProgram(row);
}

std::vector<std::uint32_t> ProgramTable::inFolder(std::uint32_t hFolder)
{
    std::vector<std::uint32_t> handles;
    Query rows = m_db.query("SELECT id FROM program WHERE folder = ? ORDER BY name, id");
    rows.bind(rowId(hFolder));
    while (rows.next())
        handles.push_back(makeHandle(ObjectKind::Program, rows.integer(0)));
    return handles;
}

bool ProgramTable::folderHoldsPrograms(std::uint32_t hFolder)
{
    Query row = m_db.query("SELECT 1 FROM program WHERE folder = ? LIMIT 1");
    row.bind(rowId(hFolder));
    return row.next();
}

void ProgramTable::setSchedule(std::uint32_t hProgram, std::uint32_t period, std::uint32_t phase)
{
    m_db.query("UPDATE program SET period = ?, phase = ? WHERE id = ?")
        .bind(period)
        .bind(phase)
        .bind(rowId(hProgram))
        .run();
}

void ProgramTable::setOnCall(std::uint32_t hProgram, std::uint32_t onCall)
{
    m_db.query("UPDATE program SET on_call = ? WHERE id = ?")
        .bind(onCall)
        .bind(rowId(hProgram))
        .run();
}

void ProgramTable::remove(std::uint32_t hProgram)
{
    // By name as in record(), before the program's row goes.
    m_db.query("DELETE FROM var_group "
               "WHERE name = (SELECT name FROM program WHERE id = ?1) AND program = ?1")
        .bind(rowId(hProgram))
        .run();
    m_db.query("DELETE FROM program WHERE id = ?").bind(rowId(hProgram)).run();
}

std::vector<ProgramRecord> ProgramTable::all()
{
    std::vector<ProgramRecord> programs;
    Query rows = m_db.query(
        "SELECT p.id, p.name, p.language, p.section, p.parent_program, p.folder, p.flags, "
        "p.period, p.phase, p.on_call, g.id FROM program p JOIN var_group g ON g.program = p.id "
        "ORDER BY p.name, p.id");
    while (rows.next())
        programs.push_back(readProgram(rows));
    return programs;
}

} // namespace k5db
