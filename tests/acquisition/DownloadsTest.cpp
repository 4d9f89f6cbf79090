#include "Program.h"
#include "fakes/FakePlatform.h"
#include "platform/Text.h"
#include "sim/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orva {
namespace {

const std::string SYN(1, ctl::SYN);
const std::string kAck = SYN + ctl::ACK;
const std::string kNak = SYN + ctl::NAK;
const std::string kWake = std::string(5, ctl::SYN) + ctl::ENQ;
const std::string kTransferError =
    "Übertragungsfehler!\n\nBitte prüfen Sie die Kabelverbindungen\n\nund die Spannungsversorgung.";
const std::string kNotHeld =
    "Dieses Datum ist nicht gespeichert!\r\n\r\nGeben Sie bitte ein neues Datum ein.";
const std::string kDatePrompt = "Geben Sie das Datum ein, ab welchem Tag Sie auslesen wollen."
                                "\r\r\r\r\r\rEingabeformat:\tTT.MM.JJ\r\rBeispiel:\t02.11.94";

// The table of one day with a single record for hour 13 (37 "Rechts", 7 "Links"), hours
// 06-18, both directions.
std::string singleRecordReport(const std::string& date) {
    std::string r =
        "\tORVA-DS:  Datum: " + date + "\r\n\t\tPersonen\r\n\tUhrzeit\tRechts\tLinks\r\n";
    for (int h = 6; h <= 18; ++h) {
        r += "\t" + zeroPadded(h, 2) + (h == 13 ? "\t37\t7\r\n" : "\t0\t0\r\n");
    }
    return r + "\t\t-----------------------\r\n\tSumme\t37\t7\r\n\r\n";
}

// The whole program on fakes, with the simulated light barrier at the end of the line.
class DownloadsTest : public testing::Test {
protected:
    DownloadsTest() {
        program.editor.Form_Load();
        p.screen.statusHistory.clear();
        device.setClockToPc();
        device.barrier.memory = sim::generateDays({2026, 12, 5}, 4, 11);
    }

    void oneRecordOn(const sim::CalendarDate& date) {
        device.barrier.memory = {sim::StoredDay{date, {sim::HourRecord{13, 37, 7}}}};
    }

    bool statusShown(const std::string& text) const {
        const auto& h = p.screen.statusHistory;
        return std::find(h.begin(), h.end(), text) != h.end();
    }

    // The report the evaluation makes of a count text, on a separate program.
    std::string reportOf(const std::string& countText) {
        test::FakePlatform other;
        test::FakeWindow w;
        Program q(other.platform, w);
        q.editor.Form_Load();
        q.state.CountText = countText;
        q.evaluation.BuildReport();
        return other.text.value;
    }

    void expectTransferFailedAndNothingSaved() {
        ASSERT_EQ(p.screen.boxes.size(), 1u);
        EXPECT_EQ(p.screen.boxes[0].text, kTransferError);
        EXPECT_TRUE(p.dialog.requests.empty());
        EXPECT_EQ(p.files.writes, 1); // the settings file at start-up only
        EXPECT_EQ(p.text.value, "");
        EXPECT_FALSE(p.comm.open);
        EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
    }

    test::FakePlatform p;
    test::FakeWindow window;
    Program program{p.platform, window};
    test::SimulatedDevice device{p};
};

TEST_F(DownloadsTest, DailyDataEndsInTheReportAndTheProposedFile) {
    oneRecordOn({2026, 12, 5});
    p.dialog.files = {"/home/op/ORVA-DS/TD0512.txt"};
    program.editor.menuClick("mnuTagesDaten", -1);

    const std::string report = singleRecordReport("05.12.26");
    EXPECT_EQ(p.text.value, report);
    EXPECT_TRUE(p.screen.boxes.empty());
    ASSERT_EQ(p.dialog.requests.size(), 1u);
    EXPECT_EQ(p.dialog.requests[0].first, "save");
    EXPECT_EQ(p.dialog.requests[0].second.fileName, "TD0512.txt");
    EXPECT_EQ(p.files.file("/home/op/ORVA-DS/TD0512.txt"), utf8ToCp1252(report + "\r\n"));
    const auto m = device.pcMessages();
    ASSERT_GE(m.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(m.begin(), m.begin() + 5),
              (std::vector<std::string>{kWake, SYN + ctl::STX + "rt" + ctl::ETX,
                                        SYN + ctl::STX + "rt" + ctl::ETX, SYN + ctl::EOT, kAck}));
    EXPECT_EQ(p.screen.statusHistory.front(), "Status: Die Daten werden übertragen");
    EXPECT_TRUE(statusShown("Status: Tages-Daten vom: 05.12.2026"));
    // The block in the status line without its framing characters.
    const std::string& counts = program.state.CountText;
    ASSERT_GE(counts.size(), 32u);
    EXPECT_TRUE(
        statusShown("Status: Die Daten werden übertragen: " + counts.substr(counts.size() - 32)));
    EXPECT_FALSE(p.comm.open);
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
}

TEST_F(DownloadsTest, AllDataOfSeveralDaysGivesTheReportOfTheWholeMemory) {
    p.dialog.files = {std::nullopt};
    program.editor.menuClick("mnuAlleDaten", -1);
    const std::string expected = *device.answerText("ra");
    EXPECT_EQ(program.state.CountText, expected);
    EXPECT_EQ(p.text.value, reportOf(expected));
    EXPECT_NE(p.text.value.find("Datum: 02.12.26"), std::string::npos);
    EXPECT_NE(p.text.value.find("Datum: 05.12.26"), std::string::npos);
    EXPECT_TRUE(statusShown("Status: alle Daten bis 05.12.26"));
    ASSERT_EQ(p.dialog.requests.size(), 1u);
    EXPECT_EQ(p.dialog.requests[0].second.fileName, "AD0512.txt");
    // Every accepted block was acknowledged twice.
    const int blocks = static_cast<int>(expected.size() / 32);
    EXPECT_EQ(device.pcSent(kAck), 1 + 2 * blocks);
    EXPECT_EQ(p.text.focusCount, 2);
}

TEST_F(DownloadsTest, FromDateAsksAgainForADateNotHeldThenDownloads) {
    p.screen.inputs = {"31.02.94", "01.01.90", "3.12.26"};
    p.dialog.files = {std::nullopt};
    program.editor.menuClick("mnuAbDatum", -1);

    ASSERT_EQ(p.screen.prompts.size(), 3u);
    EXPECT_EQ(p.screen.prompts[0].prompt, kDatePrompt);
    EXPECT_EQ(p.screen.prompts[0].title, "ab -Datum- bis heute lesen");
    EXPECT_EQ(device.pcSent(SYN + ctl::STX + "rab01:01:90" + ctl::ETX), 2);
    EXPECT_EQ(device.pcSent(SYN + ctl::STX + "rab03:12:26" + ctl::ETX), 2);
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, kNotHeld);
    EXPECT_TRUE(statusShown("Status:"));
    EXPECT_TRUE(statusShown("Status: ab Datum: 03:12:26"));
    EXPECT_EQ(p.text.value, reportOf(*device.answerText("rab03:12:26")));
    EXPECT_EQ(p.text.value.find("Datum: 02.12.26"), std::string::npos);
    ASSERT_EQ(p.dialog.requests.size(), 1u);
    EXPECT_EQ(p.dialog.requests[0].second.fileName, "AB0312.txt");
    EXPECT_EQ(p.comm.opens, 2);
    EXPECT_FALSE(p.comm.open);
}

TEST_F(DownloadsTest, CancelledDateBoxSendsNothing) {
    p.screen.inputs = {"kein Datum"}; // asked again, then cancelled
    program.editor.menuClick("mnuAbDatum", -1);
    EXPECT_EQ(p.screen.prompts.size(), 2u);
    EXPECT_TRUE(device.wire.empty());
    EXPECT_EQ(p.comm.opens, 0);
    EXPECT_EQ(p.screen.pointer(), Pointer::Arrow);
    EXPECT_TRUE(p.screen.boxes.empty());
}

TEST_F(DownloadsTest, SilentDeviceGivesTheReportAndNoSave) {
    device.barrier.faults.silentWakeUps = 3;
    program.editor.menuClick("mnuTagesDaten", -1);
    EXPECT_EQ(device.pcSent(kWake), 3);
    expectTransferFailedAndNothingSaved();
}

TEST_F(DownloadsTest, UnacknowledgedCommandGivesTheReportAndNoSave) {
    device.barrier.faults.unacknowledgedCommands = 3;
    program.editor.menuClick("mnuAlleDaten", -1);
    EXPECT_EQ(device.pcSent(SYN + ctl::STX + "ra" + ctl::ETX), 3);
    expectTransferFailedAndNothingSaved();
}

TEST_F(DownloadsTest, WrongDeviceWakeUpCountsOnceAndTheDownloadGoesOn) {
    device.barrier.faults.wrongOwnWakeUps = 1;
    p.dialog.files = {std::nullopt};
    program.editor.menuClick("mnuTagesDaten", -1);
    EXPECT_TRUE(p.screen.boxes.empty());
    EXPECT_EQ(p.text.value, reportOf(*device.answerText("rt")));
    EXPECT_EQ(p.dialog.requests.size(), 1u);
}

TEST_F(DownloadsTest, CorruptedRepeatCopyIsAskedForAgain) {
    device.barrier.faults.corruptedRepeats = 1;
    p.dialog.files = {std::nullopt};
    program.editor.menuClick("mnuAlleDaten", -1);
    EXPECT_EQ(device.pcSent(kNak), 1);
    EXPECT_TRUE(p.screen.boxes.empty());
    EXPECT_EQ(program.state.CountText, *device.answerText("ra"));
}

TEST_F(DownloadsTest, ThreeBadHeadersGiveTwoNaksThenTheReport) {
    device.barrier.faults.badHeaders = 3;
    program.editor.menuClick("mnuAlleDaten", -1);
    EXPECT_EQ(device.pcSent(kNak), 2);
    expectTransferFailedAndNothingSaved();
}

TEST_F(DownloadsTest, DeviceStoppingMidTransferKeepsWhatCameButSavesNothing) {
    device.barrier.faults.stopAfterBlocks = 2;
    program.editor.menuClick("mnuAlleDaten", -1);
    expectTransferFailedAndNothingSaved();
    EXPECT_EQ(program.state.CountText, device.answerText("ra")->substr(0, 64));
}

TEST_F(DownloadsTest, FailedBulkAfterADateGivesTheReportAndNoSave) {
    device.barrier.faults.stopAfterBlocks = 1;
    p.screen.inputs = {"03.12.26"};
    program.editor.menuClick("mnuAbDatum", -1);
    expectTransferFailedAndNothingSaved();
    EXPECT_EQ(p.screen.prompts.size(), 1u);
}

TEST_F(DownloadsTest, PortThatCannotBeOpenedOffersNoSaveOfAnOlderReport) {
    p.dialog.files = {std::nullopt};
    program.editor.menuClick("mnuTagesDaten", -1); // an earlier good download
    p.dialog.requests.clear();
    p.comm.unavailablePorts = {2};
    for (const char* item : {"mnuTagesDaten", "mnuAlleDaten"}) {
        p.screen.boxes.clear();
        program.editor.menuClick(item, -1);
        ASSERT_EQ(p.screen.boxes.size(), 1u) << item;
        EXPECT_EQ(p.screen.boxes[0].text.substr(0, 31), "Dieser Schnittstellen-Anschluß");
        EXPECT_TRUE(p.dialog.requests.empty()) << item;
    }
    p.screen.boxes.clear();
    p.screen.inputs = {"01.12.26"};
    program.editor.menuClick("mnuAbDatum", -1);
    EXPECT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_TRUE(p.dialog.requests.empty());
    EXPECT_EQ(p.files.writes, 1);
}

} // namespace
} // namespace orva
