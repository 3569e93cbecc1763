#include "FolderTable.h"

#include "Handles.h"
#include "StoreError.h"
#include "Text.h"
#include "interfaces/K5dbApi.h"

namespace k5db {

std::uint32_t FolderTable::topFolder()
{
    Query top = m_db.query("SELECT id FROM folder WHERE parent = 0 ORDER BY id LIMIT 1");
    if (!top.next())
        throw StoreError(K5DB_ERR_STORE, "the project has no top folder");
    return makeHandle(ObjectKind::Folder, top.integer(0));
}

std::uint32_t FolderTable::create(std::uint32_t hParent, std::string_view name)
{
    if (!isFolderName(name))
        throw StoreError(K5DB_ERR_ARGUMENT, "invalid folder name");
    const std::uint32_t parent = hParent == 0 ? topFolder() : hParent;
    if (!isKind(parent, ObjectKind::Folder) || !exists(parent))
        throw StoreError(K5DB_ERR_HANDLE, "unknown folder");
    {
        Query sibling = m_db.query("SELECT 1 FROM folder WHERE parent = ? AND name = ?");
        sibling.bind(rowId(parent)).bind(name);
        if (sibling.next())
            return 0;
    }
    Query next = m_db.query("SELECT COALESCE(MAX(id), 0) + 1 FROM folder");
    next.next();
    const std::int64_t id = next.integer(0);
    if (id > kMaxRowId)
        throw StoreError(K5DB_ERR_STORE, "too many folders");
    m_db.query("INSERT INTO folder(id, parent, name) VALUES(?, ?, ?)")
        .bind(id)
        .bind(rowId(parent))
        .bind(name)
        .run();
    return makeHandle(ObjectKind::Folder, id);
}

void FolderTable::remove(std::uint32_t hFolder, bool holdsPrograms)
{
    const std::int64_t parent = parentOf(hFolder);
    if (parent < 0)
        throw StoreError(K5DB_ERR_HANDLE, "unknown folder");
    if (parent == 0)
        throw StoreError(K5DB_ERR_NOT_ALLOWED, "the top folder stays");
    if (holdsPrograms || !children(hFolder).empty())
        throw StoreError(K5DB_ERR_NOT_EMPTY, "the folder is not empty");
    m_db.query("DELETE FROM folder WHERE id = ?").bind(rowId(hFolder)).run();
}

std::vector<std::uint32_t> FolderTable::children(std::uint32_t hParent)
{
    if (hParent != 0 && (!isKind(hParent, ObjectKind::Folder) || !exists(hParent)))
        throw StoreError(K5DB_ERR_HANDLE, "unknown folder");
    std::vector<std::uint32_t> handles;
    Query rows = m_db.query("SELECT id FROM folder WHERE parent = ? ORDER BY name, id");
    rows.bind(rowId(hParent));
    while (rows.next())
        handles.push_back(makeHandle(ObjectKind::Folder, rows.integer(0)));
    return handles;
}

std::optional<std::string> FolderTable::name(std::uint32_t hFolder)
{
    if (!isKind(hFolder, ObjectKind::Folder))
        return std::nullopt;
    Query row = m_db.query("SELECT name FROM folder WHERE id = ?");
    row.bind(rowId(hFolder));
    if (!row.next())
        return std::nullopt;
    return row.text(0);
}

std::int64_t FolderTable::parentOf(std::uint32_t hFolder)
{
    if (!isKind(hFolder, ObjectKind::Folder))
        return -1;
    Query row = m_db.query("SELECT parent FROM folder WHERE id = ?");
    row.bind(rowId(hFolder));
    return row.next() ? row.integer(0) : -1;
}

} // namespace k5db
