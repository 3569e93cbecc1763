#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "download/MiddlewareLibrary.h"
#include "project/TK5DB.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

namespace {

int runWithoutWindow(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessily"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = runCommandLine(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}

} // namespace

// With arguments the program runs a command; without, it opens the window.
int main(int argc, char **argv)
{
    if (argc > 1)
        return runWithoutWindow(argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessily"));
    // The project database wrapper and the middleware are made before any window.
    TK5DB db;
    MiddlewareLibrary middleware;
    MainWindow window(db, middleware, Settings::historyFilePath());
    window.show();
    return app.exec();
}
