#pragma once

#include <QString>
#include <QStringList>

// One of the window's workbook choosers: a drop-down list whose entry 0 is "Use active sheet
// in Excel" and whose other entries are full workbook paths. The window wraps it; the command
// line and tests fill it directly.
struct WorkbookChooser {
    static QString useActiveEntry() { return QStringLiteral("Use active sheet in Excel"); }

    QStringList entries{useActiveEntry()};
    int selectedIndex = 0; // -1: nothing selected

    // A chooser with entry 1 selected: the workbook at `path`.
    static WorkbookChooser forPath(const QString &path)
    {
        WorkbookChooser chooser;
        chooser.entries << path;
        chooser.selectedIndex = 1;
        return chooser;
    }
};
