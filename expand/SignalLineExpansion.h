#pragma once

#include "common/NamedList.h"
#include "template/TemplateCodeInsert.h"

#include <QDomElement>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>

class PlaceholderSubstitution;
class RunLog;
class TCodeTab;
class TSignalTypeSubTab;
class TSignalTypeTab;
struct SignalSheetState;
struct TemplateModel;

// The blocks made so far for one key (option value, '.', variant name): which letter is
// current and how many signal lines it holds.
struct TTemplateInfo {
    std::int32_t CurrentFileNo = 0; // block 0 has the letters A
    bool TemplateCreated = false;   // the current block has been created or found
    std::int32_t MaxIO = std::numeric_limits<std::int32_t>::max();
    std::int32_t CurrIO = 0;
    QString OptionStr;

    // The letters of the current block, as column letters run: "A" for block 0 to "Z" for
    // block 25, then "AA", "AB", ... so that every block name stays an identifier.
    QString NextChar() const;
};
using TemplateInfoTable = NamedList<std::unique_ptr<TTemplateInfo>>;

// Expands every signal line by its signal type into code sections, function blocks made
// from templates, and the variables and needed blocks of the generated main program.
class SignalLineExpansion {
public:
    // Called while a block is created, for each template-created element of its template.
    using TemplateCallback = std::function<void(TCodeTab &section, const QDomElement &element)>;
    // The template operations the expansion needs: find or create a code section by name,
    // and create a function block named `block` from the template named `templateName`,
    // returning the block's name (empty when the template could not be parsed).
    struct TemplateOps {
        std::function<TCodeTab *(const QString &name)> GetCodeSection;
        std::function<QString(const QString &templateName, const QString &block,
                              const QString &variant, const TemplateCallback &callback)>
            CreateFunctionBlockFromTemplate;
    };

    SignalLineExpansion(TemplateModel &model, SignalSheetState &sheet,
                        PlaceholderSubstitution &substitution, TemplateInfoTable &templatesCreated,
                        TTemplateCodeInsert &templateCodeInsert, TemplateOps ops, RunLog &log);

    void ExpandSignalLines(const TCodeTab &mainTemplate, TCodeTab &genTab);
    TTemplateInfo &GetTemplateInfo(const QString &key, const QString &option);
    void InsertTemplateCode(TCodeTab &target, const QDomElement &element);

private:
    void expandLine(int row, const TSignalTypeTab &type, const TCodeTab &mainTemplate,
                    TCodeTab &genTab);
    bool variantApplies(int row, const TSignalTypeSubTab &variant, const TCodeTab &mainTemplate);
    TCodeTab *blockSection(int row, const TSignalTypeSubTab &variant, TTemplateInfo *&info,
                           TCodeTab &genTab);

    TemplateModel &m_model;
    SignalSheetState &m_sheet;
    PlaceholderSubstitution &m_substitution;
    TemplateInfoTable &m_templatesCreated;
    TTemplateCodeInsert &m_insert;
    TemplateOps m_ops;
    RunLog &m_log;
    QStringList m_inputLine; // cells of the signal line being expanded
};
