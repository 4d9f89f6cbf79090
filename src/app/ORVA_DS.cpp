#include "app/ORVA_DS.h"

#include "app/SequentialInput.h"
#include "platform/Text.h"

#include <new>

namespace orva {

std::string OrvaModule::settingsPath() const {
    return joinPath(s_.SettingsFolder, kSettingsFileName);
}

Outcome<> OrvaModule::ReadSettings() {
    const std::string path = settingsPath();
    if (!p_.files.fileExists(path)) {
        const Outcome<> made = p_.files.writeFile(path, settingsLine(Settings{}) + "\r\n");
        if (made) {
            s_.settings = Settings{};
        }
        return made;
    }
    const Outcome<std::string> bytes = p_.files.readFile(path);
    if (!bytes) {
        return bytes;
    }
    // Only the last item of the file counts.
    std::optional<std::string> line;
    forEachInputItem(*bytes, [&](std::string_view item) { line = item; });
    if (const std::optional<Settings> read = parseSettings(line.value_or(""))) {
        s_.settings = *read;
        return {};
    }
    return replaceInvalidSettings();
}

Outcome<> OrvaModule::replaceInvalidSettings() {
    s_.settings = Settings{};
    const Outcome<> written = WriteSettings();
    p_.screen.messageBox(
        "Die Einstellungsdatei ORVAInit.txt enthielt keine gültigen Einstellungen." + s_.NewLine +
            s_.NewLine +
            "Sie wurde durch die Grundeinstellung ersetzt: beide Richtungen, Stunden, "
            "06:00 bis 18:00 Uhr, Schnittstelle COM2.",
        MsgButtons::OK, MsgIcon::Exclamation);
    return written;
}

Outcome<> OrvaModule::WriteSettings() {
    return p_.files.writeFile(settingsPath(), settingsLine(s_.settings) + "\r\n");
}

Outcome<> OrvaModule::ApplyPortSettings() {
    // The serial control reports its failures as run-time errors.
    try {
        p_.comm.setCommPort(s_.settings.port);
        p_.comm.setSettings(kLineParameters);
        p_.comm.setInputLen(1);
    } catch (const RunTimeError& e) {
        return Failure{e.number()};
    }
    return {};
}

std::optional<Date> OrvaModule::AskDate(const std::string& prompt, const std::string& title,
                                        int currentYear) {
    for (;;) {
        const std::string typed = p_.screen.inputBox(prompt, title);
        const std::optional<Date> date = parseGermanDate(typed, currentYear);
        if (typed.empty() || date) {
            return date;
        }
    }
}

bool OrvaModule::runStep(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const RunTimeError& e) {
        ReportRunTimeError(e);
    } catch (const std::bad_alloc&) {
        ReportRunTimeError(RunTimeError(err::OutOfMemory));
    } catch (const std::exception& e) {
        ReportRunTimeError(RunTimeError(err::Internal, e.what()));
    }
    return false;
}

void OrvaModule::ReportTransferError() {
    p_.screen.setPointer(Pointer::Arrow);
    p_.screen.setStatus("Status: Fehler");
    p_.screen.messageBox("Übertragungsfehler!\n\nBitte prüfen Sie die Kabelverbindungen\n\n"
                         "und die Spannungsversorgung.",
                         MsgButtons::OK, MsgIcon::None);
    p_.screen.setStatus("Status: ");
}

void OrvaModule::ReportRunTimeError(const RunTimeError& error) {
    p_.screen.setPointer(Pointer::Arrow);
    switch (error.number()) {
    case err::DeviceUnavailable:
        p_.screen.messageBox("Dieser Schnittstellen-Anschluß ist nicht verfügbar!" + s_.NewLine +
                                 s_.NewLine + "Wählen Sie einen anderen Anschluß!",
                             MsgButtons::OK, MsgIcon::Exclamation);
        break;
    case err::DiskNotReady:
        p_.screen.messageBox("  Keine Diskette!    Legen Sie eine Diskette in das Laufwerk ein",
                             MsgButtons::OK, MsgIcon::None);
        break;
    default:
        p_.screen.messageBox(error.description() + "    Fehlernummer " +
                                 std::to_string(error.number()) + " aufgetreten! ",
                             MsgButtons::OK, MsgIcon::None);
        break;
    }
}

} // namespace orva
