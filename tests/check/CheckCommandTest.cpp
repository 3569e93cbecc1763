#include "app/CommandLine.h"
#include "common/ExitStatus.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

struct CheckRun {
    QTemporaryDir dir;
    QString out;
    QString err;

    QString write(const QString &name, const QByteArray &xml)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
        return f.fileName();
    }
    int run(const QStringList &arguments)
    {
        out.clear();
        err.clear();
        QTextStream o(&out);
        QTextStream e(&err);
        return runCommandLine(QStringList{"check"} + arguments, o, e);
    }
};

const QByteArray kWarningOnly = "<T><MainCode><Main><CODE>x := 1;</CODE></Main></MainCode>\n"
                                "<MainCdoe/></T>";
const QByteArray kError = "<T><MainCode><Main><CODE>x := %%Open;</CODE></Main></MainCode></T>";

} // namespace

TEST(CheckCommand, ExitStatusSaysWhetherThereIsAnError)
{
    CheckRun r;
    const QString clean =
        r.write("clean.xml", "<T><MainCode><Main><CODE>x;</CODE></Main></MainCode></T>");
    const QString warned = r.write("warned.xml", kWarningOnly);
    const QString broken = r.write("broken.xml", kError);
    const struct {
        QStringList arguments;
        int status;
    } cases[] = {
        {{clean}, 0},
        {{warned}, 0},
        {{broken}, 1},
        {{r.dir.filePath("missing.xml")}, 1},
        {{}, kUsageStatus},
        {{clean, clean, clean}, kUsageStatus},
        {{"--strict", clean}, kUsageStatus},
    };
    for (const auto &c : cases)
        EXPECT_EQ(r.run(c.arguments), c.status) << c.arguments.join(' ').toStdString();
}

TEST(CheckCommand, PrintsOneLinePerProblemSortedThenTheCounts)
{
    CheckRun r;
    const QString path = r.write("t.xml", "<T><MainCode><Main><CODE>x := %%Open;</CODE></Main>"
                                          "</MainCode>\n<MainCdoe/></T>");
    EXPECT_EQ(r.run({path}), 1);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    EXPECT_THAT(lines[0].toStdString(),
                ::testing::StartsWith(path.toStdString() + ":1:31: error:"));
    EXPECT_THAT(lines[1].toStdString(),
                ::testing::StartsWith(path.toStdString() + ":2:1: warning:"));
    EXPECT_EQ(lines[2], "1 error, 1 warning");
}

TEST(CheckCommand, JsonHoldsEachDiagnosticWithItsPlace)
{
    CheckRun r;
    const QString path = r.write("t.xml", kError);
    EXPECT_EQ(r.run({"--json", path}), 1);
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(root["errors"].toInt(), 1);
    EXPECT_EQ(root["warnings"].toInt(), 0);
    const QJsonObject d = root["diagnostics"].toArray().at(0).toObject();
    EXPECT_EQ(d["file"].toString(), path);
    EXPECT_EQ(d["line"].toInt(), 1);
    EXPECT_EQ(d["column"].toInt(), 31);
    EXPECT_EQ(d["severity"].toString(), "error");
    EXPECT_EQ(d["message"].toString(), R"("%%" without its closing "%%" on this line)");
}
