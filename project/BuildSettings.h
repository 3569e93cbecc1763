#pragma once

#include <QString>

class QSettings;

// The stored options the project build reads. The window's options dialog edits them; the
// command line reads them and may override each for one run.
struct BuildSettings {
    bool DeleteAppliXML = true; // delete the project's appli.xml before writing
    bool DebugGen = true;       // force the project option DEBUG on
    bool EmbedSymb = true;      // force the project option EMBEDSYMBOLS on
    bool ForceVSI = false;      // force the project option VSI on

    // The options as stored: 32-bit integers 0 or 1 under their names. A value that is missing
    // or not a number keeps its default.
    static BuildSettings read(const QSettings &store);
    void write(QSettings &store) const;
};

// The user's option store of this program.
QString settingsOrganization();
QString settingsApplication();
