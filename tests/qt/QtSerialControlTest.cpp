#include "platform/qt/QtSerialControl.h"
#include "platform/TempHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace orva {
namespace {

// A device pulled from the line: the port must not stay open, or every wait would return at
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
    EXPECT_EQ(serial.waitForInput(1, 3.0), 1) << "the byte sent never arrived";

    close(master);
    for (int wait = 0; wait < 30 && serial.portOpen(); ++wait) {
        serial.waitForInput(2, 0.1);
    }
    EXPECT_FALSE(serial.portOpen());
    // Until the command ends it is a silent line: what arrived is kept, nothing fails.
    EXPECT_EQ(serial.input(), "\x16");
    EXPECT_EQ(serial.inBufferCount(), 0);
}

} // namespace
} // namespace orva
