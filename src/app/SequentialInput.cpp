#include "app/SequentialInput.h"

namespace orva {
namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Steps over one delimiter at pos: a comma, or a line end with CR LF counted as one.
std::size_t skipDelimiter(std::string_view s, std::size_t pos) {
    if (pos >= s.size()) {
        return pos;
    }
    if (s[pos] == '\r' && pos + 1 < s.size() && s[pos + 1] == '\n') {
        return pos + 2;
    }
    return pos + 1;
}

} // namespace

void forEachInputItem(std::string_view s, const std::function<void(std::string_view)>& item) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) {
            ++pos;
        }
        if (pos < s.size() && s[pos] == '"') {
            const std::size_t begin = pos + 1;
            std::size_t close = s.find('"', begin);
            if (close == std::string_view::npos) {
                close = s.size();
            }
            item(s.substr(begin, close - begin));
            pos = close + 1;
            while (pos < s.size() && s[pos] != ',' && !isLineEnd(s[pos])) {
                ++pos;
            }
            pos = skipDelimiter(s, pos);
            continue;
        }
        const std::size_t begin = pos;
        while (pos < s.size() && s[pos] != ',' && !isLineEnd(s[pos])) {
            ++pos;
        }
        item(s.substr(begin, pos - begin));
        pos = skipDelimiter(s, pos);
    }
}

} // namespace orva
