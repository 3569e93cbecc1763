#pragma once

#include "FolderTable.h"
#include "LockTable.h"
#include "NoteTable.h"
#include "ProgramTable.h"
#include "ProjectFile.h"
#include "Sqlite.h"
#include "TypeCatalog.h"
#include "VariableTable.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace k5db {

// One open project of one client: the store connection with its transaction, the tables and
// the locks. Changes go into the store at once, inside a transaction that K5DB_SaveProject
// commits and closing without a save rolls back; other clients see them only after the save.
class Project {
public:
    static constexpr const char *kStoreName = "appli.k5db";
    static constexpr const char *kExportName = "appli.xml";

    // Makes the folder (with missing parents), appli.k5p and the store. Throws
    // K5DB_ERR_EXISTS when the folder is a project already.
    static void create(const std::filesystem::path &folder);
    // Opens a folder holding appli.k5p; a project without a store (one unpacked from a
    // workspace template) gets an empty one with the top folder appli.k5p names. A project
    // opened read-only is only read; it needs its store.
    Project(const std::filesystem::path &folder, LockOwner owner, bool readOnly = false);
    // A private copy of the project's saved state in memory, for a caller that wants to see
    // what its changes would do without making them: changes and saves stay in the copy, and
    // closing drops it. Nothing is ever written into the folder. Other clients' locks are seen
    // as in the project itself; the copy's own locks are held in the copy only, so they block
    // nobody. A folder that holds no project yet gives the empty project that creating it
    // would make.
    struct Copy {};
    Project(const std::filesystem::path &folder, LockOwner owner, Copy);
    ~Project();
    Project(const Project &) = delete;
    Project &operator=(const Project &) = delete;

    // Commits, then brings the files derived from the store up to date: removes the sources of
    // deleted programs, gives every program a source file, writes appli.xml.
    void save();
    // Rolls back what was not saved and gives up this client's locks.
    void close();

    const std::filesystem::path &folder() const { return m_folder; }
    const ProjectFile &info() const { return m_info; }
    std::filesystem::path sourcePath(const ProgramRecord &program) const;

    std::uint32_t createProgram(const ProgramRecord &program);
    void deleteProgram(std::uint32_t hProgram);
    void deleteFolder(std::uint32_t hFolder);
    std::uint32_t createVariable(std::uint32_t hGroup, std::uint32_t position, std::uint32_t hType,
                                 VariableRecord var);
    void deleteVariable(std::uint32_t hGroup, std::uint32_t hVar);
    // Throws K5DB_ERR_HANDLE unless hObject is a program or a variable of this project.
    void requireNoteObject(std::uint32_t hObject);

    std::uint32_t lock(std::uint32_t hObject);
    void unlock(std::uint32_t hObject);
    // Throws K5DB_ERR_LOCKED when another client holds the object's lock.
    void requireNotLockedByOther(std::uint32_t hObject);

private:
    std::filesystem::path m_folder;
    ProjectFile m_info;
    LockOwner m_owner;
    Database m_db;

public:
    FolderTable folders{m_db};
    ProgramTable programs{m_db};
    VariableTable variables{m_db};
    NoteTable notes{m_db};
    TypeCatalog types{programs};

private:
    bool m_copy = false;
    std::optional<LockTable> m_locks;
    std::set<std::uint32_t> m_held;                      // locks this client holds here
    std::vector<std::filesystem::path> m_removedSources; // of programs deleted since the save
    LockTable &locks();
    // The lock table to look at, or null when a copy's project has none.
    LockTable *lockTable();
};

} // namespace k5db
