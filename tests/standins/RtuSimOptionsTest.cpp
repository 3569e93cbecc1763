#include <QProcess>
#include <gtest/gtest.h>

TEST(RtuSimOptions, MistakesOnTheCommandLineEndTheSimulatorWithTheOptionNamed)
{
    struct Case {
        QStringList arguments;
        const char *message;
    };
    const Case cases[] = {
        {{"--port", "65536"}, "bad value for --port: 65536"},
        {{"--port"}, "--port needs a value"},
        {{"--state", "paused"}, "bad value for --state: paused"},
        {{"--refuse", "AppStop"}, "bad value for --refuse: AppStop"},
        {{"--refuse", "=3"}, "bad value for --refuse: =3"},
        {{"--delay", "-5"}, "bad value for --delay: -5"},
        {{"--drop-after", "x"}, "bad value for --drop-after: x"},
        {{"--bind", "not-an-address", "--port", "0"}, "not an IPv4 address: not-an-address"},
        {{"--verbose"}, "unknown option --verbose"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        QProcess sim;
        sim.start(QStringLiteral(TESSILY_BIN "/orvane-rtu-sim"), c.arguments);
        ASSERT_TRUE(sim.waitForFinished(5000));
        EXPECT_NE(sim.exitCode(), 0);
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(sim.readAllStandardError().contains(c.message));
    }
}
