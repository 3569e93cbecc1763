#include <QCoreApplication>
#include <gtest/gtest.h>

// Tests share one application object, as the program does: timers, processes and
// locale-dependent formatting behave as they would in the running program.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
