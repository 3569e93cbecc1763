#pragma once

#include "Sqlite.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace k5db {

// Comments (by kind: 1 tag, 2 description, ...) and properties (by number) of programs and
// variables, keyed by the object's handle. An empty comment is no comment.
class NoteTable {
public:
    explicit NoteTable(Database &db) : m_db(db) {}

    void setComment(std::uint32_t object, std::uint32_t kind, std::string_view text);
    std::string comment(std::uint32_t object, std::uint32_t kind);
    void setProperty(std::uint32_t object, std::uint32_t prop, std::string_view value);
    std::string property(std::uint32_t object, std::uint32_t prop);
    void removeProperties(std::uint32_t object);
    void removeAll(std::uint32_t object);
    void removeAllOfGroupVariables(std::uint32_t hGroup);

    using Entries = std::vector<std::pair<std::uint32_t, std::string>>;
    Entries comments(std::uint32_t object);   // by kind
    Entries properties(std::uint32_t object); // by number

private:
    Database &m_db;
};

} // namespace k5db
