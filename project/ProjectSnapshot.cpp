#include "project/ProjectSnapshot.h"

#include "project/TK5DB.h"

#include <QHash>

#include <cstring>

namespace {

// Comments are read into a buffer of this size, as the wrapper reads them.
constexpr quint32 kCommentBuffer = 2049;
// A program folder tree deeper than this is not followed; the project writer never makes one.
constexpr int kMaxFolderDepth = 256;

// A comment in one call: the text of one that fits the library's buffer, and the wrapper's
// failure for one that does not.
QString comment(TK5DB &db, quint32 hObject, quint32 kind)
{
    char buffer[kCommentBuffer] = {};
    if (db.K5DB_GetComment(db.hClient, db.hProject, hObject, kind, buffer, sizeof buffer) ==
        K5DB_ERR_BUFFER)
        return db.GetComment(hObject, kind); // throws, naming the length
    buffer[sizeof buffer - 1] = '\0';
    return TK5DB::nativeText(buffer);
}

QString property(TK5DB &db, quint32 hObject, quint32 hProp)
{
    return TK5DB::nativeText(db.K5DB_GetProperty(db.hClient, db.hProject, hObject, hProp));
}

ProgramState readProgram(TK5DB &db, quint32 hProgram, const QString &name, const QString &folder)
{
    ProgramState p;
    p.name = name;
    p.folder = folder;
    quint32 language = 0, section = 0, parent = 0;
    db.K5DB_GetProgramDesc(db.hClient, db.hProject, hProgram, &language, &section, &parent);
    p.language = language;
    p.section = section;
    p.description = comment(db, hProgram, K5DB_COMMENT_DESC);
    p.structure = property(db, hProgram, K5DB_PROP_STRUCTURE);
    p.enabled = property(db, hProgram, K5DB_PROP_ENABLED);
    p.sourcePath = db.GetProgramPath(hProgram);
    return p;
}

void readFolder(TK5DB &db, quint32 hFolder, const QString &path, ProjectSnapshot &out, int depth)
{
    TK5DB::HandleList programs;
    db.GetFolderPrograms(hFolder, programs);
    for (const auto &program : programs)
        out.programs.push_back(readProgram(db, program.value, program.name, path));
    if (depth >= kMaxFolderDepth)
        return;
    TK5DB::HandleList folders;
    db.GetFolders(hFolder, folders);
    for (const auto &folder : folders) {
        const QString child = path.isEmpty() ? folder.name : path + u'\\' + folder.name;
        out.folders << child;
        readFolder(db, folder.value, child, out, depth + 1);
    }
}

// The projects' few types by handle: a type's name is asked for once, not once per variable.
using TypeNames = QHash<quint32, QString>;

VariableState readVariable(TK5DB &db, quint32 hGroup, quint32 hVar, TypeNames &types)
{
    VariableState v;
    quint32 hType = 0;
    v.name = db.GetVarDesc(hGroup, hVar, hType, v.dim, v.length, v.flags);
    auto type = types.find(hType);
    if (type == types.end())
        type = types.insert(
            hType, TK5DB::nativeText(db.K5DB_GetTypeDesc(db.hClient, db.hProject, hType, nullptr)));
    v.type = *type;
    v.init =
        TK5DB::nativeText(db.K5DB_GetVarInitValue(db.hClient, db.hProject, hGroup, hVar, nullptr));
    v.tag = comment(db, hVar, K5DB_COMMENT_TAG);
    v.description = comment(db, hVar, K5DB_COMMENT_DESC);
    v.profile = property(db, hVar, K5DB_PROP_PROFILE);
    v.embed = property(db, hVar, K5DB_PROP_EMBED);
    return v;
}

// A field of a record read in one call. Most fields of a generated variable are empty: they
// are kept without a text of their own.
QString field(const char *text)
{
    return text && *text ? TK5DB::nativeText(text) : QString();
}

// A comment of a record read in one call, with the failure a read of its own would give.
QString wholeComment(const char *text)
{
    TK5DB::CheckCommentLength(qsizetype(std::strlen(text)));
    return field(text);
}

VariableState variableOf(const K5DB_VARINFO &info)
{
    VariableState v;
    v.name = field(info.szName);
    v.type = field(info.szType);
    v.dim = info.dwDim;
    v.length = info.dwStringLength;
    v.flags = info.dwFlags;
    v.init = field(info.szInitValue);
    v.tag = wholeComment(info.szTag);
    v.description = wholeComment(info.szDescription);
    v.profile = field(info.szProfile);
    v.embed = field(info.szEmbed);
    return v;
}

GroupState readGroup(TK5DB &db, const QString &name, quint32 hGroup, TypeNames &types)
{
    GroupState group{name, {}};
    std::vector<K5DB_VARINFO> infos;
    if (db.GetGroupVarInfos(hGroup, infos)) {
        group.variables.reserve(infos.size());
        for (const K5DB_VARINFO &info : infos)
            group.variables.push_back(variableOf(info));
        return group;
    }
    const quint32 count = db.K5DB_GetNbVar(db.hClient, db.hProject, hGroup);
    std::vector<quint32> handles(count);
    if (count > 0)
        handles.resize(
            std::min(count, db.K5DB_GetVars(db.hClient, db.hProject, hGroup, handles.data())));
    group.variables.reserve(handles.size());
    for (const quint32 hVar : handles)
        group.variables.push_back(readVariable(db, hGroup, hVar, types));
    return group;
}

} // namespace

ProjectSnapshot readProjectSnapshot(TK5DB &db)
{
    ProjectSnapshot out;
    readFolder(db, 0, QString(), out, 0);
    QStringList groups{QStringLiteral("(Global)"), QStringLiteral("(Retain)")};
    for (const ProgramState &program : out.programs)
        groups << program.name;
    TypeNames types;
    for (const QString &name : groups) {
        if (const quint32 hGroup = db.FindGroup(name))
            out.groups.push_back(readGroup(db, name, hGroup, types));
    }
    return out;
}
