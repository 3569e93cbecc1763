#include "project/VariableCreation.h"

#include "common/CommaText.h"
#include "common/LenientInt.h"
#include "common/RunLog.h"
#include "common/TextTrim.h"
#include "project/ProjectContext.h"
#include "project/TK5DB.h"
#include "project/VariableRules.h"
#include "template/TemplateModel.h"
#include "template/VariableDeclaration.h"
#include "workbook/GeneratorOptions.h"

#include <QScopeGuard>

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
    const auto unlock = qScopeGuard([&] { c.db.UnlockGroup(hGroup); });
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        LineWork work;
        work.group = GroupName;
        work.hGroup = hGroup;
        work.markerFlag = MarkerFlag;
        work.index = int(i);
        work.fields = splitCommaText(Lines[i]);
        processLine(work);
    }
    return true;
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
    work.hVar = c.db.FindVarInGroup(work.hGroup, f[0]);
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
    const quint32 hVar = c.db.FindVarInGroup(hGroup, VarName);
    if (hVar == 0)
        return false;
    quint32 hType = 0, dim = 0, length = 0, flags = 0;
    const QString name = c.db.GetVarDesc(hGroup, hVar, hType, dim, length, flags);
    const QString typeName =
        TK5DB::nativeText(c.db.K5DB_GetTypeDesc(c.db.hClient, c.db.hProject, hType, nullptr));
    const QString profile = TK5DB::nativeText(
        c.db.K5DB_GetProperty(c.db.hClient, c.db.hProject, hVar, K5DB_PROP_PROFILE));
    QString embed = TK5DB::nativeText(
        c.db.K5DB_GetProperty(c.db.hClient, c.db.hProject, hVar, K5DB_PROP_EMBED));
    embed.replace(u'\t', u' ');
    const QString init = TK5DB::nativeText(
        c.db.K5DB_GetVarInitValue(c.db.hClient, c.db.hProject, hGroup, hVar, nullptr));
    HasSyb = embed.contains(kSyb);
    const QString tag = c.db.GetComment(hVar, K5DB_COMMENT_TAG);
    QString desc = c.db.GetComment(hVar, K5DB_COMMENT_DESC);
    bool generatorMade = false;
    if (const qsizetype at = desc.indexOf(kGeneratorMarker); at >= 0) {
        desc = withoutTrailingBlanks(desc.remove(at, kGeneratorMarker.size()));
        generatorMade = true;
    }
    Existing = splitCommaText(FormatVariableLine(name, typeName, numberOrEmpty(dim),
                                                 attributeText(flags), QString(), init, tag, desc,
                                                 profile, embed, numberOrEmpty(length), QString()));
    return generatorMade;
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

bool VariableCreation::DeleteMarkedVariables(const QString &GroupName, quint32 hGroup)
{
    TK5DB::HandleList variables;
    c.db.GetVarsDescriptions(hGroup, variables);
    int count = 0;
    for (const auto &variable : variables) {
        if (!variable.name.contains(kGeneratorMarker))
            continue;
        ++count;
        quint32 hType = 0, dim = 0, length = 0, flags = 0;
        const QString name = c.db.GetVarDesc(hGroup, variable.value, hType, dim, length, flags);
        if (const quint32 r = c.db.DeleteVar(hGroup, variable.value); r != K5DB_OK) {
            c.log.LogLine(QStringLiteral("Error (") + QString::number(r) +
                          QStringLiteral(") while deleting variable (") + name +
                          QStringLiteral(")    (") + variable.name + u')');
        }
    }
    c.log.LogLine(QStringLiteral("Deleted variables ") + GroupName + u'(' + QString::number(count) +
                  u')');
    return true;
}
