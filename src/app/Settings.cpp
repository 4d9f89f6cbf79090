#include "app/Settings.h"

#include <array>

namespace orva {
namespace {

constexpr std::array<std::string_view, 3> kDirections = {"Beide_", "Links_", "Rechts"};
constexpr std::array<std::string_view, 3> kRasters = {"Std", "Min", "Sek"};

// The enum value whose position among `texts` holds `text`.
template <class Value>
std::optional<Value> valueOf(const std::array<std::string_view, 3>& texts, std::string_view text) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == text) {
            return static_cast<Value>(i);
        }
    }
    return std::nullopt;
}

template <class Value>
std::string_view textOf(const std::array<std::string_view, 3>& texts, Value value) {
    return texts[static_cast<std::size_t>(value)];
}

} // namespace

std::string hourText(int hour) {
    return {static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10), ':', '0', '0'};
}

std::optional<int> hourOf(std::string_view text) {
    for (int h = 0; h < 24; ++h) {
        if (text == hourText(h)) {
            return h;
        }
    }
    return std::nullopt;
}

// The separators between the fields are not looked at, nor is anything after the port: a line
// the program wrote is read the same whatever a hand edit put there.
std::optional<Settings> parseSettings(std::string_view line) {
    if (line.size() < 24) {
        return std::nullopt;
    }
    const auto direction = valueOf<CountDirection>(kDirections, line.substr(0, 6));
    const auto raster = valueOf<TimeRaster>(kRasters, line.substr(7, 3));
    const auto from = hourOf(line.substr(11, 5));
    const auto to = hourOf(line.substr(17, 5));
    const char port = line[23];
    if (!direction || !raster || !from || !to || *from > *to || port < '1' || port > '4') {
        return std::nullopt;
    }
    return Settings{*direction, *raster, *from, *to, port - '0'};
}

std::string settingsLine(const Settings& s) {
    std::string line(textOf(kDirections, s.direction));
    line.append("_").append(textOf(kRasters, s.raster));
    line.append("_").append(hourText(s.fromHour)).append("_").append(hourText(s.toHour));
    return line.append("_").append(std::to_string(s.port));
}

} // namespace orva
