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
#include <optional>
#include <string>
#include <string_view>

namespace {

using orva::cp1252ToUtf8;

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

// The position of `value` among `values`, or -1.
int indexOf(const std::string& value, std::initializer_list<const char*> values) {
    int i = 0;
    for (const char* v : values) {
        if (value == v) {
            return i;
        }
        ++i;
    }
    return -1;
}

int periodHour(const std::string& value) {
    for (int hour = 0; hour < 24; ++hour) {
        if (value == std::to_string(hour / 10) + std::to_string(hour % 10) + ":00") {
            return hour;
        }
    }
    return -1;
}

// The settings of a line by the line rules alone: the values the settings menus and dialogs
// offer at their positions, a period that does not end before it starts, a port 1 to 4.
std::optional<orva::Settings> settingsOf(std::string_view line) {
    const int direction = indexOf(field(line, 0, 6), {"Beide_", "Links_", "Rechts"});
    const int raster = indexOf(field(line, 7, 3), {"Std", "Min", "Sek"});
    const int from = periodHour(field(line, 11, 5));
    const int to = periodHour(field(line, 17, 5));
    const int port = indexOf(field(line, 23, 1), {"1", "2", "3", "4"}) + 1;
    if (direction < 0 || raster < 0 || from < 0 || to < from || port < 1) {
        return std::nullopt;
    }
    return orva::Settings{static_cast<orva::CountDirection>(direction),
                          static_cast<orva::TimeRaster>(raster), from, to, port};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::string basicLine = "Beide__Std_06:00_18:00_2\r\n";

    orva::test::FakePlatform fake;
    orva::ORVA_DS state;
    orva::OrvaModule module{state, fake.platform};
    state.NewLine = "\r\n";
    state.SettingsFolder = fake.files.dataDir;
    const std::string path = module.settingsPath();
    fake.files.files[fake.files.resolve(path)] = content;
    // Anything but the basic setting, so that a replacement shows.
    state.settings = {orva::CountDirection::Right, orva::TimeRaster::Seconds, 1, 2, 3};

    // ---- ReadSettings ----
    module.ReadSettings();
    const bool replaced = !fake.screen.boxes.empty();
    if (replaced) {
        require(fake.screen.boxes.size() == 1 &&
                    fake.screen.boxes[0].text.starts_with("Die Einstellungsdatei ORVAInit.txt "
                                                          "enthielt keine gültigen Einstellungen."),
                "an invalid line gives the one replacement box");
        require(state.settings == orva::Settings{}, "an invalid line puts the basic setting");
        require(fake.files.file(path) == basicLine, "an invalid line is replaced in the file");
    } else {
        require(fake.files.writes == 0, "a valid line is only read");
        require(fake.files.file(path) == content, "a valid line leaves the file as it was");
    }
    if (content.find('"') == std::string::npos) {
        const std::optional<orva::Settings> expected = settingsOf(lastUnquotedItem(content));
        require(replaced == !expected, "the last item of the file is checked by the line rules");
        require(state.settings == expected.value_or(orva::Settings{}), "fields by position");
    }

    // The line written for any settings read is one line of 24 and reads back the same.
    const std::string line = orva::settingsLine(state.settings);
    require(line.size() == 24 && orva::parseSettings(line) == state.settings,
            "settings line round trip");
    const orva::Settings before = state.settings;
    const std::size_t boxes = fake.screen.boxes.size();

    // ---- ApplyPortSettings ----
    module.ApplyPortSettings();
    require(fake.screen.boxes.size() == boxes, "the port of valid settings shows no box");
    require(fake.comm.port == before.port, "port number set");
    require(fake.comm.lineSettings == "9600,N,8,1" && fake.comm.len == 1,
            "line parameters and input length applied");

    // ---- WriteSettings over the existing file, and after the file was deleted ----
    module.WriteSettings();
    require(fake.files.file(path) == line + "\r\n", "the settings in force are written");
    fake.files.files.erase(fake.files.resolve(path));
    module.WriteSettings();
    require(fake.files.file(path) == line + "\r\n", "a deleted file gets the settings in force");
    require(fake.screen.boxes.size() == boxes && state.settings == before,
            "writing shows no box and changes no setting");

    // ---- Reading back what was written ----
    state.settings = {};
    module.ReadSettings();
    require(fake.screen.boxes.size() == boxes && state.settings == before,
            "what was written reads back the same");
    return 0;
}
