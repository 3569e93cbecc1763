#include "workbook/XlsxReader.h"

#include "common/Failure.h"
#include "workbook/XlsxPackage.h"
#include "workbook/XlsxSheetReader.h"
#include "workbook/XlsxStyles.h"
#include "workbook/XlsxText.h"
#include "workbook/ZipArchive.h"

#include <cstring>
#include <optional>

namespace {

const QString kDefaultWorkbookPart = QStringLiteral("xl/workbook.xml");

// The spreadsheet allows no more shared strings than fit a cell index; a table beyond this
// is damaged, and the part size bounds it long before in practice.
constexpr std::size_t kMaxSharedStrings = std::size_t(1) << 31;

// Shared strings: only whitespace that is the whole text of an element matters (a <t> holding
// a blank); the blanks between elements are left out. The text of a leaf element is kept in
// the element itself: a node less per string.
constexpr unsigned kStringPartFlags = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol |
                                      pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

struct SheetEntry {
    QString name;
    QString part; // empty when the workbook names no part for it
    bool worksheet = true;
    std::unique_ptr<SheetData> data; // loaded on first use
};

QString officeDocumentPart(const ZipArchive &zip)
{
    for (const xlsx::Relationship &r : xlsx::readRelationships(zip, QString())) {
        if (xlsx::hasType(r, "officeDocument") && !r.target.isEmpty())
            return r.target;
    }
    return kDefaultWorkbookPart;
}

bool isTrue(const char *value)
{
    return std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0;
}

} // namespace

struct XlsxWorkbook::Parts {
    explicit Parts(const QString &path) : zip(path) {}

    ZipArchive zip;
    std::vector<SheetEntry> sheets;
    bool date1904 = false;
    xlsx::CellStyles styles;
    QString sharedStringsPart;
    std::shared_ptr<const SheetData::StringPool> sharedStrings; // loaded with the first sheet

    void readWorkbook();
    void readStyles(const QString &part);
    std::shared_ptr<const SheetData::StringPool> loadSharedStrings();
    SheetEntry &entry(int index);
};

void XlsxWorkbook::Parts::readWorkbook()
{
    const QString workbookPart = officeDocumentPart(zip);
    if (!zip.contains(workbookPart))
        throw Failure(zip.path() + QStringLiteral(": not a workbook (the package has no part ") +
                      workbookPart + u')');
    const xlsx::XmlPart workbook(zip, workbookPart);
    const pugi::xml_node root = workbook.root();
    if (std::strcmp(xlsx::localName(root.name()), "workbook") != 0)
        throw Failure(zip.path() + QStringLiteral(": part ") + workbookPart +
                      QStringLiteral(" is no workbook"));
    date1904 = isTrue(xlsx::childNamed(root, "workbookPr").attribute("date1904").value());

    const std::vector<xlsx::Relationship> relationships =
        xlsx::readRelationships(zip, workbookPart);
    const auto related = [&](const QString &id) -> const xlsx::Relationship * {
        for (const xlsx::Relationship &r : relationships) {
            if (r.id == id)
                return &r;
        }
        return nullptr;
    };
    for (const pugi::xml_node sheet : xlsx::childNamed(root, "sheets").children()) {
        if (std::strcmp(xlsx::localName(sheet.name()), "sheet") != 0)
            continue;
        SheetEntry entry;
        entry.name = QString::fromUtf8(sheet.attribute("name").value());
        // The relationship id is r:id, whatever prefix the file gives its namespace.
        for (const pugi::xml_attribute a : sheet.attributes()) {
            const char *name = a.name();
            if (xlsx::localName(name) != name && std::strcmp(xlsx::localName(name), "id") == 0) {
                if (const xlsx::Relationship *r = related(QString::fromUtf8(a.value()))) {
                    entry.part = r->target;
                    entry.worksheet = xlsx::hasType(*r, "worksheet");
                }
            }
        }
        sheets.push_back(std::move(entry));
    }
    QString stylesPart;
    for (const xlsx::Relationship &r : relationships) {
        if (xlsx::hasType(r, "styles"))
            stylesPart = r.target;
        else if (xlsx::hasType(r, "sharedStrings"))
            sharedStringsPart = r.target;
    }
    readStyles(stylesPart);
}

void XlsxWorkbook::Parts::readStyles(const QString &part)
{
    // A workbook without styles formats no cell as a date.
    if (part.isEmpty() || !zip.contains(part))
        return;
    const xlsx::XmlPart styleSheet(zip, part);
    styles = xlsx::CellStyles(styleSheet.root());
}

std::shared_ptr<const SheetData::StringPool> XlsxWorkbook::Parts::loadSharedStrings()
{
    if (sharedStrings)
        return sharedStrings;
    auto pool = std::make_shared<SheetData::StringPool>();
    if (!sharedStringsPart.isEmpty() && zip.contains(sharedStringsPart)) {
        const xlsx::XmlPart table(zip, sharedStringsPart, kStringPartFlags);
        const pugi::xml_node root = table.root();
        pool->reserve(std::min<std::size_t>(root.attribute("uniqueCount").as_ullong(0), 1 << 20));
        for (const pugi::xml_node item : root.children()) {
            if (std::strcmp(xlsx::localName(item.name()), "si") != 0)
                continue;
            if (pool->size() >= kMaxSharedStrings)
                break;
            pool->push_back(xlsx::stringItemText(item));
        }
    }
    sharedStrings = std::move(pool);
    return sharedStrings;
}

SheetEntry &XlsxWorkbook::Parts::entry(int index)
{
    if (index < 0 || std::size_t(index) >= sheets.size())
        throw Failure(zip.path() + QStringLiteral(": there is no sheet %1").arg(index + 1));
    return sheets[std::size_t(index)];
}

XlsxWorkbook::XlsxWorkbook(const QString &path) : m_parts(std::make_unique<Parts>(path))
{
    m_parts->readWorkbook();
}

XlsxWorkbook::~XlsxWorkbook() = default;

int XlsxWorkbook::sheetCount() const
{
    return int(m_parts->sheets.size());
}

QString XlsxWorkbook::sheetName(int index) const
{
    return m_parts->entry(index).name;
}

bool XlsxWorkbook::isWorksheet(int index) const
{
    return m_parts->entry(index).worksheet;
}

void XlsxWorkbook::forgetSheets()
{
    for (SheetEntry &entry : m_parts->sheets)
        entry.data.reset();
    m_parts->sharedStrings.reset();
}

const SheetData &XlsxWorkbook::sheet(int index)
{
    SheetEntry &entry = m_parts->entry(index);
    if (entry.data)
        return *entry.data;
    const QString &path = m_parts->zip.path();
    if (!entry.worksheet)
        throw Failure(path + QStringLiteral(": sheet ") + entry.name +
                      QStringLiteral(" is no worksheet"));
    if (entry.part.isEmpty())
        throw Failure(path + QStringLiteral(": the workbook names no part for sheet ") +
                      entry.name);
    const auto emptySheet = [this] {
        auto data = std::make_unique<SheetData>();
        data->setSharedStrings(m_parts->loadSharedStrings());
        return data;
    };
    const QString where = path + QStringLiteral(": part ") + entry.part;
    std::unique_ptr<SheetData> data = emptySheet();
    ZipArchive::PartStream stream(m_parts->zip, entry.part);
    if (!xlsx::readWorksheetStream(stream, where, m_parts->styles, m_parts->date1904, *data)) {
        data = emptySheet();
        QByteArray bytes = m_parts->zip.read(entry.part);
        xlsx::readWorksheetPart(bytes, where, m_parts->styles, m_parts->date1904, *data);
    }
    entry.data = std::move(data);
    return *entry.data;
}

std::unique_ptr<WorkbookFile> openXlsxFile(const QString &path)
{
    return std::make_unique<XlsxWorkbook>(path);
}
