#include "FakeDevice.h"
#include "K5mwFixture.h"
#include "support/CompiledApplication.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <functional>

namespace {

// An application file in a temporary folder.
class ApplicationFile {
public:
    explicit ApplicationFile(const QByteArray &bytes)
    {
        m_path = m_dir.filePath(QStringLiteral("APPLI.XTI"));
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    // A compiled application of about that size.
    explicit ApplicationFile(qsizetype size) : ApplicationFile(compiledApplicationOfSize(size)) {}
    std::string loadCommand() const { return "LoadCode:" + m_path.toStdString(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

using Clock = std::chrono::steady_clock;

} // namespace

using K5mwDevice = K5mwSession;

TEST_F(K5mwDevice, StopLoadAndStartRunTheNewApplication)
{
    start();
    const ApplicationFile application(3000);
    EXPECT_EQ(status(), K5MW_STATUS_RUNNING);

    EXPECT_EQ(execute("AppStop"), 0);
    EXPECT_TRUE(events.waitFor(K5MW_EVENT_APP_STATE, 9));
    EXPECT_EQ(status(), K5MW_STATUS_STOPPED);

    EXPECT_EQ(execute(application.loadCommand()), 0);
    EXPECT_TRUE(events.waitFor(K5MW_EVENT_APP_RECEIVED, 0));
    EXPECT_EQ(events.values(K5MW_EVENT_PROGRESS), (std::vector<unsigned>{0, 25, 50, 75, 100}));
    EXPECT_EQ(status(), K5MW_STATUS_STOPPED);

    EXPECT_EQ(execute("AppStart"), 0);
    EXPECT_TRUE(events.waitFor(K5MW_EVENT_APP_STATE, 5));
    EXPECT_EQ(status(), K5MW_STATUS_RUNNING);
    EXPECT_EQ(events.values(K5MW_EVENT_APP_STATE), (std::vector<unsigned>{6, 9, 8, 5}));
}

TEST_F(K5mwDevice, StatusFollowsTheStopAfterTheDeviceSettles)
{
    start({QStringLiteral("--settle"), QStringLiteral("300")});
    EXPECT_EQ(execute("AppStop"), 0);
    EXPECT_EQ(status(), K5MW_STATUS_RUNNING);
    EXPECT_TRUE(waitForStatus(K5MW_STATUS_STOPPED));
}

TEST_F(K5mwDevice, RefusedStopIsAcceptedOnceTheRefusalsAreSpent)
{
    start({QStringLiteral("--refuse"), QStringLiteral("AppStop=2")});
    EXPECT_EQ(execute("AppStop"), K5MW_DEV_BUSY);
    EXPECT_EQ(execute("AppStop"), K5MW_DEV_BUSY);
    EXPECT_EQ(status(), K5MW_STATUS_RUNNING);
    EXPECT_EQ(execute("AppStop"), 0);
    EXPECT_TRUE(waitForStatus(K5MW_STATUS_STOPPED));
}

TEST_F(K5mwDevice, CommandsOutOfOrderAreRefusedWithTheDevicesCode)
{
    const ApplicationFile application(10);
    struct Case {
        const char *name;
        const char *state;
        std::string command;
        int32_t result;
        int status;
    };
    const Case cases[] = {
        {"load while running", "running", application.loadCommand(), K5MW_DEV_WRONG_STATE,
         K5MW_STATUS_RUNNING},
        {"start without application", "none", "AppStart", K5MW_DEV_WRONG_STATE,
         K5MW_STATUS_NO_APPLICATION},
        {"stop without application", "none", "AppStop", 0, K5MW_STATUS_NO_APPLICATION},
        {"load without application", "none", application.loadCommand(), 0, K5MW_STATUS_LOADING},
        {"start when stopped", "stopped", "AppStart", 0, K5MW_STATUS_RUNNING},
        {"unknown command", "running", "AppReboot", K5MW_DEV_UNKNOWN_COMMAND, K5MW_STATUS_RUNNING},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RtuSimProcess device({QStringLiteral("--state"), QLatin1String(c.state),
                              QStringLiteral("--load-time"), QStringLiteral("2000")});
        ASSERT_NE(device.port(), 0);
        const uint32_t cl = K5MW_Connect(nullptr, 0, 0, 0, "test");
        const uint32_t pr = K5MW_OpenProject(cl, "/tmp/", "K5NET5.DLL",
                                             device.address().toLatin1().constData(), 1, 0);
        ASSERT_NE(pr, 0u);
        EXPECT_EQ(K5MW_Execute(cl, pr, c.command.c_str()), c.result);
        unsigned char buffer[K5MW_VALUE_BUFFER] = {};
        EXPECT_EQ(K5MW_GetBinValue(cl, pr, "<AppStatus>", 0, buffer, nullptr, nullptr), 0);
        EXPECT_EQ(buffer[0], c.status);
        K5MW_Disconnect(cl);
    }
}

TEST_F(K5mwDevice, CommandsDuringALoadWaitForIt)
{
    start({QStringLiteral("--state"), QStringLiteral("stopped"), QStringLiteral("--load-time"),
           QStringLiteral("400")});
    const ApplicationFile application(100);
    EXPECT_EQ(execute(application.loadCommand()), 0);
    EXPECT_EQ(execute("AppStart"), K5MW_DEV_LOADING);
    EXPECT_EQ(execute(application.loadCommand()), K5MW_DEV_LOADING);
    EXPECT_TRUE(events.waitFor(K5MW_EVENT_APP_RECEIVED, 0));
    EXPECT_EQ(execute("AppStart"), 0);
}

TEST_F(K5mwDevice, ApplicationFilesThatCannotBeSentAreRefusedBeforeTheDeviceIsAsked)
{
    start({QStringLiteral("--state"), QStringLiteral("stopped")});
    const ApplicationFile empty(QByteArray{});
    const ApplicationFile tooLarge(QByteArray(8 * 1024 * 1024 + 1, 'x'));
    const std::string cases[] = {
        empty.loadCommand(),
        tooLarge.loadCommand(),
        "LoadCode:/no/such/folder/APPLI.XTI",
        "LoadCode:",
    };
    for (const std::string &command : cases) {
        SCOPED_TRACE(command);
        EXPECT_EQ(execute(command), K5MW_ERR_FILE);
    }
    EXPECT_EQ(status(), K5MW_STATUS_STOPPED);
}

TEST_F(K5mwDevice, LargestApplicationIsSentWhole)
{
    start({QStringLiteral("--state"), QStringLiteral("stopped")});
    const ApplicationFile largest(8 * 1024 * 1024);
    EXPECT_EQ(execute(largest.loadCommand()), 0);
    EXPECT_TRUE(events.waitFor(K5MW_EVENT_APP_RECEIVED, 0));
}

TEST_F(K5mwDevice, DamagedApplicationIsRefusedAndTheOldOneKept)
{
    start({QStringLiteral("--state"), QStringLiteral("stopped")});
    const QByteArray good = compiledApplication();
    QByteArray changed = good;
    changed[10] = 'X';
    QByteArray lowerCase = good;
    lowerCase.replace("crc32 ", "CRC32 ");
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"not a compiled application", QByteArray(100, 'x')},
        {"cut before the checksum", good.left(good.indexOf("crc32"))},
        {"cut inside the checksum", good.left(good.size() - 3)},
        {"without the last line end", good.chopped(1)},
        {"a byte changed", changed},
        {"checksum word misspelt", lowerCase},
        {"another format version", QByteArray(good).replace("K5XTI 1", "K5XTI 2")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ApplicationFile application(c.bytes);
        EXPECT_EQ(execute(application.loadCommand()), K5MW_DEV_BAD_APPLICATION);
        EXPECT_EQ(status(), K5MW_STATUS_STOPPED);
    }
    const ApplicationFile application(good);
    EXPECT_EQ(execute(application.loadCommand()), 0);
}

TEST_F(K5mwDevice, UnknownHandlesAndNullArgumentsAreRefused)
{
    start();
    unsigned char buffer[K5MW_VALUE_BUFFER];
    struct Case {
        const char *call;
        std::function<int32_t()> run;
        int32_t expected;
    };
    const Case cases[] = {
        {"Execute, unknown project", [&] { return K5MW_Execute(client, project + 99, "AppStop"); },
         K5MW_ERR_ARGUMENT},
        {"Execute, unknown client", [&] { return K5MW_Execute(client + 99, project, "AppStop"); },
         K5MW_ERR_ARGUMENT},
        {"Execute, null command", [&] { return K5MW_Execute(client, project, nullptr); },
         K5MW_ERR_ARGUMENT},
        {"Execute, empty command", [&] { return K5MW_Execute(client, project, ""); },
         K5MW_ERR_ARGUMENT},
        {"Execute, long command",
         [&] { return K5MW_Execute(client, project, std::string(40, 'A').c_str()); },
         K5MW_ERR_ARGUMENT},
        {"GetBinValue, null name",
         [&] { return K5MW_GetBinValue(client, project, nullptr, 0, buffer, nullptr, nullptr); },
         K5MW_ERR_ARGUMENT},
        {"GetBinValue, null buffer",
         [&] {
             return K5MW_GetBinValue(client, project, "<AppStatus>", 0, nullptr, nullptr, nullptr);
         },
         K5MW_ERR_ARGUMENT},
        {"GetBinValue, unknown value",
         [&] {
             return K5MW_GetBinValue(client, project, "<Nothing>", 0, buffer, nullptr, nullptr);
         },
         K5MW_DEV_UNKNOWN_VALUE},
        {"OpenProject, unknown client",
         [&] {
             return int32_t(K5MW_OpenProject(client + 99, "/tmp/", "K5NET5.DLL",
                                             sim().address().toLatin1().constData(), 1, 0));
         },
         0},
        {"OpenProject, null address",
         [&] { return int32_t(K5MW_OpenProject(client, "/tmp/", "K5NET5.DLL", nullptr, 1, 0)); },
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_EQ(c.run(), c.expected);
    }
    K5MW_CloseProject(client + 99, project); // not this client's project: stays open
    K5MW_Disconnect(client + 99);
    EXPECT_EQ(status(), K5MW_STATUS_RUNNING);
}

TEST_F(K5mwDevice, ClosedProjectAndDisconnectedClientTakeNoMoreCallsOrEvents)
{
    start({QStringLiteral("--settle"), QStringLiteral("200")});
    EXPECT_EQ(execute("AppStop"), 0);
    K5MW_Disconnect(client);
    const auto seen = events.events().size();
    EXPECT_EQ(execute("AppStart"), K5MW_ERR_ARGUMENT);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(events.events().size(), seen); // the stop's "stopped" came after the disconnect
}

TEST_F(K5mwDevice, SlowDeviceIsWaitedFor)
{
    start({QStringLiteral("--delay"), QStringLiteral("300")});
    const auto begin = Clock::now();
    EXPECT_EQ(execute("AppStop"), 0);
    EXPECT_GE(Clock::now() - begin, std::chrono::milliseconds(300));
    EXPECT_TRUE(events.waitFor(K5MW_EVENT_APP_STATE, 9));
}

TEST_F(K5mwDevice, DroppedConnectionFailsTheCallAtOnceAndEveryCallAfter)
{
    // The greeting and one status read pass; the third frame ends the connection.
    start({QStringLiteral("--drop-after"), QStringLiteral("3")});
    EXPECT_EQ(status(), K5MW_STATUS_RUNNING);
    const auto begin = Clock::now();
    EXPECT_EQ(execute("AppStop"), K5MW_ERR_LINK);
    EXPECT_LT(Clock::now() - begin, std::chrono::milliseconds(2000));
    EXPECT_EQ(status(), -1);
    EXPECT_EQ(execute("AppStop"), K5MW_ERR_LINK);
}

TEST(K5mwConnection, AddressesWithoutADeviceGiveNoProject)
{
    RtuSimProcess device;
    ASSERT_NE(device.port(), 0);
    const uint32_t client = K5MW_Connect(nullptr, 0, 0, 0, "test");
    struct Case {
        std::string address;
        bool opens;
    };
    const std::string port = std::to_string(device.port());
    const Case cases[] = {
        {"127.0.0.1:" + port, true},
        {"  localhost:" + port + " ", true},
        {"127.0.0.1:" + std::to_string(unusedPort()), false},
        {"", false},
        {":" + port, false},
        {"127.0.0.1:", false},
        {"127.0.0.1:0", false},
        {"127.0.0.1:70000", false},
        {"127.0.0.1:50x", false},
        {"[127.0.0.1:" + port, false},
        {"no-such-host.invalid:" + port, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.address);
        const uint32_t project =
            K5MW_OpenProject(client, "/tmp/", "K5NET5.DLL", c.address.c_str(), 1, 0);
        EXPECT_EQ(project != 0, c.opens);
        K5MW_CloseProject(client, project);
    }
    K5MW_Disconnect(client);
}
