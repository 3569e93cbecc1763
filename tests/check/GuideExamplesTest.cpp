#include "check/TemplateCheck.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

// Every template example of the template language guide is checked as a template author
// would check it: clean, or with exactly the diagnostics the guide prints below it.

namespace {

struct Example {
    int line = 0; // where the example starts in the guide
    QByteArray xml;
    QStringList expected; // the diagnostics printed after it, without the count line
};

std::vector<Example> guideExamples(const QString &guide)
{
    static const QRegularExpression block(QStringLiteral("```(\\w*)\\n(.*?)```"),
                                          QRegularExpression::DotMatchesEverythingOption);
    std::vector<Example> examples;
    for (auto it = block.globalMatch(guide); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString kind = m.captured(1);
        const QString body = m.captured(2);
        const int line = int(guide.left(m.capturedStart()).count(u'\n')) + 1;
        if (kind == u"xml") {
            examples.push_back({line, body.toUtf8(), {}});
        } else if (kind == u"text" && !examples.empty() && body.startsWith(u"example.xml:") &&
                   guide.mid(m.capturedStart() - 2, 2) == u"\n\n") {
            // A text block of diagnostics right after an example belongs to it.
            const QString between = guide.mid(0, m.capturedStart());
            if (between.trimmed().endsWith(u"```"))
                examples.back().expected = body.split(u'\n', Qt::SkipEmptyParts);
        }
    }
    return examples;
}

} // namespace

TEST(GuideExamples, EachChecksAsTheGuideSays)
{
    QFile file(QStringLiteral(TESSILY_FIXTURES "/../../docs/templates.md"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString guide = QString::fromUtf8(file.readAll());
    const std::vector<Example> examples = guideExamples(guide);
    // Every xml block of the guide is an example the extraction found.
    ASSERT_EQ(qsizetype(examples.size()), guide.count(QStringLiteral("```xml")));
    for (const Example &e : examples) {
        QStringList found;
        for (const Diagnostic &d : CheckTemplateText(e.xml, QStringLiteral("example.xml")).sorted())
            found.append(d.text());
        EXPECT_EQ(found, e.expected) << "the example on line " << e.line << " of the guide";
    }
}
