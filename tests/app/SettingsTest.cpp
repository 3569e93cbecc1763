#include "app/Settings.h"
#include "app/OptionStore.h"
#include "common/Failure.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

// An option store that records every read and write in order.
struct RecordingStore final : OptionStore {
    QMap<QString, QString> values; // stored texts; a text that is no number is unreadable
    QStringList reads;
    QStringList writes; // "name=value"

    std::optional<int> readInt(const QString &name) override
    {
        reads << name;
        if (!values.contains(name))
            return std::nullopt;
        bool ok = false;
        const int value = values[name].toInt(&ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    }
    void writeInt(const QString &name, int value) override
    {
        writes << QStringLiteral("%1=%2").arg(name).arg(value);
    }
};

const QStringList kAllRead = {"StartStraton", "Download",  "ShowDebug",      "DebugGen",
                              "ForceVSI",     "EmbedSymb", "DeleteAppliXML", "SaveWindowPosition"};

QMap<QString, QString> fullStore(const QString &saveWindowPosition)
{
    return {{"StartStraton", "0"},   {"Download", "0"},
            {"ShowDebug", "1"},      {"DebugGen", "0"},
            {"ForceVSI", "1"},       {"EmbedSymb", "0"},
            {"DeleteAppliXML", "0"}, {"SaveWindowPosition", saveWindowPosition},
            {"Top", "30"},           {"Left", "40"},
            {"Width", "500"},        {"Height", "700"}};
}

} // namespace

TEST(SettingsOptions, FirstStartKeepsEveryDefaultAndTheDesignedPlacement)
{
    RecordingStore store;
    Settings settings;
    EXPECT_FALSE(settings.loadOptions(store));
    EXPECT_THAT(store.reads, ElementsAre("StartStraton", "ShowChanges"));
    EXPECT_TRUE(settings.StartStraton);
    EXPECT_TRUE(settings.Download);
    EXPECT_FALSE(settings.ShowDebug);
    EXPECT_TRUE(settings.DebugGen);
    EXPECT_FALSE(settings.ForceVSI);
    EXPECT_TRUE(settings.EmbedSymb);
    EXPECT_TRUE(settings.DeleteAppliXML);
    EXPECT_FALSE(settings.SaveWindowPosition);
    EXPECT_EQ(settings.Placement, WindowPlacement::Designed);
}

TEST(SettingsOptions, ReadingStopsAtTheFirstMissingOrUnreadableValue)
{
    struct Case {
        const char *what;
        QMap<QString, QString> values;
        bool complete;
        QStringList reads;
        bool download, showDebug;
        WindowPlacement placement;
    };
    const Case cases[] = {
        {"only the two actions",
         {{"StartStraton", "0"}, {"Download", "0"}},
         false,
         kAllRead.mid(0, 3),
         false,
         false,
         WindowPlacement::Designed},
        {"text that is no number",
         {{"StartStraton", "1"}, {"Download", "yes"}},
         false,
         kAllRead.mid(0, 2),
         true,
         false,
         WindowPlacement::Designed},
        {"everything, position not kept", fullStore("0"), true, kAllRead, false, true,
         WindowPlacement::SystemDefault},
        {"everything, position kept", fullStore("1"), true,
         kAllRead + QStringList{"Top", "Left", "Width", "Height"}, false, true,
         WindowPlacement::Stored},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingStore store;
        store.values = c.values;
        Settings settings;
        EXPECT_EQ(settings.loadOptions(store), c.complete);
        EXPECT_EQ(store.reads, c.reads + QStringList{"ShowChanges"});
        EXPECT_EQ(settings.Download, c.download);
        EXPECT_EQ(settings.ShowDebug, c.showDebug);
        EXPECT_EQ(settings.Placement, c.placement);
    }
}

TEST(SettingsOptions, PlacementIsTheStoredOneOrTheDefaultSize)
{
    RecordingStore stored;
    stored.values = fullStore("1");
    Settings kept;
    ASSERT_TRUE(kept.loadOptions(stored));
    EXPECT_EQ(kept.Geometry, QRect(40, 30, 500, 700));

    RecordingStore notKept;
    notKept.values = fullStore("0");
    Settings placed;
    ASSERT_TRUE(placed.loadOptions(notKept));
    EXPECT_EQ(placed.Geometry.size(), QSize(460, 660));

    RecordingStore missingLeft;
    missingLeft.values = fullStore("1");
    missingLeft.values.remove("Left");
    Settings designed;
    EXPECT_FALSE(designed.loadOptions(missingLeft));
    EXPECT_EQ(designed.Placement, WindowPlacement::Designed);
    EXPECT_TRUE(designed.SaveWindowPosition);
}

TEST(SettingsOptions, SavesInTheFixedOrderWithTopAndLeftOnlyWhenThePositionIsKept)
{
    Settings settings;
    settings.Geometry = QRect(40, 30, 500, 700);
    settings.ForceVSI = true;
    const QStringList options = {"StartStraton=1",   "Download=1",   "ShowDebug=0",
                                 "DebugGen=1",       "ForceVSI=1",   "EmbedSymb=1",
                                 "DeleteAppliXML=1", "ShowChanges=0"};

    RecordingStore notKept;
    settings.saveOptions(notKept);
    EXPECT_EQ(notKept.writes,
              QStringList({"SaveWindowPosition=0", "Width=500", "Height=700"}) + options);

    settings.SaveWindowPosition = true;
    RecordingStore kept;
    settings.saveOptions(kept);
    EXPECT_EQ(kept.writes, QStringList({"SaveWindowPosition=1", "Width=500", "Height=700", "Top=30",
                                        "Left=40"}) +
                               options);
}

TEST(SettingsOptions, ShowTheChangesIsReadEvenFromAStoreThatStopsEarly)
{
    for (const bool complete : {true, false}) {
        SCOPED_TRACE(complete);
        RecordingStore store;
        store.values = complete ? fullStore("0") : QMap<QString, QString>{{"StartStraton", "1"}};
        store.values.insert("ShowChanges", "1");
        Settings settings;
        EXPECT_EQ(settings.loadOptions(store), complete);
        EXPECT_TRUE(settings.ShowChanges);
    }
}

TEST(SettingsOptions, WhatTheProjectBuildReads)
{
    Settings settings;
    settings.DeleteAppliXML = false;
    settings.DebugGen = false;
    settings.EmbedSymb = true;
    settings.ForceVSI = true;
    const BuildSettings build = settings.buildSettings();
    EXPECT_FALSE(build.DeleteAppliXML);
    EXPECT_FALSE(build.DebugGen);
    EXPECT_TRUE(build.EmbedSymb);
    EXPECT_TRUE(build.ForceVSI);
}

TEST(SettingsHistory, MissingFileGivesAnEmptyHistoryAndFirstEntries)
{
    QTemporaryDir dir;
    Settings settings;
    settings.SheetsHistory = {"left over"};
    settings.LastUsed = {1, 2, 3, 4};
    settings.Exp = true;
    settings.loadHistory(dir.filePath("none.ini"));
    EXPECT_TRUE(settings.SheetsHistory.isEmpty());
    EXPECT_THAT(settings.LastUsed, ElementsAre(0, 0, 0, 0));
    EXPECT_FALSE(settings.Exp);
}

TEST(SettingsHistory, ReadsTheHistoryInFileOrderAndTheSelections)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tessily.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[SheetsHistory]\r\n2=/w/b.xlsx\r\n1=/w/a.xlsx\r\n9=/w/c.ods\r\n"
               "[LastUsed]\r\nCB0=2\r\nCB2=x\r\nCB3=7\r\nExp=1\r\n");
    file.close();
    Settings settings;
    settings.loadHistory(path);
    EXPECT_THAT(settings.SheetsHistory, ElementsAre("/w/b.xlsx", "/w/a.xlsx", "/w/c.ods"));
    EXPECT_THAT(settings.LastUsed, ElementsAre(2, 0, 0, 7));
    EXPECT_TRUE(settings.Exp);
}

TEST(SettingsHistory, SavingReplacesTheHistoryAndKeepsTheRestOfTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tessily.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; kept comment\r\n[SheetsHistory]\r\n1=/old/one.xlsx\r\n2=/old/two.xlsx\r\n"
               "3=/old/three.xlsx\r\n[Other]\r\nKey=kept\r\n");
    file.close();
    Settings settings;
    settings.SheetsHistory = {QStringLiteral("/w/Ünïcode.xlsx"), "/w/b.xls"};
    settings.LastUsed = {1, 0, 2, -1};
    settings.Exp = true;
    settings.saveHistory(path);

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    EXPECT_TRUE(bytes.startsWith("; kept comment\r\n"));
    EXPECT_TRUE(bytes.contains("[Other]\r\nKey=kept\r\n"));
    EXPECT_FALSE(bytes.contains("/old/"));

    Settings back;
    back.loadHistory(path);
    EXPECT_EQ(back.SheetsHistory, settings.SheetsHistory);
    EXPECT_THAT(back.LastUsed, ElementsAre(1, 0, 2, -1));
    EXPECT_TRUE(back.Exp);
}

TEST(SettingsHistory, SavingIntoAnUnwritablePlaceNamesTheFile)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = dir.filePath("file/tessily.ini"); // a folder that is a file
    Settings settings;
    try {
        settings.saveHistory(path);
        FAIL() << "no failure";
    } catch (const Failure &e) {
        EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
    }
}

TEST(SettingsHistory, FileBesideTheProgramOrInTheConfigurationFolder)
{
    QTemporaryDir dir;
    const QString config = dir.filePath("config");
    EXPECT_EQ(Settings::historyFilePath(dir.filePath("tessily"), config),
              dir.filePath("tessily.ini"));
    EXPECT_EQ(Settings::historyFilePath(dir.filePath("tessily.bin"), config),
              dir.filePath("tessily.ini"));
    // A folder that cannot be written to (here: one that does not exist).
    EXPECT_EQ(Settings::historyFilePath(dir.filePath("gone/tessily"), config),
              config + "/tessily.ini");
}
