#include "files/DataFiles.h"

#include "platform/Text.h"

namespace orva {
namespace {

const std::string kNoDisk = "  Keine Diskette!    Legen Sie eine Diskette in das Laufwerk ein";

std::string folderOf(const std::string& fullName) {
    const auto slash = fullName.find_last_of("/\\");
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? fullName.substr(0, 1) : fullName.substr(0, slash);
}

} // namespace

void DataFiles::mnuDateiU_Click(int index) {
    switch (index) {
    case 0:
        OpenDataFile();
        break;
    case 1:
        s_.AskFileName = askBeforeSaving_ ? 1 : 0;
        SaveDataFile();
        break;
    case 2:
        s_.AskFileName = 1;
        SaveDataFile();
        break;
    case 4:
        PrintTextArea();
        break;
    case 6:
        module_.platform().screen.endProgram();
        break;
    default:
        break;
    }
}

void DataFiles::retryWhileNotReady(const std::function<void()>& step,
                                   const std::string& notReadyText, MsgIcon icon) {
    for (;;) {
        try {
            step();
            return;
        } catch (const RunTimeError& e) {
            if (e.number() != err::DiskNotReady) {
                throw;
            }
            module_.platform().screen.messageBox(notReadyText, MsgButtons::OK, icon);
        }
    }
}

void DataFiles::reportUnlessCancelled(const RunTimeError& e) {
    // Reported once; the command ends instead of trying the failing step forever. A cancelled
    // dialog ends it without a word.
    if (e.number() != err::DialogCancelled) {
        module_.ReportRunTimeError(e);
    }
}

void DataFiles::enterFolderOf(const std::string& fullName) {
    const std::string folder = folderOf(fullName);
    if (!folder.empty()) {
        module_.platform().files.setCurrentDir(folder);
    }
}

void DataFiles::clearTextArea() {
    Platform& p = module_.platform();
    p.text.setText("");
    if (showsFile_) {
        showsFile_ = false;
        askBeforeSaving_ = true;
        p.screen.setStatus("Status: ");
    }
}

bool DataFiles::isSettingsFile(const std::string& fileName) {
    Platform& p = module_.platform();
    if (!p.files.sameFile(fileName, module_.settingsPath())) {
        return false;
    }
    p.screen.messageBox("Unter diesem Namen speichert das Programm seine Einstellungen." +
                            s_.NewLine + s_.NewLine +
                            "Bitte wählen Sie für den Bericht einen anderen Dateinamen!",
                        MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}

void DataFiles::OpenDataFile() {
    Platform& p = module_.platform();
    try {
        FileDialogResult chosen;
        retryWhileNotReady(
            [&] {
                if (!s_.DataFileName.empty()) {
                    DialogFileName = s_.DataFileName;
                }
                chosen = p.dialog.showOpen({kFileFilter, 2, kFileDialogFlags, DialogFileName});
                DialogFileName = chosen.fileName;
                enterFolderOf(chosen.fileName);
            },
            kNoDisk, MsgIcon::Exclamation);
        s_.DataFileName = chosen.fileTitle;
        if (!p.files.fileExists(s_.DataFileName)) {
            p.screen.messageBox("Datei existiert nicht!");
            return;
        }
        p.screen.setStatus("Datei-Pfad: " + chosen.fileName);
        p.screen.setPointer(Pointer::Hourglass);
        std::string content;
        retryWhileNotReady([&] { content = cp1252ToUtf8(p.files.readFile(s_.DataFileName)); },
                           kNoDisk, MsgIcon::Exclamation);
        p.text.setText(content);
        showsFile_ = true;
        askBeforeSaving_ = false;
        p.screen.setPointer(Pointer::Arrow);
        p.text.setFocus();
    } catch (const RunTimeError& e) {
        reportUnlessCancelled(e);
    }
}

void DataFiles::SaveDataFile() {
    Platform& p = module_.platform();
    try {
        bool ask = s_.DataFileName.empty() || s_.AskFileName == 1;
        do {
            if (ask) {
                retryWhileNotReady(
                    [&] {
                        const FileDialogResult chosen =
                            p.dialog.showSave({kFileFilter, 2, kFileDialogFlags, DialogFileName});
                        DialogFileName = chosen.fileName;
                        enterFolderOf(chosen.fileName);
                        s_.DataFileName = chosen.fileTitle;
                    },
                    kNoDisk, MsgIcon::None);
            }
            ask = true;
        } while (isSettingsFile(s_.DataFileName));
        p.screen.setPointer(Pointer::Hourglass);
        retryWhileNotReady(
            [&] { p.files.writeFile(s_.DataFileName, utf8ToCp1252(p.text.text() + s_.NewLine)); },
            kNoDisk, MsgIcon::None);
        s_.AskFileName = 0;
        showsFile_ = true;
        askBeforeSaving_ = false;
        p.text.setFocus();
        p.screen.setPointer(Pointer::Arrow);
    } catch (const RunTimeError& e) {
        reportUnlessCancelled(e);
    }
}

void DataFiles::PrintTextArea() {
    Platform& p = module_.platform();
    const std::string notReady = kNoDisk + s_.NewLine + s_.NewLine +
                                 "und quittieren, sobald die Laufwerks-Kontrollampe erlischt.";
    try {
        int copies = 0;
        retryWhileNotReady([&] { copies = p.dialog.showPrinter(kPrintDialogFlags); }, notReady,
                           MsgIcon::None);
        try {
            for (int copy = 1; copy <= copies; ++copy) {
                retryWhileNotReady(
                    [&] { p.printer.print(p.text.text(), kPrintOffsetTwips, kPrintOffsetTwips); },
                    notReady, MsgIcon::None);
                retryWhileNotReady([&] { p.printer.newPage(); }, notReady, MsgIcon::None);
            }
        } catch (const RunTimeError&) {
            // Close the job, so that the next print starts a job of its own.
            try {
                p.printer.endDoc();
            } catch (const RunTimeError&) {
            }
            throw;
        }
        retryWhileNotReady([&] { p.printer.endDoc(); }, notReady, MsgIcon::None);
        p.text.setFocus();
    } catch (const RunTimeError& e) {
        // A cancelled dialog lands here too; its report shows nothing.
        module_.ReportRunTimeError(e);
    }
}

} // namespace orva
