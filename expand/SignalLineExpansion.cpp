#include "expand/SignalLineExpansion.h"

#include "common/CommaText.h"
#include "common/RunLog.h"
#include "common/TextTrim.h"
#include "expand/PlaceholderSubstitution.h"
#include "template/SignalSheetState.h"
#include "template/TCodeTab.h"
#include "template/TSignalTypeTab.h"
#include "template/TemplateModel.h"
#include "template/TextLines.h"
#include "template/XmlText.h"

SignalLineExpansion::SignalLineExpansion(TemplateModel &model, SignalSheetState &sheet,
                                         PlaceholderSubstitution &substitution,
                                         TemplateInfoTable &templatesCreated,
                                         TTemplateCodeInsert &templateCodeInsert, TemplateOps ops,
                                         RunLog &log)
    : m_model(model), m_sheet(sheet), m_substitution(substitution),
      m_templatesCreated(templatesCreated), m_insert(templateCodeInsert), m_ops(std::move(ops)),
      m_log(log)
{
}

TTemplateInfo &SignalLineExpansion::GetTemplateInfo(const QString &key, const QString &option)
{
    if (auto *found = m_templatesCreated.find(key))
        return **found;
    auto info = std::make_unique<TTemplateInfo>();
    info->OptionStr = option;
    TTemplateInfo &ref = *info;
    m_templatesCreated.add(key, std::move(info));
    return ref;
}

void SignalLineExpansion::ExpandSignalLines(const TCodeTab &mainTemplate, TCodeTab &genTab)
{
    const int typeCell = m_sheet.SignalTypeColon;
    const int disableCell = m_sheet.RowDisableColon;
    for (int row = std::max(0, m_sheet.SignalTypeRow); row < m_sheet.lines.size(); ++row) {
        const QString &line = m_sheet.lines[row];
        m_inputLine = splitCommaText(line);
        // The user-input reader splits the same line at commas only; where both readings
        // agree it is handed these cells rather than splitting the line once more.
        if (commaReadingsAgree(line))
            m_sheet.VarFromExcel = {row, line, m_inputLine};
        const QString type =
            typeCell >= 0 && typeCell < m_inputLine.size() ? m_inputLine[typeCell] : QString();
        if (type.toUpper() == u"END")
            break;
        if (trimText(type).isEmpty())
            continue;
        if (disableCell >= 0 && disableCell < m_inputLine.size() &&
            !trimText(m_inputLine[disableCell]).isEmpty())
            continue;
        TSignalTypeTab *const *signalType = m_model.SignTypes.find(type);
        if (!signalType) {
            m_log.LogError(QStringLiteral("Signal Type not defined in XML: ") + type);
            continue;
        }
        expandLine(row, **signalType, mainTemplate, genTab);
    }
}

QString TTemplateInfo::NextChar() const
{
    QString letters;
    // Bijective base 26: block n is the (n+1)th column's letters.
    for (qint64 n = qint64(CurrentFileNo) + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + int((n - 1) % 26)));
    return letters;
}

bool SignalLineExpansion::variantApplies(int row, const TSignalTypeSubTab &variant,
                                         const TCodeTab &mainTemplate)
{
    if (variant.MainIncludeOption.isEmpty())
        return true;
    if (!mainTemplate.MainIncludeOptions.contains(variant.MainIncludeOption))
        return false;
    for (const TIncludeOption &condition : variant.SignTypIncludeOpt) {
        if (condition.Option.isEmpty())
            continue;
        QString test =
            condition.OptVar + QStringLiteral("=%%") + condition.OptVar + QStringLiteral("%%");
        m_substitution.ReplaceUserVariables(row, test, m_model.SignUserVar);
        if (test != condition.Option)
            return false;
    }
    return true;
}

TCodeTab *SignalLineExpansion::blockSection(int row, const TSignalTypeSubTab &variant,
                                            TTemplateInfo *&info, TCodeTab &genTab)
{
    QString option = variant.Option;
    m_substitution.ReplaceUserVariables(row, option, m_model.SignUserVar);
    info = &GetTemplateInfo(option + u'.' + variant.name, option);
    const QString block = info->NextChar() + option;
    TCodeTab *target = m_ops.GetCodeSection(block + u'.' + variant.name);
    if (info->TemplateCreated)
        return target;
    if (!m_model.FuncBlocks.contains(block)) {
        m_insert = {row, &m_inputLine, block, &m_model.SignUserVar};
        const QString created = m_ops.CreateFunctionBlockFromTemplate(
            variant.Template, block, variant.name,
            [this](TCodeTab &section, const QDomElement &element) {
                InsertTemplateCode(section, element);
            });
        genTab.IncludeFB.append(created);
        m_insert.clear();
        if (TCodeTab *const *made = m_model.FuncBlocks.find(block)) {
            target->StratonInfo = (*made)->StratonInfo;
            info->MaxIO = (*made)->StratonInfo.MaxIO;
        }
    }
    info->TemplateCreated = true;
    return target;
}

void SignalLineExpansion::expandLine(int row, const TSignalTypeTab &type,
                                     const TCodeTab &mainTemplate, TCodeTab &genTab)
{
    for (const auto &variant : type.PC) {
        if (!variantApplies(row, *variant, mainTemplate))
            continue;
        TTemplateInfo *info = nullptr;
        TCodeTab *target = variant->Option.isEmpty() ? m_ops.GetCodeSection(variant->name)
                                                     : blockSection(row, *variant, info, genTab);
        m_substitution.ExpandTemplateLines(row, m_inputLine, variant->reCode, target->reCode,
                                           m_model.SignUserVar, m_model.SignVariables);
        if (info && ++info->CurrIO >= info->MaxIO) {
            info->CurrIO = 0;
            info->TemplateCreated = false;
            ++info->CurrentFileNo;
        }
    }
    m_substitution.ExpandTemplateLines(row, m_inputLine, type.reGloVar, genTab.reGloVar,
                                       m_model.SignUserVar, m_model.SignVariables);
    m_substitution.ExpandTemplateLines(row, m_inputLine, type.reRetainVar, genTab.reRetainVar,
                                       m_model.SignUserVar, m_model.SignVariables);
    m_substitution.ExpandTemplateLines(row, m_inputLine, type.reLocVar, genTab.reLocVar,
                                       m_model.SignUserVar, m_model.SignVariables);
    genTab.IncludeFB.append(type.IncludeFB);
}

void SignalLineExpansion::InsertTemplateCode(TCodeTab &target, const QDomElement &element)
{
    QStringList code;
    if (const auto text = elementText(element))
        appendTextLines(code, *text);
    const bool addOption = !m_insert.OptionStr.isEmpty();
    if (addOption)
        m_model.SignUserVar.add(
            QStringLiteral("option"),
            UserInputEntry{QStringLiteral("-1,-1,-1,") + m_insert.OptionStr, nullptr});
    const QStringList noCells;
    m_substitution.ExpandTemplateLines(m_insert.Ln,
                                       m_insert.InputLine ? *m_insert.InputLine : noCells, code,
                                       target.reCode, m_model.SignUserVar, m_model.SignVariables);
    if (addOption)
        m_model.SignUserVar.removeAt(m_model.SignUserVar.size() - 1);
}
