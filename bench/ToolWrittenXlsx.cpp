#include "ToolWrittenXlsx.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <zip.h>

namespace {

QByteArray columnName(int column) // from 1
{
    QByteArray name;
    for (; column > 0; column = (column - 1) / 26)
        name.prepend(char('A' + (column - 1) % 26));
    return name;
}

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray numberText(const QVariant &value)
{
    return QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
}

bool isText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString;
}

// Styles 1 and 2 of the styles part: a bold font for texts and empty cells, two decimals
// for numbers (no date format: the values stay numbers).
const char *const kStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font>)"
    R"(<font><b/><sz val="11"/><name val="Calibri"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill>)"
    R"(<fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>)"
    R"(<xf numFmtId="2" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>)"
    R"(</cellXfs></styleSheet>)";

class SheetWriter {
public:
    SheetWriter(ToolForm form, QHash<QString, int> &shared, QList<QString> &sharedOrder)
        : m_form(form), m_shared(shared), m_sharedOrder(sharedOrder)
    {
    }

    QByteArray write(const ToolSheet &sheet) const
    {
        int columns = 1;
        for (const auto &row : sheet.rows)
            columns = std::max(columns, int(row.size()));
        const int styledColumns =
            m_form == ToolForm::SharedStringsAndStyles ? columns + 3 : columns;
        QByteArray xml =
            R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
            R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            "<dimension ref=\"A1:" +
            columnName(styledColumns) + QByteArray::number(sheet.rows.size()) +
            "\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
            "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData>";
        for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
            const QByteArray rowNumber = QByteArray::number(qulonglong(r + 1));
            xml += "<row r=\"" + rowNumber + "\">";
            const auto &row = sheet.rows[r];
            const int lastColumn =
                m_form == ToolForm::SharedStringsAndStyles ? styledColumns : int(row.size());
            for (int c = 0; c < lastColumn; ++c)
                xml += cell(columnName(c + 1) + rowNumber,
                            c < int(row.size()) ? row[std::size_t(c)] : QVariant());
            xml += "</row>";
        }
        xml += "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
               "header=\"0.3\" footer=\"0.3\"/></worksheet>";
        return xml;
    }

private:
    QByteArray cell(const QByteArray &ref, const QVariant &value) const
    {
        const bool styled = m_form == ToolForm::SharedStringsAndStyles;
        if (!value.isValid())
            return styled ? "<c r=\"" + ref + "\" s=\"1\"/>" : QByteArray();
        if (isText(value)) {
            if (!styled)
                return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + escaped(value.toString()) +
                       "</t></is></c>";
            return "<c r=\"" + ref + "\" s=\"1\" t=\"s\"><v>" +
                   QByteArray::number(sharedIndex(value.toString())) + "</v></c>";
        }
        return "<c r=\"" + ref + (styled ? "\" s=\"2\"><v>" : "\" t=\"n\"><v>") +
               numberText(value) + "</v></c>";
    }

    int sharedIndex(const QString &text) const
    {
        const auto found = m_shared.constFind(text);
        if (found != m_shared.constEnd())
            return found.value();
        m_sharedOrder.append(text);
        return m_shared.insert(text, int(m_sharedOrder.size() - 1)).value();
    }

    ToolForm m_form;
    QHash<QString, int> &m_shared;
    QList<QString> &m_sharedOrder;
};

QByteArray sharedStringsPart(const QList<QString> &texts, qsizetype references)
{
    QByteArray xml =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count=")" +
        QByteArray::number(references) + "\" uniqueCount=\"" + QByteArray::number(texts.size()) +
        "\">";
    for (const QString &t : texts)
        xml += "<si><t>" + escaped(t) + "</t></si>";
    return xml + "</sst>";
}

struct Part {
    QByteArray name;
    QByteArray bytes;
};

std::vector<Part> packageParts(const std::vector<ToolSheet> &sheets, ToolForm form)
{
    const bool shared = form == ToolForm::SharedStringsAndStyles;
    QHash<QString, int> index;
    QList<QString> order;
    SheetWriter writer(form, index, order);
    std::vector<Part> parts;
    QByteArray types =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
        R"(<Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)";
    QByteArray book =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
        R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)";
    QByteArray rels =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    const QByteArray relType =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    qsizetype references = 0;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(qulonglong(i + 1));
        parts.push_back({"xl/worksheets/sheet" + n + ".xml", writer.write(sheets[i])});
        types += "<Override PartName=\"/xl/worksheets/sheet" + n +
                 ".xml\" "
                 "ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        book += "<sheet name=\"" + escaped(sheets[i].name) + "\" sheetId=\"" + n + "\" r:id=\"rId" +
                n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + relType +
                "worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        for (const auto &row : sheets[i].rows)
            for (const QVariant &v : row)
                references += isText(v) ? 1 : 0;
    }
    rels += "<Relationship Id=\"rIdS\" Type=\"" + relType + "styles\" Target=\"styles.xml\"/>";
    parts.push_back({"xl/styles.xml", kStyles});
    if (shared) {
        rels += "<Relationship Id=\"rIdT\" Type=\"" + relType +
                "sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts.push_back({"xl/sharedStrings.xml", sharedStringsPart(order, references)});
    }
    parts.push_back({"[Content_Types].xml", types + "</Types>"});
    parts.push_back({"xl/workbook.xml", book + "</sheets></workbook>"});
    parts.push_back({"xl/_rels/workbook.xml.rels", rels + "</Relationships>"});
    parts.push_back(
        {"_rels/.rels",
         R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         "<Relationship Id=\"rId1\" Type=\"" +
             relType + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    return parts;
}

} // namespace

void writeToolXlsx(const QString &path, const std::vector<ToolSheet> &sheets, ToolForm form)
{
    const std::vector<Part> parts = packageParts(sheets, form);
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        qFatal("cannot create %s", qPrintable(path));
    for (const Part &part : parts) {
        zip_source_t *source =
            zip_source_buffer(zip, part.bytes.constData(), zip_uint64_t(part.bytes.size()), 0);
        if (!source || zip_file_add(zip, part.name.constData(), source, ZIP_FL_ENC_UTF_8) < 0)
            qFatal("cannot add %s to %s", part.name.constData(), qPrintable(path));
    }
    // The buffers are read when the archive is closed, while `parts` still holds them.
    if (zip_close(zip) != 0)
        qFatal("cannot write %s", qPrintable(path));
}
