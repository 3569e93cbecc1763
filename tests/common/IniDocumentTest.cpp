#include "common/IniDocument.h"

#include <gtest/gtest.h>

namespace {

TEST(IniDocument, UnchangedDocumentIsWrittenBackByteForByte)
{
    const QByteArray texts[] = {
        "",
        "[A]\r\nx=1\r\n",
        "; comment\n[A]\nx = 1\n\n[B]\ny=2",
        "junk line\r\n[A]\r\n  spaced key  =  v  \r\n#c\r\n",
        "[A]\rx=1\r",
    };
    for (const QByteArray &t : texts) {
        SCOPED_TRACE(t.toStdString());
        EXPECT_EQ(IniDocument::parse(t).toBytes(), t);
    }
}

TEST(IniDocument, ValuesAreFoundWithoutRegardToCase)
{
    const IniDocument doc = IniDocument::parse("[Compiler]\r\nDebugGen = 1\r\n[Other]\r\nX=\r\n");
    EXPECT_EQ(doc.value("COMPILER", "debuggen"), QByteArray("1"));
    EXPECT_EQ(doc.value("other", "x"), QByteArray(""));
    EXPECT_EQ(doc.value("Compiler", "X"), std::nullopt);
    EXPECT_EQ(doc.value("Missing", "X"), std::nullopt);
    EXPECT_EQ(doc.sections(), (QByteArrayList{"Compiler", "Other"}));
    EXPECT_EQ(doc.keys("compiler"), (QByteArrayList{"DebugGen"}));
}

TEST(IniDocument, ChangedKeyIsReplacedWhereItStands)
{
    IniDocument doc = IniDocument::parse("; keep\r\n[A]\r\nfirst=1\r\nKey = old\r\nlast=3\r\n");
    doc.setValue("a", "KEY", "new");
    EXPECT_EQ(doc.toBytes(), QByteArray("; keep\r\n[A]\r\nfirst=1\r\nKey =new\r\nlast=3\r\n"));
}

TEST(IniDocument, NewKeyGoesToTheEndOfItsSectionBeforeBlankLines)
{
    IniDocument doc = IniDocument::parse("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    doc.setValue("A", "z", "9");
    doc.setValue("B", "w", "8");
    EXPECT_EQ(doc.toBytes(), QByteArray("[A]\r\nx=1\r\nz=9\r\n\r\n[B]\r\ny=2\r\nw=8\r\n"));
}

TEST(IniDocument, NewSectionIsAppendedWithTheDocumentsLineEnds)
{
    IniDocument doc = IniDocument::parse("[A]\nx=1");
    doc.setValue("New", "k", "v");
    EXPECT_EQ(doc.toBytes(), QByteArray("[A]\nx=1\n[New]\nk=v\n"));
    IniDocument empty = IniDocument::parse("");
    empty.setValue("S", "k", "v");
    EXPECT_EQ(empty.toBytes(), QByteArray("[S]\r\nk=v\r\n"));
}

TEST(IniDocument, KeysBeforeAnySectionFormTheUnnamedSection)
{
    IniDocument doc = IniDocument::parse("top=1\r\n[A]\r\nx=1\r\n");
    EXPECT_EQ(doc.value("", "TOP"), QByteArray("1"));
    doc.setValue("", "second", "2");
    EXPECT_EQ(doc.toBytes(), QByteArray("top=1\r\nsecond=2\r\n[A]\r\nx=1\r\n"));
    EXPECT_TRUE(doc.removeKey("", "top"));
    EXPECT_FALSE(doc.removeKey("", "top"));
}

} // namespace
