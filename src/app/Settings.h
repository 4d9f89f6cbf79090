#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orva {

// In the order of the menu items "beide Richtungen", "von links nach rechts", "von rechts nach
// links".
enum class CountDirection { Both, Left, Right };
// In the order of "Stunden", "Minuten", "Sekunden". Only stored and shown: reports are hourly.
enum class TimeRaster { Hours, Minutes, Seconds };

// What the settings file holds. The menus and dialogs keep every value one they offer: the
// period runs from `fromHour` to `toHour`, both included, 0 <= fromHour <= toHour <= 23, and
// the port is 1 to 4. The defaults are the program's basic setting.
struct Settings {
    CountDirection direction = CountDirection::Both;
    TimeRaster raster = TimeRaster::Hours;
    int fromHour = 6;
    int toHour = 18;
    int port = 2;
    bool operator==(const Settings&) const = default;
};

// The settings of a line such as "Beide__Std_06:00_18:00_2", taken by position; nothing when
// any field holds a value that the menus and dialogs do not offer.
std::optional<Settings> parseSettings(std::string_view line);
// The line the file holds, without its line end.
std::string settingsLine(const Settings& settings);

// "06:00" for 6.
std::string hourText(int hour);
// The hour of "00:00" to "23:00"; nothing for any other text.
std::optional<int> hourOf(std::string_view text);

} // namespace orva
