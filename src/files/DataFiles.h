#pragma once

#include "app/ORVA_DS.h"

#include <cstdint>
#include <string>

namespace orva {

inline constexpr const char* kFileFilter =
    "Alle Dateien (*.*)|*.*|Textdateien (*.txt)|*.txt|Stapeldateien (*.bat)|*.bat";
inline constexpr int kFileDialogFlags = 6;         // ask before overwriting, no read-only box
inline constexpr int kPrintDialogFlags = 0x10000C; // no selection, no page range, no file box
inline constexpr int kPrintOffsetTwips = 1000;
// Larger files are not opened. A report takes about 410 bytes a day, so this holds a century
// of days, far more than the device stores; the text area needs seconds for it already.
inline constexpr std::uintmax_t kMaxOpenBytes = std::uintmax_t{16} << 20;

// True, after saying so in a box, when `fileName` names the settings file, which no report or
// export may replace. `forWhat` completes "Bitte wählen Sie für … einen anderen Dateinamen!".
bool refuseSettingsFile(OrvaModule& module, const std::string& fileName, const char* forWhat);

// The File menu: open a text file into the text area, save the text area, print it, quit.
// The downloads save their reports through `SaveDataFile`. What fails is returned, for the
// command to report; only the questions (drive not ready, save the changes) are asked here.
class DataFiles {
public:
    DataFiles(ORVA_DS& state, OrvaModule& module) : s_(state), module_(module) {}

    // The items of the File menu `mnuDateiU`.
    Outcome<> OpenDataFile(); // "Ö&ffnen"
    Outcome<> Save();         // "&Speichern"
    Outcome<> SaveAs();       // "Speichern &unter"
    Outcome<> Quit();         // "&Beenden"
    // True when the text area's text is in the file afterwards, false when the user cancelled.
    Outcome<bool> SaveDataFile();
    Outcome<> PrintTextArea();
    // Before the text area is replaced or the program ends: text the user changed is offered
    // for saving. False when it must stay (the user said so, or it was not saved).
    Outcome<bool> mayDiscardText();
    // Empties the text area for a command's output. From then on the file that was shown is no
    // longer what the user sees, so "Speichern" must ask before it writes.
    void clearTextArea();

    // The file dialog's own file name: what it proposes next time (a download's proposed name,
    // or the full name of the file chosen in the last dialog).
    std::string DialogFileName;

private:
    // The chosen file's folder becomes the current directory, where its bare name resolves.
    Outcome<> enterFolderOf(const std::string& fullName);
    // Full name of the file the text area shows, as opened or saved; empty once a command
    // cleared the area.
    std::string shownFile_;
    // A command cleared the text area that showed a file: "Speichern" asks for a name.
    bool askBeforeSaving_ = false;
    // The text came from a UTF-8 file and is saved as UTF-8 again.
    bool utf8_ = false;

    ORVA_DS& s_;
    OrvaModule& module_;
};

} // namespace orva
