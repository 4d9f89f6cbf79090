#include "app/ORVA_DS.h"

#include "app/SequentialInput.h"
#include "platform/Text.h"

#include <array>
#include <new>

namespace orva {
namespace {

bool isHourText(const std::string& t) {
    return t.size() == 5 && t[0] >= '0' && t[0] <= '2' && t[1] >= '0' && t[1] <= '9' &&
           (t[0] - '0') * 10 + (t[1] - '0') <= 23 && t.substr(2) == ":00";
}

// The port field as a number: digits only, and not zero (which formats to an empty text).
int portFieldValue(const std::string& field) {
    long value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') {
            throw RunTimeError(err::TypeMismatch);
        }
        value = value * 10 + (c - '0');
        if (value > 32767) {
            throw RunTimeError(err::Overflow);
        }
    }
    if (value == 0) {
        throw RunTimeError(err::TypeMismatch);
    }
    return static_cast<int>(value);
}

} // namespace

bool settingsKeepInvariant(const ORVA_DS& s) {
    static const std::array<const char*, 3> directions = {"Beide_", "Links_", "Rechts"};
    static const std::array<const char*, 3> rasters = {"Std", "Min", "Sek"};
    bool directionOk = false;
    for (const char* d : directions) {
        directionOk = directionOk || s.CountDirection == d;
    }
    bool rasterOk = false;
    for (const char* r : rasters) {
        rasterOk = rasterOk || s.TimeRaster == r;
    }
    return directionOk && rasterOk && isHourText(s.WindowFrom) && isHourText(s.WindowTo) &&
           s.WindowFrom <= s.WindowTo && s.PortNumber.size() == 1 && s.PortNumber[0] >= '1' &&
           s.PortNumber[0] <= '4';
}

std::string OrvaModule::settingsPath() const {
    return joinPath(s_.SettingsFolder, kSettingsFileName);
}

void OrvaModule::splitSettingsLine() {
    s_.CountDirection = midChars(s_.SettingsLine, 1, 6);
    s_.TimeRaster = midChars(s_.SettingsLine, 8, 3);
    s_.WindowFrom = midChars(s_.SettingsLine, 12, 5);
    s_.WindowTo = midChars(s_.SettingsLine, 18, 5);
    s_.PortNumber = midChars(s_.SettingsLine, 24, 1);
    s_.WindowFromHour = midChars(s_.WindowFrom, 1, 2);
    s_.WindowToHour = midChars(s_.WindowTo, 1, 2);
}

bool OrvaModule::ReadSettings() {
    try {
        const std::string path = settingsPath();
        if (p_.files.fileExists(path)) {
            const std::string content = p_.files.readFile(path);
            forEachInputItem(
                content, [this](std::string_view item) { s_.SettingsLine = cp1252ToUtf8(item); });
            splitSettingsLine();
        } else {
            p_.files.writeFile(path, std::string(kDefaultSettingsLine) + "\r\n");
            const std::string content = p_.files.readFile(path);
            forEachInputItem(content, [this](std::string_view item) {
                s_.SettingsLine = cp1252ToUtf8(item);
                splitSettingsLine();
            });
        }
        return true;
    } catch (const RunTimeError& e) {
        ReportRunTimeError(e);
        return false;
    }
}

void OrvaModule::ReplaceInvalidSettings() {
    s_.SettingsLine = kDefaultSettingsLine;
    splitSettingsLine();
    WriteSettings();
    p_.screen.messageBox(
        "Die Einstellungsdatei ORVAInit.txt enthielt keine gültigen Einstellungen." + s_.NewLine +
            s_.NewLine +
            "Sie wurde durch die Grundeinstellung ersetzt: beide Richtungen, Stunden, "
            "06:00 bis 18:00 Uhr, Schnittstelle COM2.",
        MsgButtons::OK, MsgIcon::Exclamation);
}

void OrvaModule::WriteSettings() {
    try {
        const std::string path = settingsPath();
        const std::string current = s_.CountDirection + "_" + s_.TimeRaster + "_" + s_.WindowFrom +
                                    "_" + s_.WindowTo + "_" + s_.PortNumber;
        std::string line;
        if (p_.files.fileExists(path)) {
            line = current;
        } else {
            // A deleted file is recreated with the user's current choice; only settings that a
            // hand-edited file has broken fall back to the default line.
            line = settingsKeepInvariant(s_) ? current : kDefaultSettingsLine;
        }
        p_.files.writeFile(path, utf8ToCp1252(line + "\r\n"));
    } catch (const RunTimeError& e) {
        ReportRunTimeError(e);
    }
}

void OrvaModule::ApplyPortSettings() {
    try {
        if (!s_.PortNumber.empty()) {
            p_.comm.setCommPort(portFieldValue(s_.PortNumber));
        } else {
            s_.PortNumber = "2";
        }
        p_.comm.setSettings(kLineParameters);
        p_.comm.setInputLen(1);
    } catch (const RunTimeError& e) {
        ReportRunTimeError(e);
    }
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
