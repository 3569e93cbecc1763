#include "common/RunLog.h"
#include "download/DownloadProject.h"
#include "download/DownloadSession.h"
#include "download/MiddlewareLibrary.h"
#include "support/CompiledApplication.h"
#include "support/RtuSimProcess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Longer than any download here takes; then the test's user closes, so a fault fails the
// test instead of hanging it.
constexpr int kPatienceMs = 10000;

// The texts of the run log's lines, without their time stamps.
QStringList logTexts(const RunLog &log)
{
    QStringList texts;
    for (const QString &line : log.lines())
        texts << line.mid(14);
    return texts;
}

int unusedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

// A compiled project folder and a download session on the real middleware library.
class DownloadToDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        project = m_dir.path();
        QFile application(m_dir.filePath(QStringLiteral("APPLI.XTI")));
        ASSERT_TRUE(application.open(QIODevice::WriteOnly));
        application.write(compiledApplicationOfSize(2048));
        QObject::connect(&session, &DownloadSession::stateMsgChanged, &session,
                         [this](const QString &text) { stateMessages << text; });
        QTimer::singleShot(kPatienceMs, &session, [this] { session.closeByUser(); });
    }

    bool download(const QString &address)
    {
        return DownloadProject(session, log, address, project);
    }

    MiddlewareLibrary middleware;
    DownloadSession session{middleware};
    RunLog log;
    QString project;
    QStringList stateMessages;

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(DownloadToDevice, NormalSequenceEndsWithTheApplicationRunning)
{
    RtuSimProcess device;
    ASSERT_NE(device.port(), 0) << device.error().toStdString();
    int shown = 0;
    QObject::connect(&session, &DownloadSession::shown, [&shown] { ++shown; });
    EXPECT_TRUE(download(device.address()));
    EXPECT_EQ(logTexts(log),
              (QStringList{"Downloading to :" + device.address(),
                           "Project downloaded succesfully to :" + device.address()}));
    EXPECT_EQ(session.lines(),
              (QStringList{"Downloading to IP : " + device.address(), "Requesting Stop",
                           "Requesting Download", "Requesting Start"}));
    EXPECT_TRUE(stateMessages.contains(QStringLiteral("Orvane:Application received")));
    EXPECT_TRUE(stateMessages.contains(QStringLiteral("Orvane:Stopped")));
    EXPECT_EQ(session.progress(), 100);
    EXPECT_EQ(shown, 1);
}

TEST_F(DownloadToDevice, RefusedStopIsRetriedEveryTickUntilAccepted)
{
    RtuSimProcess device({QStringLiteral("--refuse"), QStringLiteral("AppStop=2")});
    ASSERT_NE(device.port(), 0) << device.error().toStdString();
    EXPECT_TRUE(download(device.address()));
    EXPECT_EQ(session.lines().mid(0, 4),
              (QStringList{"Downloading to IP : " + device.address(),
                           "Not able to stop application, errorcode 2",
                           "Not able to stop application, errorcode 2", "Requesting Stop"}));
}

TEST_F(DownloadToDevice, UserClosingWhileACommandIsRefusedGivesResultTwo)
{
    struct Case {
        const char *name;
        QStringList options;
        bool removeApplication;
        QString refusal;
    };
    const Case cases[] = {
        {"stop always refused",
         {"--refuse", "AppStop=100000"},
         false,
         "Not able to stop application, errorcode 2"},
        {"no compiled application", {}, true, "Not able to download application, errorcode 103"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RtuSimProcess device(c.options);
        ASSERT_NE(device.port(), 0) << device.error().toStdString();
        if (c.removeApplication)
            QFile::remove(project + QStringLiteral("/APPLI.XTI"));
        RunLog runLog;
        const auto closer = QObject::connect(&session, &DownloadSession::lineAdded, &session,
                                             [&](const QString &line) {
                                                 if (line == c.refusal)
                                                     session.closeByUser();
                                             });
        EXPECT_EQ(session.DownloadCode(device.address(), project), 2);
        QObject::disconnect(closer);
        EXPECT_EQ(session.lines().last(), c.refusal);
        EXPECT_FALSE(session.running());
    }
}

TEST_F(DownloadToDevice, NoDeviceOrNoLibraryGivesResultThreeAndIsLogged)
{
    MiddlewareLibrary missing(QStringLiteral("NoSuchMiddleware"));
    DownloadSession withoutLibrary(missing);
    const QString nobody = QStringLiteral("127.0.0.1:%1").arg(unusedPort());
    struct Case {
        const char *name;
        DownloadSession &session;
        QStringList lines;
    };
    const Case cases[] = {
        {"no device",
         session,
         {"Downloading to IP : " + nobody, "Can not connect to T5 runtime or project"}},
        {"no library", withoutLibrary, {"Can not connect to K5MW library"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RunLog runLog;
        int shown = 0;
        const auto counter =
            QObject::connect(&c.session, &DownloadSession::shown, [&shown] { ++shown; });
        EXPECT_FALSE(DownloadProject(c.session, runLog, nobody, project));
        EXPECT_EQ(logTexts(runLog),
                  (QStringList{"Downloading to :" + nobody, "Project probably not downloaded"}));
        EXPECT_EQ(c.session.lines(), c.lines);
        EXPECT_EQ(shown, 0);
        QObject::disconnect(counter);
    }
}

TEST(MiddlewareLibraryMissing, EveryCallFailsAsTheDownloadExpects)
{
    MiddlewareLibrary missing(QStringLiteral("NoSuchMiddleware"));
    char buffer[K5MW_VALUE_BUFFER] = {};
    EXPECT_EQ(missing.Connect(nullptr, 1124, 0, 0, QStringLiteral("x")), 0u);
    EXPECT_EQ(missing.OpenProject(1, QStringLiteral("/p/"), QStringLiteral("K5NET5.DLL"),
                                  QStringLiteral("rtu"), 1, 0),
              0u);
    EXPECT_EQ(missing.Execute(1, 2, QStringLiteral("AppStop")), -1);
    EXPECT_EQ(missing.GetBinValue(1, 2, QStringLiteral("<AppStatus>"), 0, buffer, nullptr, nullptr),
              -1);
    missing.CloseProject(1, 2);
    missing.Disconnect(1);
}
