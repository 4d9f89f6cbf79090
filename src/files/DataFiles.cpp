#include "files/DataFiles.h"

#include "platform/Text.h"

#include <algorithm>

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

bool refuseSettingsFile(OrvaModule& module, const std::string& fileName, const char* forWhat) {
    Platform& p = module.platform();
    if (!p.files.sameFile(fileName, module.settingsPath())) {
        return false;
    }
    const std::string& nl = module.state().NewLine;
    p.screen.messageBox("Unter diesem Namen speichert das Programm seine Einstellungen." + nl + nl +
                            "Bitte wählen Sie für " + forWhat + " einen anderen Dateinamen!",
                        MsgButtons::OK, MsgIcon::Exclamation);
    return true;
}

void DataFiles::Save() {
    s_.AskFileName = askBeforeSaving_ ? 1 : 0;
    SaveDataFile();
}

void DataFiles::SaveAs() {
    s_.AskFileName = 1;
    SaveDataFile();
}

void DataFiles::Quit() {
    if (mayDiscardText()) {
        module_.platform().screen.endProgram();
    }
}

bool DataFiles::mayDiscardText() {
    Platform& p = module_.platform();
    if (!p.text.modified()) {
        return true;
    }
    const int reply = p.screen.messageBox("Der Text wurde geändert." + s_.NewLine + s_.NewLine +
                                              "Möchten Sie die Änderungen speichern?",
                                          MsgButtons::YesNoCancel, MsgIcon::Question);
    if (reply == answer::Yes) {
        s_.AskFileName = askBeforeSaving_ ? 1 : 0;
        return SaveDataFile();
    }
    return reply == answer::No;
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

void DataFiles::enterFolderOf(const std::string& fullName) {
    const std::string folder = folderOf(fullName);
    if (!folder.empty()) {
        module_.platform().files.setCurrentDir(folder);
    }
}

void DataFiles::clearTextArea() {
    Platform& p = module_.platform();
    p.text.setText("");
    utf8_ = false;
    if (!shownFile_.empty()) {
        shownFile_.clear();
        askBeforeSaving_ = true;
        p.screen.setStatus("Status: ");
    }
}

void DataFiles::OpenDataFile() {
    Platform& p = module_.platform();
    if (!mayDiscardText()) {
        return;
    }
    try {
        const std::string dialogName = DialogFileName;
        const std::string folder = p.files.currentDir();
        FileDialogResult chosen;
        bool cancelled = false;
        retryWhileNotReady(
            [&] {
                if (!s_.DataFileName.empty()) {
                    DialogFileName = s_.DataFileName;
                }
                const auto result =
                    p.dialog.showOpen({kFileFilter, 2, kFileDialogFlags, DialogFileName, {}});
                cancelled = !result;
                if (result) {
                    chosen = *result;
                    DialogFileName = chosen.fileName;
                    enterFolderOf(chosen.fileName);
                }
            },
            kNoDisk, MsgIcon::Exclamation);
        if (cancelled) {
            return;
        }
        if (!p.files.fileExists(chosen.fileTitle)) {
            s_.DataFileName = chosen.fileTitle;
            p.screen.messageBox("Datei existiert nicht!");
            return;
        }
        p.screen.setPointer(Pointer::Hourglass);
        std::string bytes;
        std::string refusal;
        retryWhileNotReady(
            [&] {
                if (p.files.fileSize(chosen.fileTitle) > kMaxOpenBytes) {
                    refusal = "Sie ist größer als " + std::to_string(kMaxOpenBytes >> 20) +
                              " MB; so große Dateien kann das Programm nicht anzeigen.";
                    return;
                }
                bytes = p.files.readFile(chosen.fileTitle);
            },
            kNoDisk, MsgIcon::Exclamation);
        if (refusal.empty() && bytes.find('\0') != std::string::npos) {
            refusal = "Sie enthält Null-Bytes und ist daher keine Textdatei.";
        }
        if (!refusal.empty()) {
            // Nothing changes, not even the dialog's folder: "Speichern" still writes where the
            // text area's text came from.
            DialogFileName = dialogName;
            p.files.setCurrentDir(folder);
            p.screen.setPointer(Pointer::Arrow);
            p.screen.messageBox("Diese Datei wird nicht geöffnet." + s_.NewLine + s_.NewLine +
                                    refusal,
                                MsgButtons::OK, MsgIcon::Exclamation);
            return;
        }
        s_.DataFileName = chosen.fileTitle;
        p.screen.setStatus("Datei-Pfad: " + chosen.fileName);
        // Plain ASCII reads the same either way and stays Windows-1252 when umlauts are added.
        utf8_ = isUtf8(bytes) &&
                std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
        p.text.setText(utf8_ ? bytes : cp1252ToUtf8(bytes));
        shownFile_ = chosen.fileName;
        askBeforeSaving_ = false;
        p.screen.setPointer(Pointer::Arrow);
        p.text.setFocus();
    } catch (const RunTimeError& e) {
        // Reported once; the command ends instead of trying the failing step forever.
        module_.ReportRunTimeError(e);
    }
}

bool DataFiles::SaveDataFile() {
    Platform& p = module_.platform();
    try {
        bool ask = s_.DataFileName.empty() || s_.AskFileName == 1;
        bool chosenInDialog = false;
        do {
            if (ask) {
                bool cancelled = false;
                retryWhileNotReady(
                    [&] {
                        const auto chosen =
                            p.dialog.showSave({kFileFilter, 2, kFileDialogFlags, DialogFileName,
                                               module_.settingsPath()});
                        cancelled = !chosen;
                        if (chosen) {
                            DialogFileName = chosen->fileName;
                            enterFolderOf(chosen->fileName);
                            s_.DataFileName = chosen->fileTitle;
                        }
                    },
                    kNoDisk, MsgIcon::None);
                if (cancelled) {
                    return false;
                }
                chosenInDialog = true;
            }
            ask = true;
        } while (refuseSettingsFile(module_, s_.DataFileName, "den Bericht"));
        p.screen.setPointer(Pointer::Hourglass);
        // The file holds this text already; writing it again would only change its bytes
        // (one more line end, CR LF for lone line ends).
        const bool unchanged = !chosenInDialog && !shownFile_.empty() && !p.text.modified() &&
                               p.files.sameFile(s_.DataFileName, shownFile_);
        if (!unchanged) {
            const std::string text = p.text.text() + s_.NewLine;
            retryWhileNotReady(
                [&] { p.files.writeFile(s_.DataFileName, utf8_ ? text : utf8ToCp1252(text)); },
                kNoDisk, MsgIcon::None);
        }
        s_.AskFileName = 0;
        shownFile_ = joinPath(p.files.currentDir(), s_.DataFileName);
        askBeforeSaving_ = false;
        p.text.resetModified();
        p.text.setFocus();
        p.screen.setPointer(Pointer::Arrow);
        return true;
    } catch (const RunTimeError& e) {
        // Reported once; the command ends instead of trying the failing step forever.
        module_.ReportRunTimeError(e);
        return false;
    }
}

void DataFiles::PrintTextArea() {
    Platform& p = module_.platform();
    const std::string notReady = kNoDisk + s_.NewLine + s_.NewLine +
                                 "und quittieren, sobald die Laufwerks-Kontrollampe erlischt.";
    try {
        std::optional<int> chosen;
        retryWhileNotReady([&] { chosen = p.dialog.showPrinter(kPrintDialogFlags); }, notReady,
                           MsgIcon::None);
        if (!chosen) {
            return;
        }
        const int copies = *chosen;
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
        module_.ReportRunTimeError(e);
    }
}

} // namespace orva
