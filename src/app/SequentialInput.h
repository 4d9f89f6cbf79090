#pragma once

#include <functional>
#include <string_view>

namespace orva {

// Reads a text file's content item by item as sequential input does: items are delimited by
// commas and line ends (CR LF, CR or LF), blanks before an item are skipped, and an item that
// begins with a double quote runs to the next double quote and is taken without the quotes
// (whatever follows it up to the next delimiter is dropped). Calls `item` for each, in order.
void forEachInputItem(std::string_view content, const std::function<void(std::string_view)>& item);

} // namespace orva
