#include "K5cmpFixture.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray sha256(const QString &path)
{
    return QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256);
}

// CRC-32 as zip computes it, written here again so the test does not trust the library's.
quint32 zipCrc(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char b : bytes) {
        crc ^= static_cast<unsigned char>(b);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace

using K5cmpBuild = K5cmpProject;

TEST_F(K5cmpBuild, ASoundProjectGivesTheApplicationWithProgramsInExecutionOrder)
{
    const uint32_t block = addProgram("Filter", "Out := In;\n", K5DB_SECTION_UDFB);
    declare("Filter", "In", "REAL", 0, K5DB_VAR_IN);
    declare("Filter", "Out", "REAL", 0, K5DB_VAR_OUT);
    const uint32_t child = addProgram("Scan", "Level := 1.5;\n", K5DB_SECTION_CHILD);
    K5DB_SetProgramOnCallFlag(client, project, child, 1);
    addProgram("Last", "Count := Count + 1;\n", K5DB_SECTION_END);
    const uint32_t main = addProgram("Main", "Scan();\nf(In := Level);\nLevel := f.Out;\n");
    K5DB_SetProgramSchedule(client, project, main, 10, 3);
    declare("Main", "f", "Filter");
    declare("(Global)", "Level", "REAL");
    const uint32_t count = declare("(Retain)", "Count", "DINT");
    K5DB_SetVarInitValue(client, project, group("(Retain)"), count, "5");
    const uint32_t label = declare("(Retain)", "Label", "STRING");
    K5DB_SetVarInitValue(client, project, group("(Retain)"), label, "say \"hi\"\r\n\\ \xE9");
    ASSERT_NE(block, 0u);

    const BuildRun run = build();
    EXPECT_THAT(run.messages, IsEmpty());
    EXPECT_EQ(run.result, 1);

    const QByteArray text = fileBytes(applicationFile());
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], "K5XTI 1");
    EXPECT_EQ(lines[1], "project \"Plant\"");
    const QByteArray body = text.left(text.lastIndexOf("crc32 "));
    EXPECT_EQ(text.mid(body.size()),
              "crc32 " + QByteArray::number(zipCrc(body), 16).toUpper().rightJustified(8, '0') +
                  '\n');
    QStringList programs, variables;
    for (const QByteArray &line : lines) {
        if (line.startsWith("program "))
            programs << QString::fromUtf8(line.split(' ').value(1)) + QLatin1Char(' ') +
                            QString::fromUtf8(line.split(' ').value(2)) + QLatin1Char(' ') +
                            QString::fromUtf8(line.split(' ').value(3));
        if (line.startsWith("var "))
            variables << QString::fromUtf8(line);
    }
    EXPECT_THAT(programs,
                ElementsAre("\"Main\" section=1 period=10", "\"Last\" section=4 period=1",
                            "\"Scan\" section=8 period=1", "\"Filter\" section=16 period=1"));
    EXPECT_THAT(variables,
                ElementsAre("var \"(Global)\" \"Level\" REAL dim=0 len=0 flags=0 init=-",
                            "var \"(Retain)\" \"Count\" DINT dim=0 len=0 flags=0 init=\"5\"",
                            "var \"(Retain)\" \"Label\" STRING dim=0 len=0 flags=0 "
                            "init=\"say \\\"hi\\\"\\x0D\\x0A\\\\ é\"",
                            "var \"Main\" \"f\" Filter dim=0 len=0 flags=0 init=-",
                            "var \"Filter\" \"In\" REAL dim=0 len=0 flags=8 init=-",
                            "var \"Filter\" \"Out\" REAL dim=0 len=0 flags=16 init=-"));
    EXPECT_TRUE(text.contains("end programs=4 variables=6\n"));
}

TEST_F(K5cmpBuild, AFailedBuildRemovesTheApplicationOfAnEarlierOne)
{
    const uint32_t main = addProgram("Main", "Level := 1.0;\n");
    declare("(Global)", "Level", "REAL");
    ASSERT_EQ(build().result, 1);
    ASSERT_TRUE(QFileInfo::exists(applicationFile()));

    writeSource(main, "Level := Missing;\n");
    const BuildRun failed = build();
    EXPECT_EQ(failed.result, 0);
    EXPECT_THAT(failed.messages, ElementsAre("Main(1): 'Missing' is not declared"));
    EXPECT_FALSE(QFileInfo::exists(applicationFile()));
}

TEST_F(K5cmpBuild, EveryProgramIsCheckedAndReportedUnderItsOwnName)
{
    addProgram("Main", "x := 1;\n");
    addProgram("Second", "y := ;\n");
    addProgram("Helper", "\n\nIF TRUE THEN\n", K5DB_SECTION_CHILD);
    const BuildRun run = build();
    EXPECT_EQ(run.result, 0);
    EXPECT_THAT(run.messages, ElementsAre("Main(1): 'x' is not declared",
                                          "Second(1): expected an expression but found ';'",
                                          "Helper(4): 'IF' of line 3 is not closed by 'END_IF'"));
}

TEST_F(K5cmpBuild, ProgramsWithoutAReadableStructuredTextSourceAreReported)
{
    const uint32_t gone = addProgram("Gone", "");
    K5DB_CreateProgramEx(client, project, 1, K5DB_SECTION_BEGIN, 0, "Ladder", 0, 0);
    addProgram("Huge", std::string(16 * 1024 * 1024 + 1, ' '));
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    char file[K5DB_PATH_BUFFER] = {};
    K5DB_GetProgramPath(client, project, gone, file);
    ASSERT_TRUE(QFile::remove(QString::fromLocal8Bit(file)));
    const BuildRun run = buildFolder(path.c_str());
    EXPECT_EQ(run.result, 0);
    EXPECT_THAT(run.messages,
                ElementsAre("Gone(0): the source file Gone.st cannot be read",
                            "Huge(0): the source file Huge.st is larger than 16777216 bytes",
                            "Ladder(0): only Structured Text can be compiled; the program's "
                            "language is 1"));
}

TEST_F(K5cmpBuild, UnsavedChangesOfTheOpenClientAreNotSeenAndStayItsOwn)
{
    addProgram("Main", "Level := 1.0;\n");
    declare("(Global)", "Level", "REAL");
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    const uint32_t unsaved = K5DB_CreateVar(client, project, group("(Global)"), K5DB_POS_APPEND,
                                            type("REAL"), 0, 0, 0, "Pending");
    ASSERT_NE(unsaved, 0u);

    const BuildRun run = buildFolder(path.c_str());
    EXPECT_EQ(run.result, 1);
    EXPECT_FALSE(fileBytes(applicationFile()).contains("Pending"));
    // The client goes on as if nobody had read the project.
    EXPECT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    EXPECT_EQ(buildFolder(path.c_str()).result, 1);
    EXPECT_TRUE(fileBytes(applicationFile()).contains("Pending"));
}

TEST_F(K5cmpBuild, AClosedProjectCompilesAndItsStoreIsLeftAsItWas)
{
    addProgram("Main", "Level := 1.0;\n");
    declare("(Global)", "Level", "REAL");
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    ASSERT_EQ(K5DB_CloseProject(client, project), K5DB_OK);
    const QString store = folder + QStringLiteral("/appli.k5db");
    const QByteArray before = sha256(store);

    EXPECT_EQ(buildFolder(path.c_str()).result, 1);
    EXPECT_EQ(sha256(store), before);

    project = K5DB_OpenProject(client, path.c_str());
    ASSERT_NE(project, 0u);
    EXPECT_NE(K5DB_FindVarInGroup(client, project, group("(Global)"), "Level"), 0u);
}

TEST(K5cmpArguments, FoldersThatAreNoProjectAndMissingArgumentsGiveZero)
{
    QTemporaryDir dir;
    const std::string empty = (dir.path() + QStringLiteral("/Empty")).toStdString();
    QDir().mkpath(QString::fromStdString(empty));
    const BuildRun run = buildFolder(empty.c_str());
    EXPECT_EQ(run.result, 0);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_THAT(run.messages[0], ::testing::StartsWith("Empty(0): the project cannot be read: "));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(empty) + QStringLiteral("/APPLI.XTI")));

    EXPECT_EQ(K5CmpBuildDefault(nullptr, nullptr), 0);
    EXPECT_EQ(K5CmpBuildDefault(empty.c_str(), nullptr), 0);
    const K5CmpSink silent{nullptr, nullptr};
    EXPECT_EQ(K5CmpBuildDefault("", &silent), 0);
}
