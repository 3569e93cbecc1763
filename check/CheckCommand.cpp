#include "check/CheckCommand.h"

#include "check/TemplateCheck.h"
#include "check/WorkbookCheck.h"
#include "check/WorkbookFindings.h"
#include "common/ExitStatus.h"
#include "common/Failure.h"
#include "template/SignalSheetState.h"
#include "template/TemplateDocument.h"
#include "template/TemplateModel.h"
#include "workbook/FileWorkbooks.h"

#include <QFile>
#include <QFileInfo>

namespace {

const char *const kCheckUsage = "usage: tessily check [--json] TEMPLATE [WORKBOOK]\n";

QByteArray readTemplate(const QString &path, DiagnosticList &list)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        list.add({path, 0, 0, QString(), Severity::Error, file.errorString()});
        return {};
    }
    if (file.size() > kMaxTemplateBytes) {
        list.add({path, 0, 0, QString(), Severity::Error,
                  QStringLiteral("the file is larger than %1 MB")
                      .arg(kMaxTemplateBytes / (1024 * 1024))});
        return {};
    }
    return file.readAll();
}

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

void checkWorkbook(const QString &workbookPath, const QString &templatePath,
                   const QByteArray &source, const TemplateModel &model,
                   const SignalSheetState &sheet, DiagnosticList &list)
{
    FileWorkbooks excel;
    try {
        excel.Open(workbookPath);
        QString b2;
        const QString named = templateNamedInB2(excel, workbookPath, &b2);
        const auto b2Finding = [&](const Finding &f) {
            list.add({workbookPath, 2, 2, excel.Sheet(1)->Name(), f.severity, f.message});
        };
        if (!QFileInfo(named).isFile())
            b2Finding(WorkbookFinding::templateMissing(b2, named));
        else if (!sameFile(named, templatePath))
            b2Finding(WorkbookFinding::otherTemplate(b2));
        const QDomDocument document = ParseTemplateDocument(source, templatePath);
        list.append(CheckWorkbookAgainstTemplate(
            excel, workbookPath,
            document.documentElement().firstChildElement(QStringLiteral("VersionInfo")), model,
            sheet));
    } catch (const Failure &e) {
        list.add({workbookPath, 0, 0, QString(), Severity::Error, e.message()});
    }
}

} // namespace

DiagnosticList CheckTemplateAndWorkbook(const QString &templatePath, const QString &workbookPath)
{
    DiagnosticList list;
    const QByteArray source = readTemplate(templatePath, list);
    if (list.hasErrors())
        return list;
    TemplateModel model;
    SignalSheetState sheet;
    bool readable = false;
    list.append(CheckTemplateText(source, templatePath, model, sheet, readable));
    // A template that cannot be read says nothing about the workbook.
    if (!workbookPath.isEmpty() && readable)
        checkWorkbook(workbookPath, templatePath, source, model, sheet, list);
    return list;
}

int runCheckCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QStringList files = arguments;
    const bool json = files.removeAll(QStringLiteral("--json")) > 0;
    if (files.isEmpty() || files.size() > 2 ||
        std::any_of(files.begin(), files.end(),
                    [](const QString &f) { return f.startsWith(u"--"); })) {
        err << kCheckUsage;
        return kUsageStatus;
    }
    const DiagnosticList list = CheckTemplateAndWorkbook(files[0], files.value(1));
    if (json) {
        out << QString::fromUtf8(list.json());
    } else {
        for (const Diagnostic &d : list.sorted())
            out << d.text() << '\n';
        out << list.summary() << '\n';
    }
    out.flush();
    return list.hasErrors() ? 1 : 0;
}
