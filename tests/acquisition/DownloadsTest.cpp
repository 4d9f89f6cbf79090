#include "fakes/Wire.h"
#include "platform/Text.h"
#include "sim/SimulatedDevice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orva::test {
namespace {

// Four days held; the save dialog cancelled.
class DownloadsTest : public testing::Test, public ProgramOnSimulator {
protected:
    DownloadsTest() {
        device.barrier.memory = sim::generateDays({2026, 12, 5}, 4, 11);
        p.dialog.files = {std::nullopt};
    }

    bool statusShown(const std::string& text) const {
        const auto& h = p.screen.statusHistory;
        return std::find(h.begin(), h.end(), text) != h.end();
    }
};

TEST_F(DownloadsTest, DailyDataEndsInTheReportAndTheProposedFile) {
    device.barrier.memory = {sim::StoredDay{{2026, 12, 5}, {sim::HourRecord{13, 37, 7}}}};
    p.dialog.files = {"/home/op/ORVA-DS/TD0512.txt"};
    program.editor.menuClick("mnuTagesDaten");

    EXPECT_TRUE(p.text.value.starts_with("\tORVA-DS:  Datum: 05.12.26\r\n"));
    EXPECT_NE(p.text.value.find("\tSumme\t37\t7\r\n"), std::string::npos);
    EXPECT_EQ(p.dialog.requests.at(0).second.fileName, "TD0512.txt");
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/TD0512.txt"), utf8ToCp1252(p.text.value + "\r\n"));
    EXPECT_EQ(device.pcSent(framed("rt")), 2);
    EXPECT_TRUE(statusShown("Status: Tages-Daten vom: 05.12.2026"));
    // The block in the status line without its framing characters.
    const std::string& counts = program.state.CountText;
    ASSERT_GE(counts.size(), 32u);
    EXPECT_TRUE(
        statusShown("Status: Die Daten werden übertragen: " + counts.substr(counts.size() - 32)));
}

TEST_F(DownloadsTest, AllDataOfSeveralDaysIsTakenWholeEachBlockAcknowledgedTwice) {
    device.barrier.memory = sim::generateDays({2026, 12, 5}, 6, 11);
    device.barrier.timing.reactionDelay = 0.95; // a slow device: the six days take over a minute
    p.text.value = "Notiz";
    p.screen.answers = {answer::Cancel, answer::No}; // the typed text kept, then let go
    program.editor.menuClick("mnuAlleDaten");
    EXPECT_EQ(p.comm.opens, 0);
    program.editor.menuClick("mnuAlleDaten");
    const std::string expected = *device.answerText("ra");
    EXPECT_EQ(program.state.CountText, expected);
    EXPECT_NE(p.text.value.find("Datum: 02.12.26"), std::string::npos);
    EXPECT_EQ(p.dialog.requests.at(0).second.fileName, "AD0512.txt");
    EXPECT_EQ(device.pcSent(kAck), 1 + 2 * static_cast<int>(expected.size() / 32));
    // Progress: days, kilobytes, and minutes and seconds since the transfer began.
    EXPECT_THAT(p.screen.progress, testing::Contains(testing::EndsWith(" kB, 1:00")));
    EXPECT_EQ(p.screen.progress.at(p.screen.progress.size() - 2).substr(0, 8), "6 Tage, ");
}

// Stopped by the user in the middle of the blocks: no box, no report, no save dialog.
TEST_F(DownloadsTest, AStoppedTransferShowsNothingAndClosesThePort) {
    p.screen.stopAfterPolls = 200;
    program.editor.menuClick("mnuAlleDaten");
    EXPECT_GT(program.state.CountText.size(), 0u);
    EXPECT_LT(program.state.CountText.size(), device.answerText("ra")->size());
    EXPECT_TRUE(p.screen.boxes.empty() && p.dialog.requests.empty() && p.text.value.empty());
    EXPECT_EQ(p.screen.status(), "Status: Die Übertragung wurde abgebrochen.");
    EXPECT_FALSE(p.comm.open);
}

// The serial error box: Cancel closes the port, OK leaves it open; an event shows nothing.
TEST_F(DownloadsTest, SerialErrorBoxClosesThePortOnCancelOnly) {
    p.comm.open = true;
    p.screen.answers = {answer::OK, answer::Cancel};
    p.comm.onComm(comm::ErFrame);
    p.comm.onComm(comm::ErOverrun);
    EXPECT_TRUE(p.comm.open);
    p.comm.onComm(comm::ErOverrun);
    EXPECT_FALSE(p.comm.open);
    ASSERT_EQ(p.screen.boxes.size(), 2u);
    EXPECT_EQ(p.screen.boxes[0].title, "Press Cancel to Quit, Ok to ignore.");
}

TEST_F(DownloadsTest, FromDateAsksAgainForADateNotHeldThenDownloads) {
    p.screen.inputs = {"31.02.94", "01.01.90", "3.12.26"};
    program.editor.menuClick("mnuAbDatum");
    EXPECT_EQ(p.screen.prompts.size(), 3u);
    EXPECT_EQ(device.pcSent(framed("rab01:01:90")), 2);
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_TRUE(p.screen.boxes[0].text.starts_with("Dieses Datum ist nicht gespeichert!"));
    EXPECT_EQ(program.state.CountText, *device.answerText("rab03:12:26"));
    EXPECT_EQ(p.dialog.requests.at(0).second.fileName, "AB0312.txt");
    EXPECT_FALSE(p.comm.open);
}

TEST_F(DownloadsTest, DeviceFaultsThatEndTheTransferGiveTheReportAndNoSave) {
    using Faults = std::vector<std::pair<int sim::Faults::*, int>>;
    const std::pair<const char*, Faults> cases[] = {
        {"mnuTagesDaten", {{&sim::Faults::silentWakeUps, 3}}},
        {"mnuAlleDaten", {{&sim::Faults::unacknowledgedCommands, 3}}},
        {"mnuAlleDaten", {{&sim::Faults::badHeaders, 3}}},
        {"mnuAlleDaten", {{&sim::Faults::stopAfterBlocks, 2}}},
        {"mnuAbDatum", {{&sim::Faults::stopAfterBlocks, 1}}},
        {"mnuUhrlesen", {{&sim::Faults::badHeaders, 3}}},
        // A wrong wake-up counts on from the failures of the command.
        {"mnuTagesDaten",
         {{&sim::Faults::unacknowledgedCommands, 2}, {&sim::Faults::wrongOwnWakeUps, 1}}}};
    for (const auto& [item, faults] : cases) {
        SCOPED_TRACE(item + std::string(" with faults ") + std::to_string(faults[0].second));
        device.barrier.faults = {};
        for (const auto& [fault, n] : faults) {
            device.barrier.faults.*fault = n;
        }
        p.screen.boxes.clear();
        p.screen.inputs = {"03.12.26"};
        program.editor.menuClick(item);
        ASSERT_EQ(p.screen.boxes.size(), 1u);
        EXPECT_TRUE(p.screen.boxes[0].text.starts_with("Übertragungsfehler!"));
        EXPECT_EQ(p.screen.status(), "Status: ");
        EXPECT_TRUE(statusShown("Status: Fehler"));
        EXPECT_TRUE(p.dialog.requests.empty());
        EXPECT_EQ(p.text.value, "");
        EXPECT_FALSE(p.comm.open);
    }
}

TEST_F(DownloadsTest, PortThatCannotBeOpenedOffersNoSaveOfAnOlderReport) {
    program.editor.menuClick("mnuTagesDaten"); // an earlier good download
    p.dialog.requests.clear();
    p.comm.unavailablePorts = {2};
    p.screen.inputs = {"01.12.26"};
    for (const char* item : {"mnuTagesDaten", "mnuAlleDaten", "mnuAbDatum"}) {
        SCOPED_TRACE(item);
        p.screen.boxes.clear();
        program.editor.menuClick(item);
        ASSERT_EQ(p.screen.boxes.size(), 1u);
        EXPECT_TRUE(p.screen.boxes[0].text.starts_with("Dieser Schnittstellen-Anschluß"));
        EXPECT_TRUE(p.dialog.requests.empty());
    }
    EXPECT_EQ(p.comm.opens, 1); // the earlier download's only
}

} // namespace
} // namespace orva::test
