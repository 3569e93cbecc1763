#pragma once

#include "Sqlite.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k5db {

struct ProgramRecord {
    std::uint32_t handle = 0;
    std::string name;           // UTF-8, as created
    std::uint32_t language = 0; // 2 = Structured Text
    std::uint32_t section = 0;  // K5DB_SECTION_*
    std::uint32_t parentProgram = 0;
    std::uint32_t folder = 0; // folder handle, 0 = the project root
    std::uint32_t flags = 0;
    std::uint32_t period = 1; // schedule: run every `period` cycles ...
    std::uint32_t phase = 0;  // ... starting at cycle `phase`
    std::uint32_t onCall = 0;
    std::uint32_t group = 0; // handle of the program's own variable group
};

// The programs of a project, each with its own variable group of the same name. Names are
// IEC identifiers, unique without regard to case.
class ProgramTable {
public:
    explicit ProgramTable(Database &db) : m_db(db) {}

    std::uint32_t find(std::string_view name);
    // Inserts the program and its group; throws K5DB_ERR_EXISTS for a name in use.
    std::uint32_t create(const ProgramRecord &program);
    std::optional<ProgramRecord> record(std::uint32_t hProgram);
    // hFolder 0 lists the programs at the project root. Sorted by name.
    std::vector<std::uint32_t> inFolder(std::uint32_t hFolder);
    bool folderHoldsPrograms(std::uint32_t hFolder);
    void setSchedule(std::uint32_t hProgram, std::uint32_t period, std::uint32_t phase);
    void setOnCall(std::uint32_t hProgram, std::uint32_t onCall);
    // Removes the program and its group row; the caller removes the group's variables first.
    void remove(std::uint32_t hProgram);
    std::vector<ProgramRecord> all(); // sorted by name

private:
    std::int64_t nextId(const char *sql);
    Database &m_db;
};

} // namespace k5db
