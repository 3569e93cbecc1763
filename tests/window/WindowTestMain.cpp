#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The widget tests need a widget application. Defining main here keeps the shared test main
// of the support library (a core application) out of this program. Stored user options are
// read from a configuration folder of the tests' own, never from the user's.
int main(int argc, char **argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // No display is needed, also when the tests are only listed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
