#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// The window is a program of its own beside this one, so that a command does not load the
// window's libraries (a third of a command's memory) only to leave them unused.
int startWindow(int argc, char **argv)
{
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tessily-window"));
    const QByteArray path = QFile::encodeName(program);
    std::vector<char *> arguments{const_cast<char *>(path.constData())};
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    arguments.push_back(nullptr);
    execv(path.constData(), arguments.data());
    std::fprintf(stderr, "Tessily: cannot start the window %s: %s\n", path.constData(),
                 std::strerror(errno));
    return 1;
}

} // namespace

// With arguments the program runs a command; without, it opens the window.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessily"));
    if (argc <= 1)
        return startWindow(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = runCommandLine(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
