#include "workbook/OfficeWorkbooks.h"

#include "common/Failure.h"
#include "common/OutsideLibrary.h"
#include "workbook/CellAddress.h"
#include "workbook/SheetData.h"

#include <QLibrary>
#include <QProcess>
#include <QStandardPaths>
#include <unistd.h>

namespace {

const QString kModuleName = QStringLiteral("tessily_office");

class OfficeWorksheet final : public Worksheet {
public:
    explicit OfficeWorksheet(std::shared_ptr<OfficeSheet> sheet) : m_sheet(std::move(sheet)) {}

    QString Name() const override { return m_sheet->name(); }

    CellValue Cell(int row, int column) const override
    {
        if (row < 1 || row > kMaxSheetRows || column < 1 || column > kMaxSheetColumns)
            throw Failure(QStringLiteral("Cell (%1,%2) is beyond the sheet").arg(row).arg(column));
        return m_sheet->cells(row, column, 1, 1).front();
    }

    CellBlock Range(const QString &first, const QString &last) const override
    {
        const auto [top, left, rows, columns] = cellRange(first, last, QString());
        std::vector<CellValue> cells = m_sheet->cells(top, left, rows, columns);
        CellBlock block(rows, columns);
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= columns; ++c)
                block.at(r, c) =
                    std::move(cells[std::size_t(r - 1) * columns + std::size_t(c - 1)]);
        return block;
    }

private:
    std::shared_ptr<OfficeSheet> m_sheet;
};

} // namespace

std::unique_ptr<OfficeBridge> loadOfficeBridge(const OfficeBridgeOptions &options)
{
    static const std::unique_ptr<QLibrary> module = loadOutsideLibrary(kModuleName);
    if (!module)
        throw Failure(
            QStringLiteral("The LibreOffice bridge cannot be loaded: LibreOffice is not "
                           "installed (install the Debian package libreoffice-calc-nogui, "
                           "or libreoffice-calc for the window), or this Tessily was "
                           "built without its module libtessily_office.so"));
    const auto make =
        reinterpret_cast<OfficeBridgeFactory>(module->resolve(kOfficeBridgeFactoryName));
    if (!make)
        throw Failure(module->fileName() + QStringLiteral(": no LibreOffice bridge in it"));
    QString error;
    std::unique_ptr<OfficeBridge> bridge(make(&options, &error));
    if (!bridge)
        throw Failure(error);
    return bridge;
}

QString officePipeName()
{
    const QString chosen = qEnvironmentVariable("TESSILY_OFFICE_PIPE");
    return chosen.isEmpty() ? QStringLiteral("tessily-office-%1").arg(::getuid()) : chosen;
}

void startVisibleOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        throw Failure(QStringLiteral("LibreOffice is not installed: install the Debian package "
                                     "libreoffice-calc"));
    const QStringList arguments{QStringLiteral("--calc"), QStringLiteral("--norestore"),
                                QStringLiteral("--accept=pipe,name=") + officePipeName() +
                                    QStringLiteral(";urp;")};
    if (!QProcess::startDetached(soffice, arguments))
        throw Failure(QStringLiteral("LibreOffice did not start: ") + soffice);
}

OfficeBridgeOptions OfficeWorkbooks::defaultOptions()
{
    OfficeBridgeOptions options;
    options.pipeName = officePipeName();
    return options;
}

OfficeWorkbooks::OfficeWorkbooks(OfficeBridgeOptions options) : m_options(std::move(options)) {}
OfficeWorkbooks::~OfficeWorkbooks() = default;

OfficeBridge &OfficeWorkbooks::bridge() const
{
    if (!m_bridge)
        m_bridge = loadOfficeBridge(m_options);
    return *m_bridge;
}

void OfficeWorkbooks::Attach()
{
    bridge().attach();
}

void OfficeWorkbooks::Detach() {}

void OfficeWorkbooks::Activate(const QString &fileName)
{
    bridge().activate(fileName);
}

void OfficeWorkbooks::Open(const QString &path)
{
    bridge().open(path);
}

QString OfficeWorkbooks::ActiveWorkbookName() const
{
    return bridge().activeName();
}

QString OfficeWorkbooks::ActiveWorkbookPath() const
{
    return bridge().activeFolder();
}

std::shared_ptr<Worksheet> OfficeWorkbooks::Sheet(int n)
{
    return std::make_shared<OfficeWorksheet>(bridge().sheet(n));
}

QVariant OfficeWorkbooks::Run(const QString &macro)
{
    return bridge().run(macro, std::nullopt);
}

QVariant OfficeWorkbooks::Run(const QString &macro, const QString &argument)
{
    return bridge().run(macro, argument);
}
