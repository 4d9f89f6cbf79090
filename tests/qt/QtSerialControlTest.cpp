#include "platform/qt/QtSerialControl.h"
#include "platform/TempHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace orva {
namespace {

// A device pulled from the line: the port must not stay open, or every poll would return at
// once without data and spin a core until the command's time-outs end it.
TEST(QtSerialControl, ClosesThePortWhenTheFarEndGoesAway) {
    test::TempHome home;
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    std::filesystem::create_symlink(ptsname(master), home.data() / "COM2");
    QtSerialControl serial(home.data().string());
    serial.setCommPort(2);
    serial.setPortOpen(true);
    ASSERT_TRUE(serial.portOpen());
    EXPECT_EQ(write(master, "\x16", 1), 1);
    for (int poll = 0; poll < 3000 && serial.inBufferCount() == 0; ++poll) {
    }
    EXPECT_EQ(serial.inBufferCount(), 1) << "the byte sent never arrived";

    close(master);
    for (int poll = 0; poll < 3000 && serial.portOpen(); ++poll) {
        serial.inBufferCount();
    }
    EXPECT_FALSE(serial.portOpen());
    // Until the command ends it is a silent line: what arrived is kept, nothing fails.
    EXPECT_EQ(serial.input(), "\x16");
    EXPECT_EQ(serial.inBufferCount(), 0);
}

} // namespace
} // namespace orva
