#pragma once

#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "platform/SerialControl.h"
#include "platform/TextArea.h"

namespace orva {

// The outside world as the logic sees it.
struct Platform {
    SerialControl& comm;
    Screen& screen;
    TextArea& text;
    FileDialog& dialog;
    Printer& printer;
    Clock& clock;
    FileSystem& files;
};

} // namespace orva
