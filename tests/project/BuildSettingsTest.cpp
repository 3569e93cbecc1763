#include "project/BuildSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(BuildSettings, StoredValuesReplaceTheDefaultsOneByOne)
{
    const BuildSettings defaults;
    EXPECT_TRUE(defaults.DeleteAppliXML);
    EXPECT_TRUE(defaults.DebugGen);
    EXPECT_TRUE(defaults.EmbedSymb);
    EXPECT_FALSE(defaults.ForceVSI);

    QTemporaryDir dir;
    QSettings store(dir.filePath("options.ini"), QSettings::IniFormat);
    EXPECT_EQ(BuildSettings::read(store).DebugGen, true); // nothing stored: the defaults
    store.setValue("DebugGen", 0);
    store.setValue("ForceVSI", 1);
    store.setValue("EmbedSymb", "not a number"); // unreadable: the default stays
    const BuildSettings read = BuildSettings::read(store);
    EXPECT_FALSE(read.DebugGen);
    EXPECT_TRUE(read.ForceVSI);
    EXPECT_TRUE(read.EmbedSymb);
    EXPECT_TRUE(read.DeleteAppliXML);

    BuildSettings changed;
    changed.DeleteAppliXML = false;
    changed.write(store);
    const BuildSettings back = BuildSettings::read(store);
    EXPECT_FALSE(back.DeleteAppliXML);
    EXPECT_TRUE(back.DebugGen);
    EXPECT_EQ(store.value("DeleteAppliXML").toInt(), 0);
}
