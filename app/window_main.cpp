#include "app/MainWindow.h"
#include "app/Settings.h"
#include "download/MiddlewareLibrary.h"
#include "project/TK5DB.h"

#include <QApplication>

// The window: `tessily` without arguments starts this program.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessily"));
    // The project database wrapper and the middleware are made before any window.
    TK5DB db;
    MiddlewareLibrary middleware;
    MainWindow window(db, middleware, Settings::historyFilePath());
    window.show();
    return app.exec();
}
