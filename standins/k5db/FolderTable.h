#pragma once

#include "Sqlite.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k5db {

// The program folders of a project: a tree under the root (folder 0), whose one child is the
// top folder ("Programs"). Names are UTF-8 and unique among siblings without regard to case.
class FolderTable {
public:
    explicit FolderTable(Database &db) : m_db(db) {}

    std::uint32_t topFolder();
    // hParent 0 means the top folder. 0 when a sibling of that name exists; throws
    // K5DB_ERR_HANDLE for an unknown parent and K5DB_ERR_ARGUMENT for an invalid name.
    std::uint32_t create(std::uint32_t hParent, std::string_view name);
    // Only an empty folder other than the top folder goes.
    void remove(std::uint32_t hFolder, bool holdsPrograms);
    // hParent 0 lists the root. Sorted by name, so listings do not depend on creation order.
    std::vector<std::uint32_t> children(std::uint32_t hParent);
    std::optional<std::string> name(std::uint32_t hFolder);
    std::int64_t parentOf(std::uint32_t hFolder); // -1 when there is no such folder
    bool exists(std::uint32_t hFolder) { return parentOf(hFolder) >= 0; }

private:
    Database &m_db;
};

} // namespace k5db
