#pragma once

#include "project/BuildSettings.h"
#include "project/TK5DB.h"
#include "run/ProjectUpdate.h"
#include "support/GenerationFixture.h"

#include <QDir>
#include <QProcess>

// A generation run that writes its project through the stand-in project database, into the
// fixture's temporary folder (B3 is relative to the workbook there).
struct ProjectFixture : GenerationFixture {
    TK5DB db;
    BuildSettings settings;

    ProjectFixture() { run.setProjectUpdater(makeProjectUpdater(run, state, log, db, settings)); }

    // Settings are copied into the updater: call this after changing them.
    void useSettings() { run.setProjectUpdater(makeProjectUpdater(run, state, log, db, settings)); }

    QString projectPath(const QString &name = {}) const
    {
        const QString folder = dir.filePath(project);
        return name.isEmpty() ? folder : QDir(folder).filePath(name);
    }
    // The project as k5db-dump prints it.
    QString dump(const QString &folder = {}) const
    {
        QProcess p;
        p.start(QStringLiteral(TESSILY_BIN "/k5db-dump"),
                {folder.isEmpty() ? projectPath() : folder});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    QByteArray fileBytes(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFileBytes(const QString &path, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};
