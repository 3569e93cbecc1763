#include "project/VariableCreation.h"

#include "common/CommaText.h"
#include "common/LenientInt.h"
#include "common/RunLog.h"
#include "common/TextTrim.h"
#include "common/Windows1252.h"
#include "project/ProjectContext.h"
#include "project/TK5DB.h"
#include "project/VariableRules.h"
#include "template/TemplateModel.h"
#include "template/VariableDeclaration.h"
#include "workbook/GeneratorOptions.h"

#include <QScopeGuard>

#include <cstring>

namespace {

const QString kSyb = QStringLiteral("<syb>");

// Field 4 of a line: the variable's direction flags.
quint32 attributeFlags(const QString &attr)
{
    static const struct {
        const char *text;
        quint32 flags;
    } kAttributes[] = {{"IN", K5DB_VAR_IN}, {"OUT", K5DB_VAR_OUT}, {"INOUT", K5DB_VAR_INOUT}};
    for (const auto &a : kAttributes) {
        if (attr.compare(QLatin1String(a.text), Qt::CaseInsensitive) == 0)
            return a.flags;
    }
    return 0;
}

QString attributeText(quint32 flags)
{
    if ((flags & K5DB_VAR_INOUT) == K5DB_VAR_INOUT)
        return QStringLiteral("INOUT");
    if (flags & K5DB_VAR_IN)
        return QStringLiteral("IN");
    if (flags & K5DB_VAR_OUT)
        return QStringLiteral("OUT");
    return QString();
}

QString numberOrEmpty(quint32 value)
{
    return value == 0 ? QString() : QString::number(value);
}

quint32 wholeNumber(const QString &text)
{
    return quint32(std::max(0, readIntOr(trimText(text), 0)));
}

QString withoutTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= 32)
        --end;
    return text.left(end);
}

QString appendMarker(const QString &desc)
{
    return desc.isEmpty() ? kGeneratorMarker : desc + QStringLiteral("  ") + kGeneratorMarker;
}

void setField(QStringList &fields, int number, const QString &value)
{
    if (number >= 1 && number <= fields.size())
        fields[number - 1] = value;
}

QString groupMessage(const char *format, const QString &a, const QString &b)
{
    return QString::asprintf(format, qUtf8Printable(a), qUtf8Printable(b));
}

// A variable's name as the project database compares it: the Windows-1252 text the library
// receives, up to its first NUL, with ASCII letters folded to upper case.
QByteArray nameKey(const char *ansi)
{
    QByteArray key(ansi);
    for (char &ch : key) {
        if (ch >= 'a' && ch <= 'z')
            ch = char(ch - 'a' + 'A');
    }
    return key;
}

QByteArray nameKey(const QString &name)
{
    return nameKey(TK5DB::ansiText(name).constData());
}

// The fields of a known variable's texts, in the order they are packed.
enum KnownText { kName, kType, kInit, kTag, kDescription, kProfile, kEmbed };

QByteArray packTexts(const K5DB_VARINFO &info)
{
    QByteArray texts;
    for (const char *text : {info.szName, info.szType, info.szInitValue, info.szTag,
                             info.szDescription, info.szProfile, info.szEmbed}) {
        texts.append(text);
        texts.append('\0');
    }
    return texts;
}

QByteArrayView packedText(const QByteArray &texts, int field)
{
    qsizetype from = 0;
    for (int i = 0; i < field; ++i)
        from = texts.indexOf('\0', from) + 1;
    return QByteArrayView(texts.constData() + from, texts.indexOf('\0', from) - from);
}

QString nativeText(QByteArrayView ansi)
{
    return fromWindows1252(ansi);
}

} // namespace

// One line of a group on its way into the project.
struct VariableCreation::LineWork {
    QString group;
    quint32 hGroup = 0;
    bool markerFlag = false;
    int index = 0;
    QStringList fields;
    QStringList existing;
    bool generatorMade = false;
    quint32 hType = 0;
    quint32 hVar = 0;
    bool created = false;
};

bool VariableCreation::CreateGroupVariables(const QString &GroupName, quint32 hGroup,
                                            const QStringList &Lines, bool MarkerFlag)
{
    if (c.db.LockGroup(hGroup) != K5DB_OK) {
        c.log.LogError(
            QString::asprintf("Unable to lock variable group (%s), variables not created",
                              qUtf8Printable(GroupName)));
        return false;
    }
    const auto unlock = qScopeGuard([&] {
        m_group = GroupVariables();
        c.db.UnlockGroup(hGroup);
    });
    readGroupVariables(hGroup);
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        LineWork work;
        work.group = GroupName;
        work.hGroup = hGroup;
        work.markerFlag = MarkerFlag;
        work.index = int(i);
        work.fields = splitCommaText(Lines[i]);
        processLine(work);
        if (!work.fields.isEmpty())
            m_group.changed.insert(nameKey(work.fields[0]));
    }
    return true;
}

void VariableCreation::readGroupVariables(quint32 hGroup)
{
    m_group = GroupVariables();
    std::vector<K5DB_VARINFO> infos;
    if (!c.db.GetGroupVarInfos(hGroup, infos))
        return;
    m_group.hGroup = hGroup;
    m_group.byName.reserve(qsizetype(infos.size()));
    for (const K5DB_VARINFO &info : infos) {
        m_group.byName.insert(nameKey(info.szName),
                              KnownVariable{info.hVar, info.dwDim, info.dwStringLength,
                                            info.dwFlags, packTexts(info)});
    }
}

// Whether the variable's state is known from the group's read (`known`), and then the
// variable, or null when the group has none of that name.
const VariableCreation::KnownVariable *
VariableCreation::knownVariable(quint32 hGroup, const QString &VarName, bool &known) const
{
    known = false;
    if (hGroup == 0 || hGroup != m_group.hGroup)
        return nullptr;
    const QByteArray key = nameKey(VarName);
    if (m_group.changed.contains(key))
        return nullptr;
    known = true;
    const auto it = m_group.byName.constFind(key);
    return it == m_group.byName.constEnd() ? nullptr : &*it;
}

quint32 VariableCreation::findVariable(quint32 hGroup, const QString &VarName)
{
    bool known = false;
    const KnownVariable *var = knownVariable(hGroup, VarName, known);
    if (known)
        return var ? var->hVar : 0;
    return c.db.FindVarInGroup(hGroup, VarName);
}

void VariableCreation::processLine(LineWork &work)
{
    QStringList &fields = work.fields;
    fields = twelveFieldForm(fields);
    SelectProfileEmbed(fields, c.log);
    if (fields.size() < 3) {
        c.log.LogError(QString::asprintf(
            "Missing specification for variable (%d) %s in variable group (%s)", work.index,
            qUtf8Printable(lineField(fields, 1)), qUtf8Printable(work.group)));
        return;
    }
    QString condition;
    if (fields.size() >= 12) {
        condition = fields[11];
        fields[11].clear();
    }
    if (fields[0].isEmpty())
        return;
    bool hasSyb = false;
    work.generatorMade = ReadExistingVariable(work.hGroup, fields[0], hasSyb, work.existing);
    if (hasSyb && fields.size() >= 10 && !fields[9].contains(kSyb))
        fields[9] = fields[9].isEmpty() ? kSyb : kSyb + u' ' + fields[9];
    if (!EvaluateCondition(condition, true) || isUnchanged(work) || !prepareVariable(work))
        return;
    writeComments(work);
    writeInitialValue(work);
    if (fields.size() >= 10)
        writeProfile(work);
}

bool VariableCreation::isUnchanged(LineWork &work) const
{
    if (sameFields(work.fields, work.existing))
        return true;
    if (!work.generatorMade)
        return false;
    QStringList line = work.fields;
    QStringList existing = work.existing;
    setField(line, 8, QString());
    setField(existing, 8, QString());
    if (sameFields(line, existing) && withoutTrailingBlanks(lineField(work.fields, 8)) ==
                                          withoutTrailingBlanks(lineField(work.existing, 8)))
        return true;
    if (!c.state.Template.DisableRecreateVarError)
        c.log.LogLine(QStringLiteral("Recreating ") + joinCommaText(work.fields));
    ++c.state.RecreatingVarCount;
    return false;
}

// Finds the type and the variable, and deletes and creates the variable again when its
// definition changed. False when the line goes no further.
bool VariableCreation::prepareVariable(LineWork &work)
{
    const QStringList &f = work.fields;
    work.hType = c.db.FindType(f[1]);
    if (work.hType == 0) {
        c.log.LogError(QString::asprintf(
            "Invalid data type \"%s\" specified for variable (%d) %s in variable group (%s)",
            qUtf8Printable(f[1]), work.index, qUtf8Printable(f[0]), qUtf8Printable(work.group)));
        return false;
    }
    const quint32 dim = wholeNumber(f[2]);
    work.hVar = findVariable(work.hGroup, f[0]);
    const bool differs = f.size() != work.existing.size() || f.size() < 5 ||
                         !sameFields(f.mid(0, 5), work.existing.mid(0, 5));
    if (!differs && work.hVar != 0)
        return true;
    if (work.hVar != 0) {
        c.db.K5DB_RemoveProperties(c.db.hClient, c.db.hProject, work.hVar);
        if (c.db.DeleteVar(work.hGroup, work.hVar) != K5DB_OK)
            c.log.LogError(groupMessage("Unable to delete variable %s in %s", f[0], work.group));
    }
    quint32 flags = 0;
    quint32 length = 0;
    if (f.size() >= 4) {
        flags = attributeFlags(f[3]);
        length = wholeNumber(lineField(f, 11));
    }
    work.hVar = c.db.CreateVar(work.hGroup, K5DB_POS_APPEND, work.hType, dim, length, flags, f[0]);
    if (work.hVar == 0) {
        c.log.LogError(groupMessage(
            "Can not create variable \"%s\" specified in variable group (%s)", f[0], work.group));
        return false;
    }
    work.created = true;
    return true;
}

void VariableCreation::writeComments(const LineWork &work)
{
    QString desc = lineField(work.fields, 8);
    if (work.markerFlag && !c.state.XmlGeneratorOptions.DisableVarIndicationCreatedByGenerator)
        desc = appendMarker(desc);
    const QByteArray tag = TK5DB::ansiText(lineField(work.fields, 7));
    const QByteArray description = TK5DB::ansiText(desc);
    c.db.K5DB_SetComment(c.db.hClient, c.db.hProject, work.hVar, K5DB_COMMENT_TAG, tag.constData());
    c.db.K5DB_SetComment(c.db.hClient, c.db.hProject, work.hVar, K5DB_COMMENT_DESC,
                         description.constData());
}

// An empty field 6 never clears an initial value. A variable created by this line gets the
// value even when the variable it replaced had the same one.
void VariableCreation::writeInitialValue(const LineWork &work)
{
    const QString init = lineField(work.fields, 6);
    if (init.isEmpty())
        return;
    if (!work.created && work.existing.size() >= 6 && work.existing[5] == init)
        return;
    const QByteArray value = TK5DB::ansiText(init);
    const quint32 r = c.db.K5DB_SetVarInitValue(c.db.hClient, c.db.hProject, work.hGroup, work.hVar,
                                                value.constData());
    if (r != K5DB_OK) {
        c.log.LogError(QString::asprintf("%s: error %d while adding init=%s",
                                         qUtf8Printable(work.fields[0]), int(r),
                                         qUtf8Printable(init)));
    }
}

void VariableCreation::writeProfile(const LineWork &work)
{
    const QString &name = work.fields[0];
    const QString profile = trimText(work.fields[8]);
    const QString embed = work.fields[9];
    if (profile.isEmpty()) {
        if (lineField(work.existing, 9).isEmpty() || work.hVar == 0)
            return;
        if (c.db.K5DB_RemoveProperties(c.db.hClient, c.db.hProject, work.hVar) != K5DB_OK)
            c.log.LogError(
                groupMessage("Unable to delete profile for variable %s in %s", name, work.group));
        return;
    }
    if (c.db.SetProperty(work.hVar, K5DB_PROP_PROFILE, profile) != K5DB_OK) {
        c.log.LogError(
            groupMessage("Can not create/add profile (%s) to variable (%s)", profile, name));
        return;
    }
    if (!embed.isEmpty() && c.db.SetProperty(work.hVar, K5DB_PROP_EMBED, embed) != K5DB_OK) {
        c.log.LogError(QString::asprintf(
            "Can not create/add embed (%s) to profile (%s) to variable (%s)", qUtf8Printable(embed),
            qUtf8Printable(profile), qUtf8Printable(name)));
    }
}

bool VariableCreation::ReadExistingVariable(quint32 hGroup, const QString &VarName, bool &HasSyb,
                                            QStringList &Existing)
{
    HasSyb = false;
    Existing.clear();
    bool known = false;
    const KnownVariable *var = knownVariable(hGroup, VarName, known);
    VariableState state;
    if (known) {
        if (!var)
            return false;
        state = {nativeText(packedText(var->texts, kName)),
                 nativeText(packedText(var->texts, kType)),
                 var->dim,
                 var->length,
                 var->flags,
                 nativeText(packedText(var->texts, kInit)),
                 QString(),
                 QString(),
                 nativeText(packedText(var->texts, kProfile)),
                 nativeText(packedText(var->texts, kEmbed))};
        TK5DB::CheckCommentLength(packedText(var->texts, kTag).size());
        state.tag = nativeText(packedText(var->texts, kTag));
        TK5DB::CheckCommentLength(packedText(var->texts, kDescription).size());
        state.description = nativeText(packedText(var->texts, kDescription));
    } else {
        const quint32 hVar = c.db.FindVarInGroup(hGroup, VarName);
        if (hVar == 0)
            return false;
        state = readVariable(hGroup, hVar);
    }
    state.embed.replace(u'\t', u' ');
    HasSyb = state.embed.contains(kSyb);
    bool generatorMade = false;
    QString &desc = state.description;
    if (const qsizetype at = desc.indexOf(kGeneratorMarker); at >= 0) {
        desc = withoutTrailingBlanks(desc.remove(at, kGeneratorMarker.size()));
        generatorMade = true;
    }
    Existing = splitCommaText(FormatVariableLine(state.name, state.type, numberOrEmpty(state.dim),
                                                 attributeText(state.flags), QString(), state.init,
                                                 state.tag, desc, state.profile, state.embed,
                                                 numberOrEmpty(state.length), QString()));
    return generatorMade;
}

// One variable read call by call, in the order the calls have always been made.
VariableCreation::VariableState VariableCreation::readVariable(quint32 hGroup, quint32 hVar)
{
    VariableState v;
    quint32 hType = 0;
    v.name = c.db.GetVarDesc(hGroup, hVar, hType, v.dim, v.length, v.flags);
    v.type = TK5DB::nativeText(c.db.K5DB_GetTypeDesc(c.db.hClient, c.db.hProject, hType, nullptr));
    v.profile = TK5DB::nativeText(
        c.db.K5DB_GetProperty(c.db.hClient, c.db.hProject, hVar, K5DB_PROP_PROFILE));
    v.embed = TK5DB::nativeText(
        c.db.K5DB_GetProperty(c.db.hClient, c.db.hProject, hVar, K5DB_PROP_EMBED));
    v.init = TK5DB::nativeText(
        c.db.K5DB_GetVarInitValue(c.db.hClient, c.db.hProject, hGroup, hVar, nullptr));
    v.tag = c.db.GetComment(hVar, K5DB_COMMENT_TAG);
    v.description = c.db.GetComment(hVar, K5DB_COMMENT_DESC);
    return v;
}

void VariableCreation::DeleteGeneratedVariables(const QString &GroupName)
{
    const quint32 hGroup = c.db.FindGroup(GroupName);
    if (hGroup == 0) {
        c.log.LogError(QStringLiteral("Unable to open variable group ") + GroupName);
        return;
    }
    if (c.db.LockGroup(hGroup) != K5DB_OK) {
        c.log.LogError(
            QString::asprintf("Unable to lock variable group (%s), variables not created",
                              qUtf8Printable(GroupName)));
        return;
    }
    const auto unlock = qScopeGuard([&] { c.db.UnlockGroup(hGroup); });
    DeleteMarkedVariables(GroupName, hGroup);
}

// The group's variables with their descriptions and names, read before any is deleted; a
// name is read only when needed, unless the group came in one call.
struct VariableCreation::Described {
    QString description;
    quint32 hVar = 0;
    QString name;
};

std::vector<VariableCreation::Described> VariableCreation::describedVariables(quint32 hGroup)
{
    std::vector<Described> out;
    std::vector<K5DB_VARINFO> infos;
    if (c.db.GetGroupVarInfos(hGroup, infos)) {
        out.reserve(infos.size());
        for (const K5DB_VARINFO &info : infos) {
            TK5DB::CheckCommentLength(qsizetype(std::strlen(info.szDescription)));
            out.push_back(
                {TK5DB::nativeText(info.szDescription), info.hVar, TK5DB::nativeText(info.szName)});
        }
        return out;
    }
    TK5DB::HandleList variables;
    c.db.GetVarsDescriptions(hGroup, variables);
    for (const auto &variable : variables)
        out.push_back({variable.name, variable.value, QString()});
    return out;
}

bool VariableCreation::DeleteMarkedVariables(const QString &GroupName, quint32 hGroup)
{
    int count = 0;
    for (const Described &variable : describedVariables(hGroup)) {
        if (!variable.description.contains(kGeneratorMarker))
            continue;
        ++count;
        QString name = variable.name;
        if (name.isNull()) {
            quint32 hType = 0, dim = 0, length = 0, flags = 0;
            name = c.db.GetVarDesc(hGroup, variable.hVar, hType, dim, length, flags);
        }
        if (const quint32 r = c.db.DeleteVar(hGroup, variable.hVar); r != K5DB_OK) {
            c.log.LogLine(QStringLiteral("Error (") + QString::number(r) +
                          QStringLiteral(") while deleting variable (") + name +
                          QStringLiteral(")    (") + variable.description + u')');
        }
    }
    c.log.LogLine(QStringLiteral("Deleted variables ") + GroupName + u'(' + QString::number(count) +
                  u')');
    return true;
}
