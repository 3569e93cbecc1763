#include "workbook/OdsReader.h"

#include "common/Failure.h"
#include "workbook/OdsCellText.h"
#include "workbook/OdsMessages.h"
#include "workbook/OdsNames.h"
#include "workbook/OdsTableReader.h"
#include "workbook/XmlWalk.h"
#include "workbook/ZipArchive.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The manifest lists the parts: a few kilobytes, even for a workbook with many pictures.
constexpr qint64 kMaxManifestBytes = 1024 * 1024;

class OdsWorkbook final : public WorkbookFile {
public:
    void addSheet(QString name, SheetData data)
    {
        m_names.push_back(std::move(name));
        m_sheets.push_back(std::move(data));
    }

    int sheetCount() const override { return int(m_sheets.size()); }
    QString sheetName(int index) const override { return m_names.at(std::size_t(index)); }
    bool isWorksheet(int) const override { return true; } // charts are objects in a sheet
    const SheetData &sheet(int index) override { return m_sheets.at(std::size_t(index)); }

private:
    std::vector<QString> m_names;
    std::vector<SheetData> m_sheets;
};

void refuseOtherDocuments(const ZipArchive &zip)
{
    if (!zip.contains(QStringLiteral("mimetype")))
        return; // optional in a package; content.xml tells what it holds
    const QByteArray type = zip.read(QStringLiteral("mimetype"), 4096).trimmed();
    // Also takes the template variant, "...spreadsheet-template".
    if (!type.startsWith("application/vnd.oasis.opendocument.spreadsheet"))
        throw Failure(OdsMessages::notSpreadsheet(zip.path(), QString::fromUtf8(type)));
}

bool endsWith(const char *name, const char *suffix)
{
    const std::size_t n = std::strlen(name);
    const std::size_t k = std::strlen(suffix);
    return n >= k && std::strcmp(name + n - k, suffix) == 0;
}

// An encrypted package keeps its manifest readable and lists the encryption of each part;
// the parts themselves are then no XML.
void refuseEncrypted(const ZipArchive &zip)
{
    const QString manifestName = QStringLiteral("META-INF/manifest.xml");
    if (!zip.contains(manifestName))
        return;
    QByteArray manifest = zip.read(manifestName, kMaxManifestBytes);
    pugi::xml_document doc;
    if (!doc.load_buffer_inplace(manifest.data(), std::size_t(manifest.size())))
        return; // a damaged manifest hides nothing that content.xml would not show
    bool encrypted = false;
    walkDescendants(doc, [&](const pugi::xml_node &node) {
        const char *name = node.name();
        encrypted = encrypted || std::strcmp(name, "encryption-data") == 0 ||
                    endsWith(name, ":encryption-data");
        return !encrypted && node.type() == pugi::node_element;
    });
    if (encrypted)
        throw Failure(OdsMessages::encrypted(zip.path()));
}

// What parsing `xml` would take at most: an element per '<' and an attribute per '='.
std::int64_t parsedSizeBound(const QByteArray &xml)
{
    const std::int64_t elements = std::count(xml.cbegin(), xml.cend(), '<');
    const std::int64_t attributes = std::count(xml.cbegin(), xml.cend(), '=');
    return elements * 64 + attributes * 40;
}

// Parses content.xml into `doc`, which keeps its strings in `buffer`.
void parseContent(const ZipArchive &zip, const OdsLimits &limits, QByteArray &buffer,
                  pugi::xml_document &doc)
{
    const QString contentName = QStringLiteral("content.xml");
    if (!zip.contains(contentName))
        throw Failure(OdsMessages::contentMissing(zip.path()));
    buffer = zip.read(contentName);
    if (parsedSizeBound(buffer) > limits.maxXmlBytes)
        throw Failure(OdsMessages::tooMuchMarkup(zip.path(), limits.maxXmlBytes));
    // White space between the spans of a paragraph is text; parse_ws_pcdata keeps it. Most
    // paragraphs hold nothing but their text: parse_embed_pcdata keeps it as the paragraph's
    // value, which saves a node per cell (a sixth of the memory of a large sheet).
    const pugi::xml_parse_result parsed = doc.load_buffer_inplace(
        buffer.data(), std::size_t(buffer.size()),
        pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_embed_pcdata,
        pugi::encoding_utf8);
    if (!parsed)
        throw Failure(OdsMessages::contentMalformed(
            zip.path(), QString::fromUtf8(parsed.description()), std::int64_t(parsed.offset)));
}

std::unique_ptr<WorkbookFile> readSheets(const pugi::xml_document &doc, const OdsLimits &limits,
                                         const QString &path)
{
    const OdsNames names(doc.document_element());
    const pugi::xml_node spreadsheet =
        doc.document_element().child(names.body.c_str()).child(names.spreadsheet.c_str());
    if (!spreadsheet)
        throw Failure(OdsMessages::noSpreadsheet(path));

    std::int64_t cellBudget = limits.maxCells;
    std::int64_t spaceBudget = limits.maxSpaces;
    OdsCellText text(names, spaceBudget, limits.maxSpaces, path);
    OdsTableReader reader(names, text, cellBudget, limits.maxCells, path);
    auto workbook = std::make_unique<OdsWorkbook>();
    for (const pugi::xml_node &table : spreadsheet.children(names.table.c_str())) {
        if (workbook->sheetCount() == limits.maxSheets)
            throw Failure(OdsMessages::tooManySheets(path, limits.maxSheets));
        const QString name = QString::fromUtf8(table.attribute(names.name.c_str()).value());
        workbook->addSheet(name, reader.read(table, name));
    }
    if (workbook->sheetCount() == 0)
        throw Failure(OdsMessages::noSheet(path));
    return workbook;
}

} // namespace

std::unique_ptr<WorkbookFile> openOdsFile(const QString &path, const OdsLimits &limits)
{
    if (!QFileInfo::exists(path))
        throw Failure(OdsMessages::notFound(path));
    const ZipArchive zip(path);
    refuseOtherDocuments(zip);
    refuseEncrypted(zip);
    QByteArray content;
    pugi::xml_document doc;
    parseContent(zip, limits, content, doc);
    return readSheets(doc, limits, path);
}

std::unique_ptr<WorkbookFile> openOdsFile(const QString &path)
{
    return openOdsFile(path, OdsLimits());
}
