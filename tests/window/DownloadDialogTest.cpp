#include "app/DownloadDialog.h"
#include "download/DownloadSession.h"
#include "download/ScriptedMiddleware.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>
#include <functional>
#include <gmock/gmock.h>

using ::testing::Contains;

namespace {

// A session over a scripted middleware with its dialog; `whenShown` runs once the dialog is up.
struct DialogDownload {
    ScriptedMiddleware middleware;
    DownloadSession session{middleware};
    DownloadDialog dialog{session};
    bool visibleWhileWaiting = false;
    QString caption;

    int run(const std::function<void()> &whenShown = {})
    {
        QObject::connect(&session, &DownloadSession::shown, &dialog, [this, whenShown] {
            visibleWhileWaiting = dialog.isVisible();
            caption = dialog.windowTitle();
            if (whenShown)
                QTimer::singleShot(0, &dialog, whenShown);
        });
        return session.DownloadCode("10.0.0.7", "/p/Plant");
    }

    QStringList lines() const
    {
        QStringList texts;
        auto *list = dialog.findChild<QListWidget *>("ListBox1");
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    QString stateMsg() const { return dialog.findChild<QLabel *>("StateMsg")->text(); }
    int progress() const { return dialog.findChild<QProgressBar *>("ProgressBar1")->value(); }
};

} // namespace

TEST(DownloadDialog, ShowsTheSessionUntilTheDeviceRunsTheNewApplication)
{
    DialogDownload download;
    download.middleware.onExecute = [&download](const QString &command) {
        if (command == "AppStop")
            download.middleware.status = 19;
        if (command.startsWith("LoadCode:")) {
            download.middleware.post(4, 60);
            download.middleware.post(12, 0);
        }
        if (command == "AppStart")
            download.middleware.status = 15;
        return 0;
    };
    EXPECT_EQ(download.run(), DownloadSession::kDownloaded);
    EXPECT_TRUE(download.visibleWhileWaiting);
    EXPECT_EQ(download.caption, "Downloading to 10.0.0.7");
    EXPECT_TRUE(download.dialog.isHidden());
    EXPECT_THAT(download.lines(), Contains("Downloading to IP : 10.0.0.7"));
    EXPECT_THAT(download.lines(), Contains("Requesting Download"));
    EXPECT_EQ(download.lines().back(), "Requesting Start");
    EXPECT_EQ(download.stateMsg(), "Requesting Start");
    EXPECT_EQ(download.progress(), 60);
}

TEST(DownloadDialog, ClosingItEndsTheDownloadWithResultTwo)
{
    struct Case {
        const char *what;
        std::function<void(DownloadDialog &)> close;
    };
    const Case cases[] = {
        {"close box", [](DownloadDialog &dialog) { dialog.close(); }},
        {"escape",
         [](DownloadDialog &dialog) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&dialog, &escape);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DialogDownload download;
        download.middleware.status = 15; // the device never reports the stop
        EXPECT_EQ(download.run([&] { c.close(download.dialog); }), DownloadSession::kClosedByUser);
        EXPECT_TRUE(download.visibleWhileWaiting);
        EXPECT_TRUE(download.dialog.isHidden());
        EXPECT_THAT(download.middleware.calls, Contains("Disconnect 11"));
    }
}

TEST(DownloadDialog, NotShownWhenTheMiddlewareCannotConnect)
{
    DialogDownload download;
    download.middleware.client = 0;
    EXPECT_EQ(download.run(), DownloadSession::kNotConnected);
    EXPECT_FALSE(download.visibleWhileWaiting);
    EXPECT_TRUE(download.dialog.isHidden());
    EXPECT_THAT(download.lines(), Contains("Can not connect to K5MW library"));
}
