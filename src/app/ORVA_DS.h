#pragma once

#include "platform/Platform.h"
#include "platform/RunTimeError.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace orva {

inline constexpr const char* kSettingsFileName = "ORVAInit.txt";
inline constexpr const char* kDefaultSettingsLine = "Beide__Std_06:00_18:00_2";
inline constexpr const char* kLineParameters = "9600,N,8,1";

// What crosses commands: the settings and the values that carry meaning from one command to
// the next. Nothing here is reset except where a procedure says so.
struct ORVA_DS {
    std::string CountText; // the count data of the last download
    // The answer of the last stored box; the serial event box may store Cancel while a clock
    // input box is open. 0 while no answer was stored.
    int MsgBoxAnswer = 0;
    std::string SettingsLine;
    std::string CountDirection;
    std::string TimeRaster;
    std::string WindowFrom;
    std::string WindowTo;
    std::string PortNumber;
    std::string NewLine;
    std::string DataFileName;
    std::int16_t AskFileName = 0;
    // Empty until the settings were read once.
    std::optional<std::string> WindowFromHour;
    std::optional<std::string> WindowToHour;

    // Folder of the settings file: the data directory made current at start-up (or the
    // starting folder when that failed). Later changes of the current directory by the file
    // dialogs must not move the settings.
    std::string SettingsFolder;
};

// True when the five settings hold values that the settings writers produce (ports 1 to 4, a period
// that does not end before it starts).
bool settingsKeepInvariant(const ORVA_DS& s);

// The module's shared procedures: settings file, port parameters, common error report.
class OrvaModule {
public:
    OrvaModule(ORVA_DS& state, Platform& platform) : s_(state), p_(platform) {}

    // False when reading the file failed (and was reported).
    bool ReadSettings();
    // Puts the default settings in force and into the file, and says so: for a settings line
    // that the program cannot run on.
    void ReplaceInvalidSettings();
    void WriteSettings();
    void ApplyPortSettings();
    // Shows the message for a run-time error that a trap caught.
    void ReportRunTimeError(const RunTimeError& error);
    // Shows the message for a failed exchange with the light barrier.
    void ReportTransferError();
    // The error trap: runs one step, reports whatever it throws and lets the caller go on
    // with its next step. Returns false when the step failed.
    bool runStep(const std::function<void()>& step);

    // Shows the input box until it holds a valid date, or nothing (cancelled).
    std::optional<Date> AskDate(const std::string& prompt, const std::string& title,
                                int currentYear);

    std::string settingsPath() const;
    ORVA_DS& state() { return s_; }
    Platform& platform() { return p_; }

private:
    void splitSettingsLine();

    ORVA_DS& s_;
    Platform& p_;
};

} // namespace orva
