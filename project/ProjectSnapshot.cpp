#include "project/ProjectSnapshot.h"

#include "common/Windows1252.h"
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

// A comment as stored: the text of one that fits the library's buffer, and the wrapper's
// failure for one that does not.
QByteArray rawComment(TK5DB &db, quint32 hObject, quint32 kind)
{
    char buffer[kCommentBuffer] = {};
    if (db.K5DB_GetComment(db.hClient, db.hProject, hObject, kind, buffer, sizeof buffer) ==
        K5DB_ERR_BUFFER)
        db.GetComment(hObject, kind); // throws, naming the length
    buffer[sizeof buffer - 1] = '\0';
    return QByteArray(buffer);
}

QByteArrayView rawText(const char *text)
{
    return text ? QByteArrayView(text, qsizetype(std::strlen(text))) : QByteArrayView();
}

// The projects' few types by handle: a type's name is asked for once, not once per variable.
using TypeNames = QHash<quint32, QByteArray>;

VariableState readVariable(TK5DB &db, quint32 hGroup, quint32 hVar, TypeNames &types)
{
    quint32 hType = 0, dim = 0, length = 0, flags = 0;
    const QByteArray name = TK5DB::ansiText(db.GetVarDesc(hGroup, hVar, hType, dim, length, flags));
    auto type = types.find(hType);
    if (type == types.end())
        type = types.insert(
            hType,
            rawText(db.K5DB_GetTypeDesc(db.hClient, db.hProject, hType, nullptr)).toByteArray());
    const QByteArray init =
        rawText(db.K5DB_GetVarInitValue(db.hClient, db.hProject, hGroup, hVar, nullptr))
            .toByteArray();
    const QByteArray tag = rawComment(db, hVar, K5DB_COMMENT_TAG);
    const QByteArray description = rawComment(db, hVar, K5DB_COMMENT_DESC);
    const QByteArray profile =
        rawText(db.K5DB_GetProperty(db.hClient, db.hProject, hVar, K5DB_PROP_PROFILE))
            .toByteArray();
    const QByteArray embed =
        rawText(db.K5DB_GetProperty(db.hClient, db.hProject, hVar, K5DB_PROP_EMBED)).toByteArray();
    return VariableState({name, *type, init, tag, description, profile, embed}, dim, length, flags);
}

// A comment of a record read in one call, with the failure a read of its own would give.
QByteArrayView wholeComment(const char *text)
{
    const QByteArrayView raw = rawText(text);
    TK5DB::CheckCommentLength(raw.size());
    return raw;
}

VariableState variableOf(const K5DB_VARINFO &info)
{
    return VariableState({rawText(info.szName), rawText(info.szType), rawText(info.szInitValue),
                          wholeComment(info.szTag), wholeComment(info.szDescription),
                          rawText(info.szProfile), rawText(info.szEmbed)},
                         info.dwDim, info.dwStringLength, info.dwFlags);
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

VariableState::VariableState(const std::array<QByteArrayView, kTexts> &texts, quint32 dim,
                             quint32 length, quint32 flags)
    : dim(dim), length(length), flags(flags)
{
    qsizetype size = 0;
    for (const QByteArrayView text : texts)
        size += text.size();
    m_texts.reserve(size);
    for (int i = 0; i < kTexts; ++i) {
        m_texts.append(texts[std::size_t(i)]);
        m_ends[std::size_t(i) + 1] = m_texts.size();
    }
}

QString VariableState::text(Text which) const
{
    return fromWindows1252(raw(which));
}

bool VariableState::operator==(const VariableState &other) const
{
    return dim == other.dim && length == other.length && flags == other.flags &&
           m_ends == other.m_ends && m_texts == other.m_texts;
}

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
