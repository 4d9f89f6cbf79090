#pragma once

#include "app/ORVA_DS.h"

#include <functional>
#include <string>

namespace orva {

inline constexpr const char* kFileFilter =
    "Alle Dateien (*.*)|*.*|Textdateien (*.txt)|*.txt|Stapeldateien (*.bat)|*.bat";
inline constexpr int kFileDialogFlags = 6;         // ask before overwriting, no read-only box
inline constexpr int kPrintDialogFlags = 0x10000C; // no selection, no page range, no file box
inline constexpr int kPrintOffsetTwips = 1000;

// The File menu: open a text file into the text area, save the text area, print it, quit.
// The downloads save their reports through `SaveDataFile`.
class DataFiles {
public:
    DataFiles(ORVA_DS& state, OrvaModule& module) : s_(state), module_(module) {}

    void mnuDateiU_Click(int index);
    void OpenDataFile();
    void SaveDataFile();
    void PrintTextArea();
    // Empties the text area for a command's output. From then on the file that was shown is no
    // longer what the user sees, so "Speichern" must ask before it writes.
    void clearTextArea();

    // The file dialog's own file name: what it proposes next time (a download's proposed name,
    // or the full name of the file chosen in the last dialog).
    std::string DialogFileName;

private:
    // Runs one step; while the drive is not ready, shows `notReadyText` and tries again.
    void retryWhileNotReady(const std::function<void()>& step, const std::string& notReadyText,
                            MsgIcon icon);
    void reportUnlessCancelled(const RunTimeError& e);
    // The chosen file's folder becomes the current directory, where its bare name resolves.
    void enterFolderOf(const std::string& fullName);
    // A chosen name may never replace the settings file; asks again until it is another.
    bool isSettingsFile(const std::string& fileName);

    // The text area shows the file named by `DataFileName`, as opened or saved.
    bool showsFile_ = false;
    // A command cleared the text area that showed a file: "Speichern" asks for a name.
    bool askBeforeSaving_ = false;

    ORVA_DS& s_;
    OrvaModule& module_;
};

} // namespace orva
