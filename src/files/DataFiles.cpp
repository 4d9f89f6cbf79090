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

// Runs one step; while the drive is not ready, shows `notReadyText` and tries again.
template <class Step>
auto retryWhileNotReady(Screen& screen, const std::string& notReadyText, MsgIcon icon,
                        const Step& step) {
    for (;;) {
        auto outcome = step();
        if (outcome.error() != err::DiskNotReady) {
            return outcome;
        }
        screen.messageBox(notReadyText, MsgButtons::OK, icon);
    }
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

Outcome<> DataFiles::Save() {
    s_.AskFileName = askBeforeSaving_ ? 1 : 0;
    return SaveDataFile();
}

Outcome<> DataFiles::SaveAs() {
    s_.AskFileName = 1;
    return SaveDataFile();
}

Outcome<> DataFiles::Quit() {
    const Outcome<bool> discard = mayDiscardText();
    if (discard && *discard) {
        module_.platform().screen.endProgram();
    }
    return discard;
}

Outcome<bool> DataFiles::mayDiscardText() {
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

Outcome<> DataFiles::enterFolderOf(const std::string& fullName) {
    const std::string folder = folderOf(fullName);
    return folder.empty() ? Outcome<>() : module_.platform().files.setCurrentDir(folder);
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

Outcome<> DataFiles::OpenDataFile() {
    Platform& p = module_.platform();
    if (const Outcome<bool> discard = mayDiscardText(); !discard || !*discard) {
        return discard;
    }
    const std::string dialogName = DialogFileName;
    const std::string folder = p.files.currentDir();
    std::optional<FileDialogResult> chosen;
    const Outcome<> entered =
        retryWhileNotReady(p.screen, kNoDisk, MsgIcon::Exclamation, [&]() -> Outcome<> {
            if (!s_.DataFileName.empty()) {
                DialogFileName = s_.DataFileName;
            }
            chosen = p.dialog.showOpen({kFileFilter, 2, kFileDialogFlags, DialogFileName, {}});
            if (!chosen) {
                return {};
            }
            DialogFileName = chosen->fileName;
            return enterFolderOf(chosen->fileName);
        });
    if (!entered || !chosen) {
        return entered;
    }
    if (!p.files.fileExists(chosen->fileTitle)) {
        s_.DataFileName = chosen->fileTitle;
        p.screen.messageBox("Datei existiert nicht!");
        return {};
    }
    p.screen.setPointer(Pointer::Hourglass);
    std::string refusal;
    Outcome<std::string> read =
        retryWhileNotReady(p.screen, kNoDisk, MsgIcon::Exclamation, [&]() -> Outcome<std::string> {
            const Outcome<std::uintmax_t> size = p.files.fileSize(chosen->fileTitle);
            if (size && *size > kMaxOpenBytes) {
                refusal = "Sie ist größer als " + std::to_string(kMaxOpenBytes >> 20) +
                          " MB; so große Dateien kann das Programm nicht anzeigen.";
                return std::string();
            }
            return size ? p.files.readFile(chosen->fileTitle) : size.failure();
        });
    if (!read) {
        return read;
    }
    const std::string& bytes = *read;
    if (refusal.empty() && bytes.find('\0') != std::string::npos) {
        refusal = "Sie enthält Null-Bytes und ist daher keine Textdatei.";
    }
    if (!refusal.empty()) {
        // Nothing changes, not even the dialog's folder: "Speichern" still writes where the
        // text area's text came from.
        DialogFileName = dialogName;
        if (const Outcome<> back = p.files.setCurrentDir(folder); !back) {
            return back;
        }
        p.screen.setPointer(Pointer::Arrow);
        p.screen.messageBox("Diese Datei wird nicht geöffnet." + s_.NewLine + s_.NewLine + refusal,
                            MsgButtons::OK, MsgIcon::Exclamation);
        return {};
    }
    s_.DataFileName = chosen->fileTitle;
    p.screen.setStatus("Datei-Pfad: " + chosen->fileName);
    // Plain ASCII reads the same either way and stays Windows-1252 when umlauts are added.
    utf8_ = isUtf8(bytes) &&
            std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
    p.text.setText(utf8_ ? bytes : cp1252ToUtf8(bytes));
    shownFile_ = chosen->fileName;
    askBeforeSaving_ = false;
    p.screen.setPointer(Pointer::Arrow);
    p.text.setFocus();
    return {};
}

Outcome<bool> DataFiles::SaveDataFile() {
    Platform& p = module_.platform();
    bool ask = s_.DataFileName.empty() || s_.AskFileName == 1;
    bool chosenInDialog = false;
    do {
        if (ask) {
            std::optional<FileDialogResult> chosen;
            const Outcome<> entered =
                retryWhileNotReady(p.screen, kNoDisk, MsgIcon::None, [&]() -> Outcome<> {
                    chosen = p.dialog.showSave(
                        {kFileFilter, 2, kFileDialogFlags, DialogFileName, module_.settingsPath()});
                    if (!chosen) {
                        return {};
                    }
                    DialogFileName = chosen->fileName;
                    return enterFolderOf(chosen->fileName);
                });
            if (!entered) {
                return entered.failure();
            }
            if (!chosen) {
                return false;
            }
            s_.DataFileName = chosen->fileTitle;
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
        const Outcome<> written = retryWhileNotReady(p.screen, kNoDisk, MsgIcon::None, [&] {
            return p.files.writeFile(s_.DataFileName, utf8_ ? text : utf8ToCp1252(text));
        });
        if (!written) {
            return written.failure();
        }
    }
    s_.AskFileName = 0;
    shownFile_ = joinPath(p.files.currentDir(), s_.DataFileName);
    askBeforeSaving_ = false;
    p.text.resetModified();
    p.text.setFocus();
    p.screen.setPointer(Pointer::Arrow);
    return true;
}

Outcome<> DataFiles::PrintTextArea() {
    Platform& p = module_.platform();
    const std::string notReady = kNoDisk + s_.NewLine + s_.NewLine +
                                 "und quittieren, sobald die Laufwerks-Kontrollampe erlischt.";
    const std::optional<int> copies = p.dialog.showPrinter(kPrintDialogFlags);
    if (!copies) {
        return {};
    }
    auto step = [&](const auto& call) {
        return retryWhileNotReady(p.screen, notReady, MsgIcon::None, call);
    };
    Outcome<> printed;
    for (int copy = 1; copy <= *copies && printed; ++copy) {
        printed = step(
            [&] { return p.printer.print(p.text.text(), kPrintOffsetTwips, kPrintOffsetTwips); });
        if (printed) {
            printed = step([&] { return p.printer.newPage(); });
        }
    }
    if (!printed) {
        // Close the job, so that the next print starts a job of its own.
        (void)p.printer.endDoc();
        return printed;
    }
    printed = step([&] { return p.printer.endDoc(); });
    if (printed) {
        p.text.setFocus();
    }
    return printed;
}

} // namespace orva
