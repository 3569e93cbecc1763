#include "project/ProgramGeneration.h"

#include "common/CommaText.h"
#include "common/ProjectFileBatch.h"
#include "common/ProjectFiles.h"
#include "common/ProjectTextFile.h"
#include "common/RunLog.h"
#include "project/ProjectContext.h"
#include "project/TK5DB.h"
#include "project/VariableCreation.h"
#include "template/TCodeTab.h"

#include <QScopeGuard>

namespace {

// New programs are Structured Text.
constexpr quint32 kLanguageST = 2;
// A folder path deeper than this is not followed: each level is one library call and one
// recursion.
constexpr int kMaxFolderDepth = 64;

struct VariableGroup {
    const QStringList TCodeTab::*lines;
    const char *missingMessage;
    bool marker;
};

// In the order the groups are written; the local group is named like the program.
const VariableGroup kGroups[] = {
    {&TCodeTab::reGloVar, "Unable to create GLOBAL variables for : ", true},
    {&TCodeTab::reRetainVar, "Unable to create RETAIN variables for : ", true},
    {&TCodeTab::reLocVar, "Unable to create LOCAL variables for : ", false},
};

QString groupName(const VariableGroup &group, const TCodeTab &tab)
{
    if (group.lines == &TCodeTab::reGloVar)
        return QStringLiteral("(Global)");
    if (group.lines == &TCodeTab::reRetainVar)
        return QStringLiteral("(Retain)");
    return tab.StratonInfo.FileName;
}

} // namespace

bool ProgramGeneration::GenerateStratonProgram(const TCodeTab &Tab)
{
    const StratonRecord &info = Tab.StratonInfo;
    const quint32 hFolder = LocateProgramFolder(0, info.FolderName);
    c.log.LogError(QStringLiteral("Generating:") + info.FolderName + u'\\' + info.FileName);
    bool created = false;
    const quint32 hProgram = findOrCreateProgram(Tab, hFolder, created);
    if (hProgram == 0) {
        c.log.LogError(QStringLiteral("Not able to create program: ") + info.FileName);
        return false;
    }
    if (c.db.K5DB_LockProgram(c.db.hClient, c.db.hProject, hProgram) != K5DB_OK) {
        c.log.LogError(QStringLiteral("Not lock program: ") + info.FileName +
                       QStringLiteral(", program not saved"));
        return false;
    }
    const auto unlockAndSave = qScopeGuard([&] {
        c.db.K5DB_UnlockProgram(c.db.hClient, c.db.hProject, hProgram);
        if (c.db.K5DB_SaveProgramChanges(c.db.hClient, c.db.hProject, hProgram) != K5DB_OK)
            c.log.LogError(QStringLiteral("Unable to save program changes for : ") + info.FileName);
    });
    if (created)
        setNewProgramAttributes(Tab, hProgram);
    return writeVariableGroups(Tab);
}

quint32 ProgramGeneration::findOrCreateProgram(const TCodeTab &Tab, quint32 hFolder, bool &created)
{
    const StratonRecord &info = Tab.StratonInfo;
    quint32 hProgram = c.db.FindProgram(info.FileName);
    if (hProgram != 0 && info.Overwrite) {
        if (c.db.DeleteProgram(hProgram) != K5DB_OK)
            c.log.LogError(QStringLiteral("Not able to delete program: ") + info.FileName);
        hProgram = 0;
    }
    if (hProgram != 0)
        return hProgram;
    created = true;
    hProgram =
        c.db.CreateProgramEx(kLanguageST, quint32(info.iSection), 0, info.FileName, 0, hFolder);
    if (hProgram != 0 && info.StructureType)
        c.db.SetProperty(hProgram, K5DB_PROP_STRUCTURE, QStringLiteral("Struct"));
    return hProgram;
}

void ProgramGeneration::setNewProgramAttributes(const TCodeTab &Tab, quint32 hProgram)
{
    const StratonRecord &info = Tab.StratonInfo;
    if (info.SubProgram)
        c.db.SetProgramOnCallFlag(hProgram, 1);
    if (info.ScanPeriod != 1 || info.ScanPhase != 0)
        c.db.SetProgramSchedule(hProgram, info.ScanPeriod, info.ScanPhase);
    if (!info.Enabled)
        c.db.SetProperty(hProgram, K5DB_PROP_ENABLED, QStringLiteral("#FALSE#"));
    if (!info.Description.isEmpty()) {
        const QByteArray description = TK5DB::ansiText(info.Description);
        c.db.K5DB_SetComment(c.db.hClient, c.db.hProject, hProgram, K5DB_COMMENT_DESC,
                             description.constData());
    }
    const QString path = c.db.GetProgramPath(hProgram);
    if (c.sources)
        c.sources->add(path, projectFileBytes(Tab.reCode));
    else
        c.projectFiles().write(path, projectFileBytes(Tab.reCode));
}

bool ProgramGeneration::writeVariableGroups(const TCodeTab &Tab)
{
    VariableCreation variables(c);
    bool result = true;
    for (const VariableGroup &group : kGroups) {
        const QStringList &lines = Tab.*group.lines;
        if (lines.isEmpty())
            continue;
        const QString name = groupName(group, Tab);
        const quint32 hGroup = c.db.FindGroup(name);
        if (hGroup == 0) {
            c.log.LogError(QLatin1String(group.missingMessage) + Tab.StratonInfo.FileName);
            continue;
        }
        if (result)
            result = variables.CreateGroupVariables(name, hGroup, lines, group.marker);
    }
    return result;
}

quint32 ProgramGeneration::LocateProgramFolder(quint32 ParentFolder, const QString &Path)
{
    quint32 parent = ParentFolder;
    QStringList components = splitDelimitedText(Path, u'\\');
    if (components.isEmpty())
        return 0;
    quint32 h = 0;
    for (int depth = 0; depth < kMaxFolderDepth && !components.isEmpty(); ++depth) {
        const QString levelPath = components.join(u'\\');
        const QString first = components.takeFirst();
        const QByteArray name = TK5DB::ansiText(first);
        h = c.db.K5DB_CreateFolder(c.db.hClient, c.db.hProject, parent, name.constData());
        if (h == 0)
            h = findSubFolder(parent, first);
        if (h == 0) {
            c.log.LogLine(QStringLiteral("Not able to create or locate folder ") + levelPath);
            return 0;
        }
        parent = h;
    }
    return h;
}

// A sub-folder by name, without regard to case; below 0 that is below the top folder.
quint32 ProgramGeneration::findSubFolder(quint32 ParentFolder, const QString &name)
{
    TK5DB::HandleList folders;
    c.db.GetFolders(ParentFolder, folders);
    if (ParentFolder == 0) {
        const quint32 top = folders.isEmpty() ? 0 : folders.at(0).value;
        folders.clear();
        if (top != 0)
            c.db.GetFolders(top, folders);
    }
    const qsizetype at = folders.indexOf(name);
    return at >= 0 ? folders.at(at).value : 0;
}
