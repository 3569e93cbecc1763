#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Tests share one application object, as the program does: timers, processes and
// locale-dependent formatting behave as they would in the running program.
// Stored user options are read from a configuration folder of the tests' own, never from
// the user's.
int main(int argc, char **argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
