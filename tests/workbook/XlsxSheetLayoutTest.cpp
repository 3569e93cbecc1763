#include "workbook/XlsxSheetLayout.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
    const char *name;
    const char *part;
    bool sliced;
    const char *root;
    const char *dimension;
    const char *rows; // the content of sheetData
};

const LayoutCase kLayoutCases[] = {
    {"plain",
     R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="m"><dimension ref="A1:B2"/>)"
     R"(<sheetData><row r="1"/></sheetData></worksheet>)",
     true, "worksheet", "A1:B2", R"(<row r="1"/>)"},
    {"byte-order mark and prefixes",
     "\xEF\xBB\xBF<x:worksheet xmlns:x=\"m\"><x:dimension ref='C3'/><x:sheetData>"
     "<x:row><x:c/></x:row></x:sheetData><x:extLst/></x:worksheet>",
     true, "worksheet", "C3", "<x:row><x:c/></x:row>"},
    {"no rows", R"(<worksheet><sheetData/></worksheet>)", true, "worksheet", "", ""},
    {"attributes on sheetData",
     "<worksheet>\n<sheetData  a=\"1\">\n<row/>\n</sheetData>\n</worksheet>", true, "worksheet", "",
     "\n<row/>\n"},
    {"another root", R"(<chartsheet><sheetData></sheetData></chartsheet>)", true, "chartsheet", "",
     ""},
    {"a name that only begins alike",
     R"(<worksheet><sheetDataX/><sheetData><row/></sheetData></worksheet>)", true, "worksheet", "",
     "<row/>"},
    {"comment in the rows", R"(<worksheet><sheetData><!-- </row> --></sheetData></worksheet>)",
     false, "", "", ""},
    {"CDATA in the rows",
     R"(<worksheet><sheetData><row><c t="inlineStr"><is><t><![CDATA[</row>]]></t></is></c></row></sheetData></worksheet>)",
     false, "", "", ""},
    {"comment in the head", R"(<worksheet><!-- <sheetData> --><sheetData/></worksheet>)", false, "",
     "", ""},
    {"other encoding",
     R"(<?xml version="1.0" encoding="ISO-8859-1"?><worksheet><sheetData/></worksheet>)", false, "",
     "", ""},
    {"UTF-16", "\xFF\xFE<\0w\0", false, "", "", ""},
    {"no sheetData", R"(<worksheet><cols/></worksheet>)", false, "", "", ""},
    {"unclosed sheetData", R"(<worksheet><sheetData><row/>)", false, "", "", ""},
    {"empty", "", false, "", "", ""},
};

TEST(XlsxSheetLayout, FindsTheRowsWhereSlicingIsSafe)
{
    for (const LayoutCase &c : kLayoutCases) {
        SCOPED_TRACE(c.name);
        const QByteArray part(c.part);
        const auto layout = xlsx::findSheetLayout(part);
        ASSERT_EQ(layout.has_value(), c.sliced);
        if (!layout)
            continue;
        EXPECT_EQ(layout->rootName, c.root);
        EXPECT_EQ(layout->dimension, c.dimension);
        EXPECT_EQ(part.mid(layout->rowsBegin, layout->rowsEnd - layout->rowsBegin), c.rows);
    }
}

TEST(XlsxSheetLayout, SlicesEndAfterARowEndTagOnly)
{
    const QByteArray rows = R"(<row><c><v>1</v></c></row>)" // 0..26
                            R"(<x:row><c t="inlineStr"><is><t>arrow> x</t></is></c></x:row>)"
                            R"(<row r="9"/><row><c><v>2</v></c></row>)";
    const qsizetype end = rows.size();
    const qsizetype firstEnd = rows.indexOf("</row>") + 6;
    const qsizetype secondEnd = rows.indexOf("</x:row>") + 8;
    EXPECT_EQ(xlsx::nextSliceEnd(rows, 0, 1, end), firstEnd);
    // "arrow>" in a text is no row end; a self-closed row is passed over.
    EXPECT_EQ(xlsx::nextSliceEnd(rows, firstEnd, 1, end), secondEnd);
    EXPECT_EQ(xlsx::nextSliceEnd(rows, secondEnd, 1, end), end);
    EXPECT_EQ(xlsx::nextSliceEnd(rows, 0, end, end), end);
    EXPECT_EQ(xlsx::nextSliceEnd(rows, 0, 1, firstEnd - 1), firstEnd - 1);
}

} // namespace
