#include "ScriptedMiddleware.h"
#include "download/DownloadSession.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using CS = TCommandState;
using TC = TTimerCommand;

namespace {

const char *name(CS state)
{
    static const char *const kNames[] = {"csNone", "csStop", "csDownload", "csStart"};
    return kNames[int(state)];
}
const char *name(TC command)
{
    static const char *const kNames[] = {"tcNone", "tcStop", "tcDownload", "tcStart", "tcClose"};
    return kNames[int(command)];
}

} // namespace

// One tick from each state the sequence can be in, with the status the device reports and
// the answer it gives to the command.
TEST(DownloadStep, EachTickReadsTheStatusAndCarriesOutTheCommand)
{
    struct Case {
        CS state;
        TC command;
        int status;
        qint32 answer;
        CS nextState;
        TC nextCommand;
        const char *executed; // "" for none
        const char *line;     // the line the tick adds, "" for none
    };
    const Case cases[] = {
        {CS::csNone, TC::tcStop, 15, 0, CS::csStop, TC::tcNone, "AppStop", "Requesting Stop"},
        {CS::csNone, TC::tcStop, 15, 2, CS::csNone, TC::tcStop, "AppStop",
         "Not able to stop application, errorcode 2"},
        {CS::csStop, TC::tcNone, 15, 0, CS::csStop, TC::tcNone, "", ""},
        {CS::csStop, TC::tcNone, 16, 0, CS::csDownload, TC::tcNone, "LoadCode:/plant/APPLI.XTI",
         "Requesting Download"},
        {CS::csStop, TC::tcNone, 19, 0, CS::csDownload, TC::tcNone, "LoadCode:/plant/APPLI.XTI",
         "Requesting Download"},
        {CS::csStop, TC::tcNone, 19, -1, CS::csStop, TC::tcDownload, "LoadCode:/plant/APPLI.XTI",
         "Not able to download application, errorcode -1"},
        {CS::csDownload, TC::tcNone, 16, 0, CS::csDownload, TC::tcNone, "", ""},
        {CS::csDownload, TC::tcStart, 16, 0, CS::csStart, TC::tcNone, "AppStart",
         "Requesting Start"},
        {CS::csStop, TC::tcStart, 15, 0, CS::csStart, TC::tcNone, "AppStart", "Requesting Start"},
        {CS::csDownload, TC::tcStart, 16, 103, CS::csDownload, TC::tcStart, "AppStart",
         "Not able to start application, errorcode 103"},
        {CS::csStart, TC::tcNone, 16, 0, CS::csStart, TC::tcNone, "", ""},
        {CS::csStart, TC::tcNone, 15, 0, CS::csStart, TC::tcNone, "", ""}, // closes, see below
        {CS::csDownload, TC::tcNone, 15, 0, CS::csDownload, TC::tcNone, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(name(c.state)) + " " + name(c.command) + " status " +
                     std::to_string(c.status) + " answer " + std::to_string(c.answer));
        ScriptedMiddleware middleware;
        middleware.status = c.status;
        middleware.onExecute = [&](const QString &) { return c.answer; };
        DownloadSession session(middleware);
        session.ProjectName = QStringLiteral("/plant/");
        session.CommandState = c.state;
        session.TimerCmd = c.command;
        session.Timer1Timer();
        EXPECT_EQ(name(session.CommandState), std::string(name(c.nextState)));
        EXPECT_EQ(name(session.TimerCmd), std::string(name(c.nextCommand)));
        EXPECT_EQ(middleware.executed.join(QLatin1Char('|')).toStdString(), c.executed);
        EXPECT_EQ(session.lines().join(QLatin1Char('|')).toStdString(), c.line);
        EXPECT_EQ(middleware.reads, 1);
    }
}

TEST(DownloadStep, RunningStatusAfterTheStartEndsTheDownloadWithResultOne)
{
    ScriptedMiddleware middleware;
    DownloadSession session(middleware);
    // The device runs the new application as soon as it is started.
    middleware.status = 16;
    middleware.onExecute = [&](const QString &command) {
        if (command.startsWith(QStringLiteral("LoadCode:")))
            middleware.post(K5MW_EVENT_APP_RECEIVED, 0);
        if (command == QStringLiteral("AppStart"))
            middleware.status = 15;
        return 0;
    };
    QTimer::singleShot(8000, &session, [&] { session.closeByUser(); });
    EXPECT_EQ(session.DownloadCode(QStringLiteral("10.0.0.9"), QStringLiteral("/plant")), 1);
    EXPECT_EQ(middleware.executed,
              (QStringList{"AppStop", "LoadCode:/plant/APPLI.XTI", "AppStart"}));
    EXPECT_EQ(session.lines(), (QStringList{"Downloading to IP : 10.0.0.9", "Requesting Stop",
                                            "Requesting Download", "Requesting Start"}));
    EXPECT_EQ(session.StateMsg(), QStringLiteral("Requesting Start"));
    EXPECT_EQ(session.caption(), QStringLiteral("Downloading to 10.0.0.9"));
    EXPECT_EQ(middleware.calls.first(), QStringLiteral("Connect 1124 Downloading to 10.0.0.9"));
    EXPECT_EQ(middleware.calls.mid(1, 1),
              QStringList{"OpenProject /plant/ K5NET5.DLL 10.0.0.9 1 0"});
    EXPECT_EQ(middleware.calls.mid(middleware.calls.size() - 2),
              (QStringList{"CloseProject 11 22", "Disconnect 11"}));
    EXPECT_EQ(session.CommClient, 0u);
    EXPECT_FALSE(session.Timer1.isActive());
}

TEST(DownloadStep, ApplicationReceivedWhileTheStopIsPendingStartsAtTheNextTick)
{
    ScriptedMiddleware middleware;
    DownloadSession session(middleware);
    // The device keeps reporting "running": the stop never shows, but the application
    // arrives, so the start is asked for without a load.
    middleware.onExecute = [&](const QString &command) {
        if (command == QStringLiteral("AppStop"))
            middleware.post(K5MW_EVENT_APP_RECEIVED, 0);
        return 0;
    };
    QTimer::singleShot(8000, &session, [&] { session.closeByUser(); });
    EXPECT_EQ(session.DownloadCode(QStringLiteral("rtu"), QStringLiteral("/plant/")), 1);
    EXPECT_EQ(middleware.executed, (QStringList{"AppStop", "AppStart"}));
    EXPECT_EQ(middleware.reads, 3);
}

TEST(DownloadStep, ProjectFolderGetsOneTrailingSeparator)
{
    struct Case {
        const char *folder;
        const char *load;
    };
    const Case cases[] = {
        {"/work/Plant", "LoadCode:/work/Plant/APPLI.XTI"},
        {"/work/Plant/", "LoadCode:/work/Plant/APPLI.XTI"},
        {"C:\\Work\\Plant\\", "LoadCode:C:\\Work\\Plant\\APPLI.XTI"},
        {"", "LoadCode:/APPLI.XTI"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        ScriptedMiddleware middleware;
        middleware.status = 16;
        DownloadSession session(middleware);
        // Stops after the load has been asked for.
        middleware.onExecute = [&](const QString &command) {
            if (command.startsWith(QStringLiteral("LoadCode:")))
                session.closeByUser();
            return 0;
        };
        QTimer::singleShot(8000, &session, [&] { session.closeByUser(); });
        EXPECT_EQ(session.DownloadCode(QStringLiteral("rtu"), QString::fromLatin1(c.folder)), 2);
        EXPECT_EQ(middleware.executed.value(1), QString::fromLatin1(c.load));
    }
}

TEST(DownloadStep, FailedStatusReadIsReportedAndMovesNothing)
{
    ScriptedMiddleware middleware;
    middleware.status = 16; // what the buffer would hold, were it read
    middleware.readResult = 101;
    DownloadSession session(middleware);
    session.CommandState = CS::csStop;
    session.Timer1Timer();
    session.Timer1Timer();
    EXPECT_EQ(session.lines(),
              (QStringList{"K5MW_GetBinValue returned 101", "K5MW_GetBinValue returned 101"}));
    EXPECT_EQ(session.TimerCmd, TC::tcNone);
    EXPECT_TRUE(middleware.executed.isEmpty());
}

TEST(DownloadStep, MiddlewareEventsUpdateTheViewAndTheStartRequest)
{
    struct Case {
        unsigned kind;
        unsigned value;
        const char *line;     // "" for none
        const char *stateMsg; // "" when unchanged
        int progress;
        TC command;
    };
    const Case cases[] = {
        {2, 7, "Comm Status : (2),7", "", 0, TC::tcNone},
        {4, 42, "", "", 42, TC::tcNone},
        {8, 1, "Event Connectin Status : (8),1", "", 0, TC::tcNone},
        {11, 5, "", "Orvane:Started", 0, TC::tcNone},
        {11, 6, "", "Orvane:Stop request received", 0, TC::tcNone},
        {11, 8, "", "Orvane:Start request received", 0, TC::tcNone},
        {11, 9, "", "Orvane:Stopped", 0, TC::tcNone},
        {11, 7, "", "", 0, TC::tcNone},
        {11, 0, "", "", 0, TC::tcNone},
        {12, 0, "", "Orvane:Application received", 0, TC::tcStart},
        {12, 99, "", "Orvane:Application received", 0, TC::tcStart},
        {3, 4, "CommServerEvent (W,L): 3,4", "", 0, TC::tcNone},
        {99, 0xFFFFFFFFu, "CommServerEvent (W,L): 99,-1", "", 0, TC::tcNone},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + "," + std::to_string(c.value));
        ScriptedMiddleware middleware;
        DownloadSession session(middleware);
        session.CommServerEvent(c.kind, c.value);
        EXPECT_EQ(session.lines().join(QLatin1Char('|')).toStdString(), c.line);
        EXPECT_EQ(session.StateMsg().toStdString(), c.stateMsg);
        EXPECT_EQ(session.progress(), c.progress);
        EXPECT_EQ(name(session.TimerCmd), std::string(name(c.command)));
    }
}

TEST(DownloadStep, MiddlewareThatCannotConnectEndsAtOnceWithResultThree)
{
    struct Case {
        quint32 client;
        quint32 project;
        QStringList lines;
        QStringList calls;
    };
    const Case cases[] = {
        {0, 22, {"Can not connect to K5MW library"}, {"Connect 1124 Downloading to rtu"}},
        {11,
         0,
         {"Downloading to IP : rtu", "Can not connect to T5 runtime or project"},
         {"Connect 1124 Downloading to rtu", "OpenProject /plant/ K5NET5.DLL rtu 1 0",
          "Disconnect 11"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lines.last().toStdString());
        ScriptedMiddleware middleware;
        middleware.client = c.client;
        middleware.project = c.project;
        DownloadSession session(middleware);
        int shown = 0;
        QObject::connect(&session, &DownloadSession::shown, [&shown] { ++shown; });
        EXPECT_EQ(session.DownloadCode(QStringLiteral("rtu"), QStringLiteral("/plant")), 3);
        EXPECT_EQ(session.lines(), c.lines);
        EXPECT_EQ(middleware.calls, c.calls);
        EXPECT_EQ(shown, 0);
    }
}

TEST(DownloadStep, EventsOfAnEndedDownloadAreDropped)
{
    ScriptedMiddleware middleware;
    DownloadSession session(middleware);
    middleware.onExecute = [&](const QString &) {
        session.closeByUser();
        return 0;
    };
    QTimer::singleShot(8000, &session, [&] { session.closeByUser(); });
    EXPECT_EQ(session.DownloadCode(QStringLiteral("rtu"), QStringLiteral("/plant")), 2);
    middleware.post(K5MW_EVENT_APP_STATE, 5); // after the close: a late event of that download
    QCoreApplication::processEvents();
    EXPECT_NE(session.StateMsg(), QStringLiteral("Orvane:Started"));
}
