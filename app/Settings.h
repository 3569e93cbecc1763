#pragma once

#include "project/BuildSettings.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

struct OptionStore;

// Where the window goes when it opens.
enum class WindowPlacement : std::uint8_t {
    Designed,      // the designed position and size: the stored options could not be read
    SystemDefault, // placed by the system, 460 x 660 pixels
    Stored,        // the stored position and size
};

// The user's choices between runs: the options (in the user's option store) and the workbook
// history with the boxes' selections (in the INI history file). Read once when the window
// opens and written once when it closes; the options dialog edits them in between.
class Settings {
public:
    static constexpr int kWorkbookBoxes = 4;
    static constexpr int kDefaultWidth = 460;
    static constexpr int kDefaultHeight = 660;

    // The options, with their defaults.
    bool StartStraton = true;   // start the workbench after Generate
    bool Download = true;       // download to the device after Generate
    bool ShowDebug = false;     // show the template view
    bool DebugGen = true;       // force the project option DEBUG on
    bool ForceVSI = false;      // force the project option VSI on
    bool EmbedSymb = true;      // force the project option EMBEDSYMBOLS on
    bool DeleteAppliXML = true; // delete the project's appli.xml during the project build
    bool SaveWindowPosition = false;
    // Read the workbooks through LibreOffice Calc. Stored apart from the options above, so a
    // store without it still reads them all.
    bool UseLibreOffice = false;

    WindowPlacement Placement = WindowPlacement::Designed;
    // Left, Top, Width, Height: as read when Placement is Stored; the window sets it before
    // the options are saved.
    QRect Geometry{0, 0, kDefaultWidth, kDefaultHeight};

    QStringList SheetsHistory;                  // the workbook paths, in list order
    std::array<int, kWorkbookBoxes> LastUsed{}; // each box's selected index; -1: none
    bool Exp = false;                           // the extra workbooks panel is shown

    // Reads the options in their fixed order. The first value that is missing or not a number
    // ends the reading: the values read before it stay, the later ones keep their defaults,
    // the placement stays Designed, and the result is false.
    bool loadOptions(OptionStore &store);
    // Writes the options in their fixed order; Top and Left only when SaveWindowPosition.
    void saveOptions(OptionStore &store) const;

    // Reads the history file; a missing or unreadable file gives an empty history, index 0
    // in every box and the panel hidden.
    void loadHistory(const QString &path);
    // Rewrites the history section and the selections, keeping everything else of the file.
    // Throws Failure naming the file when it cannot be written.
    void saveHistory(const QString &path) const;

    BuildSettings buildSettings() const;

    // The history file: the executable's path with ".ini" for its extension when that folder
    // is writable, else the same file name in the user's configuration folder.
    static QString historyFilePath(const QString &executablePath, const QString &configFolder);
    static QString historyFilePath();
};
