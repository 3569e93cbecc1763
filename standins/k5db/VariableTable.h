#pragma once

#include "Sqlite.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k5db {

struct VariableRecord {
    std::uint32_t handle = 0;
    std::string name; // UTF-8, as created
    std::string type; // the type's name, as the catalogue spells it
    std::uint32_t dim = 0;
    std::uint32_t stringLength = 0;
    std::uint32_t flags = 0;
    std::optional<std::string> initValue;
};

// A variable with the comments and properties a reader of a whole group wants; texts absent
// from the store read as empty. The texts are valid during the call that passes them.
struct VariableDetails {
    std::uint32_t handle = 0;
    std::string_view name, type; // UTF-8, as VariableRecord holds them
    std::uint32_t dim = 0, stringLength = 0, flags = 0;
    bool hasInit = false;
    std::string_view init, tag, description, profile, embed;
};

struct GroupRecord {
    std::uint32_t handle = 0;
    std::string name;
    std::uint32_t program = 0; // program handle, 0 for "(Global)" and "(Retain)"
};

// Variable groups and their variables, kept in order. Variable names are IEC identifiers,
// unique within a group without regard to case.
class VariableTable {
public:
    explicit VariableTable(Database &db) : m_db(db) {}

    std::uint32_t findGroup(std::string_view name);
    std::optional<GroupRecord> group(std::uint32_t hGroup);
    std::vector<GroupRecord> groups(); // "(Global)", "(Retain)", then by name

    std::uint32_t find(std::uint32_t hGroup, std::string_view name);
    // position K5DB_POS_APPEND appends; another position inserts before that index.
    std::uint32_t create(std::uint32_t hGroup, std::uint32_t position, const VariableRecord &var);
    std::optional<VariableRecord> record(std::uint32_t hGroup, std::uint32_t hVar);
    std::vector<std::uint32_t> list(std::uint32_t hGroup);
    std::uint32_t count(std::uint32_t hGroup);
    std::vector<VariableRecord> records(std::uint32_t hGroup);
    // Passes the group's variables in order, each with its tag and description comments and
    // its profile and embedded properties, to `each`, one at a time.
    void details(std::uint32_t hGroup, const std::function<void(const VariableDetails &)> &each);
    void setInitValue(std::uint32_t hVar, const std::optional<std::string> &value);
    void remove(std::uint32_t hVar);
    void removeAllOf(std::uint32_t hGroup);

private:
    // The same, each variable's notes looked up on their own: for a group whose variables'
    // ids lie far apart.
    void detailsOneByOne(std::uint32_t hGroup,
                         const std::function<void(const VariableDetails &)> &each);

    Database &m_db;
};

} // namespace k5db
