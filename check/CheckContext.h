#pragma once

#include "template/SignalSheetState.h"
#include "template/TemplateDiagnostics.h"
#include "template/TemplateModel.h"

#include <QDomElement>
#include <QSet>
#include <QString>
#include <functional>

// What the passes of the template check share: the document, the model the real parsers made
// of it, and where the findings go.
struct CheckContext {
    CheckContext(const QDomElement &body, TemplateDiagnostics &diagnostics)
        : body(body), diagnostics(diagnostics)
    {
    }

    QDomElement body; // the document element
    TemplateModel model;
    SignalSheetState sheet;
    TemplateDiagnostics &diagnostics;
    // Names of program children reported as misspelt words: not reported again as code
    // sections without a marker.
    QSet<QString> misspelt;

    void report(const QDomNode &at, const Finding &finding) { diagnostics.add(at, finding); }
    // Whether the code of some main program or function block holds %%name%%.
    bool hasMarker(const QString &name);

private:
    QString m_code; // all of that code, gathered on first use
    bool m_codeGathered = false;
};

// The programs of the Macros, MainCode or FunctionBlocks section.
void forEachProgram(const QDomElement &body, const QString &section,
                    const std::function<void(const QDomElement &program)> &visit);
// The element's text when it is its only content (plain or one CDATA section); else empty.
QString onlyText(const QDomElement &element);
bool isCodeElement(const QDomElement &element);
