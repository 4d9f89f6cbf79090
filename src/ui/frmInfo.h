#pragma once

#include "app/ORVA_DS.h"

#include <string>

namespace orva {

inline constexpr const char* kInfoCaption = "Info";

// The info window: the address block around the version line, closed by "OK".
class frmInfo {
public:
    explicit frmInfo(const ORVA_DS& state) : s_(state) {}

    // The block, lines joined by `NewLine`; it begins with a line break and ends without one.
    std::string AddressBlock() const;

    void Form_Load();
    // The box's content changed to `content`: the block is written back. True when that was a
    // write; a content that already is the block needs none, so writing back cannot loop.
    bool InfoBox_Change(const std::string& content);
    void cmdAbout_Click() { Unloaded = true; }

    std::string InfoBox;
    bool Unloaded = false;

private:
    const ORVA_DS& s_;
};

} // namespace orva
