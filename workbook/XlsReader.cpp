#include "workbook/XlsReader.h"

#include "common/Failure.h"
#include "workbook/XlsSheetReader.h"
#include "workbook/XlsStreamLoader.h"

XlsReader::XlsReader(const QString &path)
    : m_path(path), m_stream(loadWorkbookStream(path)), m_globals(readXlsGlobals(m_stream, path))
{
    m_sheets.resize(m_globals.sheets.size());
}

XlsReader::~XlsReader() = default;

int XlsReader::sheetCount() const
{
    return int(m_globals.sheets.size());
}

const XlsSheetEntry &XlsReader::entry(int index) const
{
    if (index < 0 || index >= sheetCount())
        throw Failure(m_path + QStringLiteral(": there is no sheet %1").arg(index + 1));
    return m_globals.sheets[std::size_t(index)];
}

QString XlsReader::sheetName(int index) const
{
    return entry(index).name;
}

bool XlsReader::isWorksheet(int index) const
{
    return entry(index).kind == XlsSheetKind::Worksheet;
}

void XlsReader::forgetSheets()
{
    for (std::unique_ptr<SheetData> &loaded : m_sheets)
        loaded.reset();
}

const SheetData &XlsReader::sheet(int index)
{
    const XlsSheetEntry &sheet = entry(index);
    if (sheet.kind != XlsSheetKind::Worksheet)
        throw Failure(m_path + QStringLiteral(": sheet %1 (").arg(index + 1) + sheet.name +
                      QStringLiteral(") is no worksheet"));
    std::unique_ptr<SheetData> &loaded = m_sheets[std::size_t(index)];
    if (!loaded)
        loaded = readXlsSheet(m_stream, m_globals, sheet, m_path);
    return *loaded;
}

std::unique_ptr<WorkbookFile> openXlsFile(const QString &path)
{
    return std::make_unique<XlsReader>(path);
}
