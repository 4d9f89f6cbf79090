// Any bytes as the content of the settings file: reading, applying the port and writing back
// must never crash or misbehave, and must follow the line rules whatever the file holds.
//
// Input: the whole input is the file content.

#include "app/ORVA_DS.h"
#include "fakes/FakePlatform.h"
#include "platform/Text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

using orva::cp1252ToUtf8;
using orva::utf8ToCp1252;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "settings property violated: %s\n", what);
        std::abort();
    }
}

// Bytes [pos, pos+len) of a line, cut short at its end, as text.
std::string field(std::string_view line, std::size_t pos, std::size_t len) {
    return pos >= line.size() ? std::string() : cp1252ToUtf8(line.substr(pos, len));
}

// The last item of a file without double quotes, worked out from the line rules alone: one
// closing delimiter ends the last item, the item starts after the delimiter before it, and
// blanks in front of it do not count.
std::string lastUnquotedItem(std::string_view c) {
    if (c.ends_with("\r\n")) {
        c.remove_suffix(2);
    } else if (!c.empty() && (c.back() == '\r' || c.back() == '\n' || c.back() == ',')) {
        c.remove_suffix(1);
    }
    const std::size_t delimiter = c.find_last_of(",\r\n");
    if (delimiter != std::string_view::npos) {
        c.remove_prefix(delimiter + 1);
    }
    while (!c.empty() && (c.front() == ' ' || c.front() == '\t')) {
        c.remove_prefix(1);
    }
    return std::string(c);
}

bool isOneOf(const std::string& value, std::initializer_list<const char*> values) {
    for (const char* v : values) {
        if (value == v) {
            return true;
        }
    }
    return false;
}

bool isPeriodHour(const std::string& value) {
    for (int hour = 0; hour < 24; ++hour) {
        if (value == std::to_string(hour / 10) + std::to_string(hour % 10) + ":00") {
            return true;
        }
    }
    return false;
}

// The values the settings menus and dialogs offer, and a port of one digit.
bool settingsAreSound(const orva::ORVA_DS& s) {
    return isOneOf(s.CountDirection, {"Beide_", "Links_", "Rechts"}) &&
           isOneOf(s.TimeRaster, {"Std", "Min", "Sek"}) && isPeriodHour(s.WindowFrom) &&
           isPeriodHour(s.WindowTo) && s.WindowFrom <= s.WindowTo && s.PortNumber.size() == 1 &&
           s.PortNumber[0] >= '1' && s.PortNumber[0] <= '4';
}

struct Fields {
    std::string direction, raster, from, to, port, fromHour, toHour;
    bool operator==(const Fields&) const = default;
};

Fields fieldsOf(const orva::ORVA_DS& s) {
    return {s.CountDirection,
            s.TimeRaster,
            s.WindowFrom,
            s.WindowTo,
            s.PortNumber,
            s.WindowFromHour.value_or("<never read>"),
            s.WindowToHour.value_or("<never read>")};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);

    orva::test::FakePlatform fake;
    orva::ORVA_DS state;
    orva::OrvaModule module{state, fake.platform};
    state.NewLine = "\r\n";
    state.SettingsFolder = fake.files.dataDir;
    const std::string path = module.settingsPath();
    fake.files.files[fake.files.resolve(path)] = content;

    // ---- ReadSettings ----
    module.ReadSettings();
    require(fake.screen.boxes.empty(), "reading a readable file shows no box");
    require(fake.files.writes == 0, "an existing file is only read");
    require(fake.files.file(path) == content, "the file is left as it was");

    // Every byte is one character, so the line survives the trip into text and back.
    const std::string line = utf8ToCp1252(state.SettingsLine);
    require(cp1252ToUtf8(line) == state.SettingsLine, "settings line round trip");
    require(content.find(line) != std::string::npos, "the line is a piece of the file");
    if (content.find('"') == std::string::npos) {
        require(line == lastUnquotedItem(content), "the last item of the file is the line");
    }
    require(state.CountDirection == field(line, 0, 6), "direction at positions 1-6");
    require(state.TimeRaster == field(line, 7, 3), "raster at positions 8-10");
    require(state.WindowFrom == field(line, 11, 5), "period start at positions 12-16");
    require(state.WindowTo == field(line, 17, 5), "period end at positions 18-22");
    require(state.PortNumber == field(line, 23, 1), "port at position 24");
    require(orva::utf8Length(state.CountDirection) <= 6 &&
                orva::utf8Length(state.TimeRaster) <= 3 &&
                orva::utf8Length(state.WindowFrom) <= 5 && orva::utf8Length(state.WindowTo) <= 5 &&
                orva::utf8Length(state.PortNumber) <= 1,
            "field lengths");
    require(state.WindowFromHour == field(utf8ToCp1252(state.WindowFrom), 0, 2) &&
                state.WindowToHour == field(utf8ToCp1252(state.WindowTo), 0, 2),
            "period hours are the first two characters");

    // ---- ApplyPortSettings ----
    const std::string port = state.PortNumber;
    const int portBefore = fake.comm.port;
    module.ApplyPortSettings();
    if (port.empty() || (port.size() == 1 && port[0] >= '1' && port[0] <= '9')) {
        require(fake.screen.boxes.empty(), "a usable port field shows no box");
        require(fake.comm.port == (port.empty() ? portBefore : port[0] - '0'), "port number set");
        require(state.PortNumber == (port.empty() ? "2" : port), "empty port becomes 2");
        require(fake.comm.lineSettings == "9600,N,8,1" && fake.comm.len == 1,
                "line parameters and input length applied");
    } else {
        require(fake.screen.boxes.size() == 1 &&
                    fake.screen.boxes[0].text.ends_with("Fehlernummer 13 aufgetreten! "),
                "a port field that is no number is one conversion error");
        require(state.PortNumber == port && fake.comm.port == portBefore, "port left alone");
        require(fake.comm.lineSettings.empty() && fake.comm.len == 0,
                "nothing applied after the failed port");
    }
    const std::size_t boxesAfterApply = fake.screen.boxes.size();

    // ---- WriteSettings over the existing file ----
    const std::string current =
        utf8ToCp1252(state.CountDirection + "_" + state.TimeRaster + "_" + state.WindowFrom + "_" +
                     state.WindowTo + "_" + state.PortNumber) +
        "\r\n";
    const Fields before = fieldsOf(state);
    module.WriteSettings();
    require(fake.screen.boxes.size() == boxesAfterApply, "writing shows no box");
    const std::string written = fake.files.file(path).value_or("<missing>");
    require(written == current, "the current settings are written, unfilled");
    require(written.ends_with("\r\n") && written.size() <= 26, "one line of at most 24 + CR LF");
    require(fieldsOf(state) == before, "writing changes no setting");

    // ---- WriteSettings after the file was deleted ----
    fake.files.files.erase(fake.files.resolve(path));
    module.WriteSettings();
    require(fake.screen.boxes.size() == boxesAfterApply, "recreating shows no box");
    const std::string recreated = fake.files.file(path).value_or("<missing>");
    require(recreated == (settingsAreSound(state) ? current : "Beide__Std_06:00_18:00_2\r\n"),
            "a deleted file is recreated with sound settings or else the default line");

    // ---- Reading back what was written ----
    fake.files.files[fake.files.resolve(path)] = written;
    module.ReadSettings();
    require(fake.screen.boxes.size() == boxesAfterApply, "reading back shows no box");
    const bool fullWidth = orva::utf8Length(before.direction) == 6 &&
                           orva::utf8Length(before.raster) == 3 &&
                           orva::utf8Length(before.from) == 5 && orva::utf8Length(before.to) == 5 &&
                           orva::utf8Length(before.port) == 1;
    const std::string writtenLine = written.substr(0, written.size() - 2);
    const bool oneItem = writtenLine.find_first_of(",\r\n") == std::string::npos &&
                         writtenLine.find_first_of(" \t\"") != 0;
    if (fullWidth && oneItem) {
        require(fieldsOf(state) == before, "a full-width line reads back the same");
    }
    return 0;
}
