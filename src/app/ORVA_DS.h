#pragma once

#include "app/Settings.h"
#include "platform/Outcome.h"
#include "platform/Platform.h"
#include "platform/RunTimeError.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace orva {

inline constexpr const char* kSettingsFileName = "ORVAInit.txt";
inline constexpr const char* kLineParameters = "9600,N,8,1";

// What crosses commands: the settings and the values that carry meaning from one command to
// the next. Nothing here is reset except where a procedure says so.
struct ORVA_DS {
    std::string CountText; // the count data of the last download
    // The answer of the last stored box; the serial event box may store Cancel while a clock
    // input box is open. 0 while no answer was stored.
    int MsgBoxAnswer = 0;
    // The basic setting until the settings file is read.
    Settings settings;
    std::string NewLine;
    std::string DataFileName;
    std::int16_t AskFileName = 0;

    // Folder of the settings file: the data directory made current at start-up (or the
    // starting folder when that failed). Later changes of the current directory by the file
    // dialogs must not move the settings.
    std::string SettingsFolder;
};

// The module's shared procedures: settings file, port parameters, common error report.
class OrvaModule {
public:
    OrvaModule(ORVA_DS& state, Platform& platform) : s_(state), p_(platform) {}

    // Puts the file's settings in force; a missing file is made with the basic setting. A line
    // that holds no valid settings (a report saved over it, a hand edit) is replaced by the
    // basic setting, with a box that says so; a file that cannot be read keeps the settings.
    Outcome<> ReadSettings();
    // Writes the settings in force, also into a file deleted meanwhile.
    Outcome<> WriteSettings();
    Outcome<> ApplyPortSettings();
    // Shows the message for a run-time error that a trap caught.
    void ReportRunTimeError(const RunTimeError& error);
    // Where a command's failure becomes its box: true when the outcome holds a result, else
    // shows the failure's message.
    template <class T> bool succeeded(const Outcome<T>& outcome) {
        if (!outcome) {
            ReportRunTimeError(RunTimeError(outcome.error()));
        }
        return static_cast<bool>(outcome);
    }
    // Shows the message for a failed exchange with the light barrier.
    void ReportTransferError();
    // The last-resort trap: runs one step, reports whatever it throws and lets the caller go
    // on with its next step. Returns false when the step failed.
    bool runStep(const std::function<void()>& step);

    // Shows the input box until it holds a valid date, or nothing (cancelled).
    std::optional<Date> AskDate(const std::string& prompt, const std::string& title,
                                int currentYear);

    std::string settingsPath() const;
    ORVA_DS& state() { return s_; }
    Platform& platform() { return p_; }

private:
    Outcome<> replaceInvalidSettings();

    ORVA_DS& s_;
    Platform& p_;
};

} // namespace orva
