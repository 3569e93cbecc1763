#include "template/TemplateDocument.h"
#include "common/Failure.h"
#include "support/QtPrinters.h"
#include "template/XmlText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kText = QStringLiteral("caf\u00e9 \u20ac5");

QByteArray declared(const char *encoding, const QByteArray &content)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\n" + content;
}

QString codeText(const QDomDocument &doc)
{
    return elementText(doc.documentElement().firstChildElement(QStringLiteral("CODE")))
        .value_or(QString());
}

TEST(TemplateDocument, ReadsTheEncodingsTemplatesAreWrittenIn)
{
    const QString xml = QStringLiteral("<T><CODE>") + kText + QStringLiteral("</CODE></T>");
    const QByteArray cp1252 = QByteArray("<T><CODE>caf\xe9 \x80"
                                         "5</CODE></T>");
    QStringEncoder utf16le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QStringEncoder utf16be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
    struct Case {
        const char *title;
        QByteArray bytes;
        QString expected;
    } const cases[] = {
        {"UTF-8 without declaration", xml.toUtf8(), kText},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" + declared("UTF-8", xml.toUtf8()), kText},
        {"UTF-16 little-endian",
         utf16le(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + xml), kText},
        {"UTF-16 big-endian", utf16be(xml), kText},
        {"Windows-1252", declared("windows-1252", cp1252), kText},
        {"Windows-1252, other spelling", declared("CP1252", cp1252), kText},
        {"ISO-8859-1", declared("ISO-8859-1", "<T><CODE>caf\xe9</CODE></T>"),
         QStringLiteral("caf\u00e9")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(codeText(ParseTemplateDocument(c.bytes, QStringLiteral("t.xml"))), c.expected);
    }
}

TEST(TemplateDocument, DropsBlankTextKeepsCommentsAndReadsCdataAsText)
{
    const QDomDocument doc = ParseTemplateDocument(
        "<T>\n  <A>  \n</A>\n  <!-- note -->\n  <CODE><![CDATA[ x < y ]]></CODE>\n</T>",
        QStringLiteral("t.xml"));
    const QDomElement root = doc.documentElement();
    ASSERT_EQ(root.childNodes().size(), 3);
    EXPECT_FALSE(root.firstChildElement(QStringLiteral("A")).hasChildNodes());
    EXPECT_EQ(root.childNodes().at(1).nodeName(), QStringLiteral("#comment"));
    EXPECT_EQ(codeText(doc), QStringLiteral(" x < y "));
}

QByteArray nested(int depth)
{
    QByteArray xml;
    xml.reserve(depth * 7);
    for (int i = 0; i < depth; ++i)
        xml += "<a>";
    for (int i = 0; i < depth; ++i)
        xml += "</a>";
    return xml;
}

TEST(TemplateDocument, RefusesDeepNestingBeforeTheSlowParse)
{
    EXPECT_NO_THROW(ParseTemplateDocument(nested(kMaxTemplateDepth), QStringLiteral("t.xml")));
    for (const int depth : {kMaxTemplateDepth + 1, 200'000}) {
        SCOPED_TRACE(depth);
        QElapsedTimer timer;
        timer.start();
        try {
            ParseTemplateDocument(nested(depth), QStringLiteral("deep.xml"));
            FAIL() << "accepted";
        } catch (const Failure &f) {
            EXPECT_EQ(f.message(),
                      QStringLiteral("deep.xml: elements nested deeper than 1000 levels (line 1)"));
        }
        EXPECT_LT(timer.elapsed(), 2000);
    }
}

TEST(TemplateDocument, EntityExpansionBombIsRefusedQuickly)
{
    QByteArray xml = "<?xml version=\"1.0\"?><!DOCTYPE T [<!ENTITY e0 \"lol\">";
    for (int i = 1; i < 12; ++i)
        xml += QStringLiteral("<!ENTITY e%1 \"%2\">")
                   .arg(i)
                   .arg(QStringLiteral("&e%1;").arg(i - 1).repeated(10))
                   .toUtf8();
    xml += "]><T><CODE>&e11;</CODE></T>";
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(ParseTemplateDocument(xml, QStringLiteral("bomb.xml")), Failure);
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(TemplateDocument, FailuresNameTheFileAndTheProblem)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.xml"));
    const QString broken = dir.filePath(QStringLiteral("broken.xml"));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<T>\n<A></B>\n</T>");
    }
    for (const QString &path : {missing, broken}) {
        SCOPED_TRACE(path.toStdString());
        try {
            LoadTemplateDocument(path);
            FAIL() << "accepted";
        } catch (const Failure &f) {
            EXPECT_TRUE(f.message().startsWith(path + QStringLiteral(": "))) << f.what();
        }
    }
    try {
        LoadTemplateDocument(broken);
    } catch (const Failure &f) {
        EXPECT_TRUE(f.message().endsWith(QStringLiteral("(line 2, column 7)"))) << f.what();
    }
}

TEST(ElementText, SingleTextNodeRule)
{
    const QDomDocument doc =
        ParseTemplateDocument("<T><a>x</a><b/><c>x<!--y-->z</c><d><e/></d><f><![CDATA[q]]></f></T>",
                              QStringLiteral("t.xml"));
    const QDomElement root = doc.documentElement();
    const auto child = [&](const char *n) {
        return root.firstChildElement(QString::fromLatin1(n));
    };
    EXPECT_EQ(elementText(child("a")), QStringLiteral("x"));
    EXPECT_EQ(elementText(child("b")), std::nullopt);
    EXPECT_EQ(elementText(child("f")), QStringLiteral("q"));
    for (const char *n : {"c", "d"}) {
        try {
            elementText(child(n));
            ADD_FAILURE() << n;
        } catch (const Failure &f) {
            EXPECT_EQ(f.message(),
                      QStringLiteral("Element \"%1\" does not contain a single text node")
                          .arg(QString::fromLatin1(n)));
        }
    }
}

} // namespace
