#include "Project.h"

#include "Handles.h"
#include "StoreError.h"
#include "StoreSchema.h"
#include "Text.h"
#include "TreeExport.h"
#include "interfaces/K5dbApi.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace k5db {

namespace {

// One change of several statements: all of them or none stay in the open transaction.
class Change {
public:
    // Prepared once and kept: a generation makes a change for every variable it writes.
    explicit Change(Database &db) : m_db(db) { m_db.query("SAVEPOINT change").run(); }
    ~Change()
    {
        if (!m_done)
            sqlite3_exec(m_db.handle(), "ROLLBACK TO change; RELEASE change", nullptr, nullptr,
                         nullptr);
    }
    void commit()
    {
        m_db.query("RELEASE change").run();
        m_done = true;
    }

private:
    Database &m_db;
    bool m_done = false;
};

ProjectFile readInfo(const fs::path &folder)
{
    const fs::path file = folder / ProjectFile::kFileName;
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        throw StoreError(K5DB_ERR_FILE, folder.string() + ": not a project");
    return ProjectFile::read(file);
}

void makeStore(const fs::path &folder, const ProjectFile &info)
{
    Database db(folder / Project::kStoreName, Database::Mode::Create);
    // Write-ahead logging lets other clients read the saved project while this one holds
    // unsaved changes.
    db.execute("PRAGMA journal_mode = WAL");
    createSchema(db, info.name, info.topFolder);
}

Database::Mode openMode(const fs::path &folder, const ProjectFile &info, bool readOnly)
{
    std::error_code error;
    if (!fs::exists(folder / Project::kStoreName, error)) {
        if (readOnly)
            throw StoreError(K5DB_ERR_FILE, folder.string() + ": the project has no store");
        makeStore(folder, info);
    }
    return readOnly ? Database::Mode::ReadOnly : Database::Mode::ReadWrite;
}

// The project file of a folder, or for a copy of a folder without one, the project that
// creating it would make.
ProjectFile readInfoOrNew(const fs::path &folder)
{
    std::error_code error;
    if (fs::is_regular_file(folder / ProjectFile::kFileName, error))
        return ProjectFile::read(folder / ProjectFile::kFileName);
    ProjectFile info;
    info.name = folder.filename().string();
    return info;
}

} // namespace

void Project::create(const fs::path &folder)
{
    std::error_code error;
    if (fs::exists(folder / ProjectFile::kFileName, error) ||
        fs::exists(folder / kStoreName, error))
        throw StoreError(K5DB_ERR_EXISTS, folder.string() + ": a project exists there");
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error))
        throw StoreError(K5DB_ERR_FILE, folder.string() + ": the folder cannot be made");
    ProjectFile info;
    info.name = folder.filename().string();
    // The project file first: should the store fail, opening the project makes it again.
    info.write(folder / ProjectFile::kFileName);
    makeStore(folder, info);
}

Project::Project(const fs::path &folder, LockOwner owner, bool readOnly)
    : m_folder(folder), m_info(readInfo(folder)), m_owner(std::move(owner)),
      m_db(folder / kStoreName, openMode(folder, m_info, readOnly))
{
    checkSchema(m_db);
    // A generation changes every variable of a large project in one transaction, each change
    // in a savepoint: the savepoints' journal in memory and a page cache that holds the
    // changed pages keep that from writing and reading temporary files for every variable.
    m_db.execute("PRAGMA temp_store = MEMORY; PRAGMA cache_size = -65536");
    // Read-only too: a dump taken while another client saves shows one state, not a mix.
    m_db.execute("BEGIN");
}

Project::Project(const fs::path &folder, LockOwner owner, Copy)
    : m_folder(folder), m_info(readInfoOrNew(folder)), m_owner(std::move(owner)),
      m_db(folder / kStoreName, Database::Mode::Memory), m_copy(true)
{
    std::error_code error;
    if (fs::exists(folder / kStoreName, error))
        copyStore(folder / kStoreName, m_db);
    else
        createSchema(m_db, m_info.name, m_info.topFolder);
    checkSchema(m_db);
    m_db.execute("PRAGMA temp_store = MEMORY; PRAGMA cache_size = -65536");
    m_db.execute("BEGIN");
}

Project::~Project() = default; // closing the connection rolls back what was not saved

fs::path Project::sourcePath(const ProgramRecord &program) const
{
    return m_folder / (program.name + (program.language == 2 ? ".st" : ".src"));
}

void Project::save()
{
    if (!sqlite3_get_autocommit(m_db.handle()))
        m_db.execute("COMMIT"); // a refused commit leaves the transaction open for a retry
    m_db.execute("BEGIN");
    if (m_copy) {
        m_removedSources.clear();
        return; // a copy's files are the caller's to imagine
    }

    std::set<fs::path> current;
    for (const ProgramRecord &program : programs.all())
        current.insert(sourcePath(program));
    std::error_code error;
    for (const fs::path &removed : m_removedSources) {
        if (!current.count(removed))
            fs::remove(removed, error);
    }
    m_removedSources.clear();
    for (const fs::path &source : current) {
        if (!fs::exists(source, error))
            std::ofstream(source, std::ios::binary);
    }
    writeTreeExport(*this, m_folder / kExportName);
}

void Project::close()
{
    if (!sqlite3_get_autocommit(m_db.handle()))
        m_db.execute("ROLLBACK");
    m_removedSources.clear();
    if (!m_held.empty() && !m_copy)
        locks().unlockAll(m_owner);
    m_held.clear();
}

LockTable &Project::locks()
{
    if (!m_locks)
        m_locks.emplace(m_folder);
    return *m_locks;
}

LockTable *Project::lockTable()
{
    if (!m_copy)
        return &locks();
    if (!m_locks) {
        std::error_code error;
        if (!fs::exists(m_folder / LockTable::kFileName, error))
            return nullptr; // nobody ever locked anything here
        m_locks.emplace(m_folder, LockTable::Access::Watcher);
    }
    return &*m_locks;
}

std::uint32_t Project::createProgram(const ProgramRecord &program)
{
    if (!isIdentifier(program.name) || TypeCatalog::isBuiltIn(program.name))
        throw StoreError(K5DB_ERR_ARGUMENT, "invalid program name");
    static constexpr std::uint32_t kSections[] = {K5DB_SECTION_BEGIN, K5DB_SECTION_SFC,
                                                  K5DB_SECTION_END, K5DB_SECTION_CHILD,
                                                  K5DB_SECTION_UDFB};
    if (std::find(std::begin(kSections), std::end(kSections), program.section) ==
        std::end(kSections))
        throw StoreError(K5DB_ERR_ARGUMENT, "unknown section");
    if (program.folder != 0 && !folders.exists(program.folder))
        throw StoreError(K5DB_ERR_HANDLE, "unknown folder");
    if (program.parentProgram != 0 && !programs.record(program.parentProgram))
        throw StoreError(K5DB_ERR_HANDLE, "unknown parent program");
    Change change(m_db);
    const std::uint32_t handle = programs.create(program);
    change.commit();
    return handle;
}

void Project::deleteProgram(std::uint32_t hProgram)
{
    const auto program = programs.record(hProgram);
    if (!program)
        throw StoreError(K5DB_ERR_HANDLE, "unknown program");
    requireNotLockedByOther(hProgram);
    requireNotLockedByOther(program->group);
    Change change(m_db);
    notes.removeAllOfGroupVariables(program->group);
    variables.removeAllOf(program->group);
    notes.removeAll(hProgram);
    programs.remove(hProgram);
    change.commit();
    m_removedSources.push_back(sourcePath(*program));
    for (const std::uint32_t held : {hProgram, program->group}) {
        if (m_held.erase(held) && !m_copy)
            locks().unlock(held, m_owner);
    }
}

void Project::deleteFolder(std::uint32_t hFolder)
{
    if (!folders.exists(hFolder))
        throw StoreError(K5DB_ERR_HANDLE, "unknown folder");
    folders.remove(hFolder, programs.folderHoldsPrograms(hFolder));
}

std::uint32_t Project::createVariable(std::uint32_t hGroup, std::uint32_t position,
                                      std::uint32_t hType, VariableRecord var)
{
    if (!variables.group(hGroup))
        throw StoreError(K5DB_ERR_HANDLE, "unknown group");
    const auto type = types.describe(hType);
    if (!type)
        throw StoreError(K5DB_ERR_HANDLE, "unknown type");
    if (!isIdentifier(var.name))
        throw StoreError(K5DB_ERR_ARGUMENT, "invalid variable name");
    requireNotLockedByOther(hGroup);
    var.type = type->name;
    Change change(m_db);
    const std::uint32_t handle = variables.create(hGroup, position, var);
    change.commit();
    return handle;
}

void Project::deleteVariable(std::uint32_t hGroup, std::uint32_t hVar)
{
    if (!variables.record(hGroup, hVar))
        throw StoreError(K5DB_ERR_HANDLE, "unknown variable");
    requireNotLockedByOther(hGroup);
    Change change(m_db);
    notes.removeAll(hVar);
    variables.remove(hVar);
    change.commit();
}

void Project::requireNoteObject(std::uint32_t hObject)
{
    if (isKind(hObject, ObjectKind::Program) && programs.record(hObject))
        return;
    if (isKind(hObject, ObjectKind::Variable)) {
        Query row = m_db.query("SELECT 1 FROM variable WHERE id = ?");
        row.bind(rowId(hObject));
        if (row.next())
            return;
    }
    throw StoreError(K5DB_ERR_HANDLE, "unknown program or variable");
}

std::uint32_t Project::lock(std::uint32_t hObject)
{
    const bool known = isKind(hObject, ObjectKind::Program) ? programs.record(hObject).has_value()
                                                            : variables.group(hObject).has_value();
    if (!known)
        throw StoreError(K5DB_ERR_HANDLE, "unknown program or group");
    if (m_copy) {
        LockTable *table = lockTable();
        if (m_held.count(hObject) == 0 && table && table->lockedByOther(hObject, m_owner))
            return K5DB_ERR_LOCKED;
        m_held.insert(hObject);
        return K5DB_OK;
    }
    const std::uint32_t status = locks().lock(hObject, m_owner);
    if (status == K5DB_OK)
        m_held.insert(hObject);
    return status;
}

void Project::unlock(std::uint32_t hObject)
{
    if (!isKind(hObject, ObjectKind::Program) && !isKind(hObject, ObjectKind::Group))
        throw StoreError(K5DB_ERR_HANDLE, "unknown program or group");
    if (m_held.erase(hObject) && !m_copy)
        locks().unlock(hObject, m_owner);
}

void Project::requireNotLockedByOther(std::uint32_t hObject)
{
    // A lock this client holds cannot be another's too, which spares the lock file a visit
    // for every variable the generator writes into a group it has locked.
    if (m_held.count(hObject) != 0)
        return;
    if (LockTable *table = lockTable(); table && table->lockedByOther(hObject, m_owner))
        throw StoreError(K5DB_ERR_LOCKED, "locked by another client");
}

} // namespace k5db
