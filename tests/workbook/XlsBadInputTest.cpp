#include "XlsTestFiles.h"

#include "common/Failure.h"
#include "workbook/WorkbookFile.h"
#include "workbook/XlsStreamLoader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <random>

namespace {

using namespace XlsTestFiles;
using testing::HasSubstr;

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kCodePage = 0x0042;

QString fixture(const char *name)
{
    return QStringLiteral(TESSILY_FIXTURES "/xls/") + QLatin1String(name);
}

QByteArray globalsBof(int version = 0x0600)
{
    return record(kBof, u16(version) + u16(0x0005) + u16(0) + u16(0) + u32(0) + u32(6));
}

// Opens the file and reads every worksheet, as a run would.
void readEverything(const QString &path)
{
    const auto book = openWorkbookFile(path);
    for (int i = 0; i < book->sheetCount(); ++i) {
        if (book->isWorksheet(i))
            book->sheet(i);
    }
}

// The failure that reading the file raises, or an empty text when it reads.
QString failureOf(const QString &path)
{
    try {
        readEverything(path);
    } catch (const Failure &e) {
        return e.message();
    }
    return {};
}

QByteArray oneSheet(const QByteArray &globals, const QByteArray &cells)
{
    return workbookStream(globals, {{QStringLiteral("S"), 0, 0x0010, 0, cells}});
}

struct StreamCase {
    const char *what;
    QByteArray stream;
    const char *message;
};

TEST(XlsBadInput, DamagedStreamsFailWithTheFileAndTheProblem)
{
    const QByteArray label = cellHeader(0, 0);
    const QByteArray sheetAtEnd =
        globalsBof() +
        record(kBoundSheet, u32(0x7FFFFFF0) + u16(0) + string(QStringLiteral("S"), false, 1)) +
        record(kEof, {});
    const QByteArray noSheetEof =
        globalsBof() +
        record(kBoundSheet, u32(0) + u16(0) + string(QStringLiteral("S"), false, 1)) +
        record(kEof, {});
    // patch the BOUNDSHEET to point just past the globals, where a BOF without an EOF follows
    QByteArray openSheet = noSheetEof;
    const QByteArray offset = u32(std::uint32_t(noSheetEof.size()));
    openSheet.replace(globalsBof().size() + 4, 4, offset);
    openSheet += record(kBof, u16(0x0600) + u16(0x0010) + u16(0) + u16(0) + u32(0) + u32(6)) +
                 record(kNumber, label + f64(1));
    const StreamCase cases[] = {
        {"record length past the end", globalsBof() + u16(kCodePage) + u16(1000) + "ab",
         "runs past the end of the stream"},
        {"half a record header", globalsBof() + u16(kCodePage), "ends inside a record"},
        {"FILEPASS",
         globalsBof() + record(kFilePass, u16(1) + QByteArray(52, '\0')) + record(kEof, {}),
         "encrypted"},
        {"sheet offset beyond the stream", sheetAtEnd, "beyond the end of the stream"},
        {"sheet without EOF", openSheet, "ends without an EOF record"},
        {"globals without EOF", globalsBof(), "end without an EOF record"},
        {"empty stream", QByteArray(), "empty"},
        {"no BOF first", record(kNumber, QByteArray(14, '\0')), "BOF"},
        {"Excel 5.0/95", globalsBof(0x0500) + record(kEof, {}), "Excel 5.0/95"},
        {"label longer than its record",
         oneSheet({}, record(kLabel, label + u16(200) + QByteArray(1, '\0') + "abc")),
         "runs past its end"},
        {"label of half a 16-bit character",
         oneSheet({}, record(kLabel, label + u16(1) + QByteArray(1, '\x01') + "a")),
         "runs past its end"},
        {"shared string longer than the table",
         oneSheet(record(kSst, u32(1) + u32(1) + u16(50) + QByteArray(1, '\0') + "abcde"), {}),
         "runs past its end"},
        {"formatting runs past the table",
         oneSheet(
             record(kSst, u32(1) + u32(1) + u16(1) + QByteArray(1, '\x08') + u16(0xFFFF) + "a"),
             {}),
         "runs past its end"},
        {"phonetic block past the table",
         oneSheet(
             record(kSst, u32(1) + u32(1) + u16(1) + QByteArray(1, '\x04') + u32(0xFFFFFFFF) + "a"),
             {}),
         "runs past its end"},
        {"shared string beyond the table",
         oneSheet(record(kSst, u32(1) + u32(1) + string(QStringLiteral("x"), false)),
                  record(kLabelSst, label + u32(5))),
         "shared string 5 of only 1"},
        {"number record too short", oneSheet({}, record(kNumber, label + "1234")), "is too short"},
    };
    const QTemporaryDir dir;
    for (const StreamCase &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("damaged.xls"));
        writeXls(path, c.stream);
        const QString message = failureOf(path);
        EXPECT_THAT(message.toStdString(), HasSubstr(path.toStdString()));
        EXPECT_THAT(message.toStdString(), HasSubstr(c.message));
    }
}

TEST(XlsBadInput, AHugeStringCountAllocatesOnlyWhatTheBytesHold)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("count.xls"));
    writeXls(path, oneSheet(record(kSst, u32(0xFFFFFFFF) + u32(0xFFFFFFFF) +
                                             string(QStringLiteral("only"), false)),
                            record(kLabelSst, cellHeader(0, 0) + u32(0))));
    const auto book = openWorkbookFile(path);
    EXPECT_EQ(cellText(book->sheet(0).cell(1, 1)), QStringLiteral("only"));
}

TEST(XlsBadInput, CompoundFilesThatHoldNoReadableWorkbook)
{
    struct Case {
        const char *what;
        std::vector<std::pair<QString, QByteArray>> streams;
        const char *message;
    };
    const Case cases[] = {
        {"encrypted Office Open XML package",
         {{QStringLiteral("EncryptionInfo"), QByteArray(64, '\x04')},
          {QStringLiteral("EncryptedPackage"), QByteArray(4096, '\x55')}},
         "encrypted"},
        {"a text document",
         {{QStringLiteral("WordDocument"), QByteArray(600, '\0')}},
         "not a workbook"},
        {"Excel 5.0/95 Book stream",
         {{QStringLiteral("Book"), globalsBof(0x0500) + record(kEof, {})}},
         "Excel 5.0/95"},
    };
    const QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("other.xls"));
        writeCompoundFile(path, c.streams);
        const QString message = failureOf(path);
        EXPECT_THAT(message.toStdString(), HasSubstr(path.toStdString()));
        EXPECT_THAT(message.toStdString(), HasSubstr(c.message));
    }
}

TEST(XlsBadInput, StreamNamesCompareWithoutRegardToCase)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lower.xls"));
    writeCompoundFile(path, {{QStringLiteral("workbook"),
                              oneSheet({}, record(kNumber, cellHeader(0, 0) + f64(3)))}});
    EXPECT_EQ(cellText(openWorkbookFile(path)->sheet(0).cell(1, 1)), QStringLiteral("3"));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(XlsBadInput, TruncatedFilesFailNamingTheFile)
{
    const QByteArray whole = fileBytes(fixture("values-gnumeric.xls"));
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.xls"));
    for (const qsizetype size : {qsizetype(8), qsizetype(511), qsizetype(512), qsizetype(4096),
                                 whole.size() / 2, whole.size() - 512, whole.size() - 1}) {
        SCOPED_TRACE(size);
        writeBytes(path, whole.left(size));
        EXPECT_THAT(failureOf(path).toStdString(), HasSubstr(path.toStdString()));
    }
}

// Bytes flipped at random places of the Workbook stream: the reader either reads the result
// or fails naming the file; it never crashes, hangs or takes memory beyond the stream's size.
TEST(XlsBadInput, FlippedBytesInTheStreamNeverCrash)
{
    const QByteArray stream = loadWorkbookStream(fixture("values-libreoffice.xls"));
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flipped.xls"));
    std::mt19937 random(20240315);
    std::uniform_int_distribution<qsizetype> place(0, stream.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    int failures = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = stream;
        for (int i = 0; i < 1 + round % 8; ++i)
            damaged[place(random)] = char(byte(random));
        writeXls(path, damaged);
        const QString message = failureOf(path);
        if (!message.isEmpty()) {
            ++failures;
            EXPECT_TRUE(message.startsWith(path)) << message.toStdString();
        }
    }
    EXPECT_GT(failures, 0);
}

TEST(XlsBadInput, FlippedBytesInTheCompoundFileNeverCrash)
{
    const QByteArray whole = fileBytes(fixture("values-gnumeric.xls"));
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flipped.xls"));
    std::mt19937 random(19040101);
    // the header and the first sectors hold the allocation tables and the directory
    std::uniform_int_distribution<qsizetype> place(8, std::min<qsizetype>(whole.size() - 1, 4096));
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        QByteArray damaged = whole;
        for (int i = 0; i < 1 + round % 4; ++i)
            damaged[place(random)] = char(byte(random));
        writeBytes(path, damaged);
        const QString message = failureOf(path);
        if (!message.isEmpty()) {
            EXPECT_TRUE(message.startsWith(path)) << message.toStdString();
        }
    }
}

} // namespace
