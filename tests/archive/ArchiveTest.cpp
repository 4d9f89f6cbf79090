#include "ArchiveTesting.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveRows.h"
#include "archive/qt/SqlArchive.h"
#include "sim/SimulatedDevice.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <regex>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace orva::test {
namespace {

std::string golden(const std::string& name) {
    std::ifstream in(std::string(ORVA_GOLDEN_EVALUATION_DIR) + "/" + name + ".json");
    return nlohmann::json::parse(in).at("count_text").get<std::string>();
}

std::string hex2(int v) {
    static const char* digits = "0123456789ABCDEF";
    return {digits[(v >> 4) & 15], digits[v & 15]};
}
// One day block with one record, then the end marker.
std::string oneDay(int yy, int mm, int dd, int hour, int right, int left) {
    return "000000000000" + hex2(yy) + hex2(mm) + hex2(dd) + "00" + hex2(hour) + hex2(right >> 8) +
           hex2(right) + hex2(left >> 8) + hex2(left) + "000000000000000000";
}

class ArchiveTest : public ::testing::Test {
protected:
    std::string file(const std::string& name = "ORVA-Archiv.sqlite") const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    std::vector<ArchivedHour> hoursOf(const std::string& countText) const {
        return archiveHours(ReadCountData(countText), kNoon.date);
    }
    // Every site's rows, counts only: when they were downloaded differs from run to run.
    std::vector<std::pair<std::string, std::vector<ArchivedHour>>> dump(SqlArchive& a) const {
        std::vector<std::pair<std::string, std::vector<ArchivedHour>>> out;
        for (const std::string& site : ok(a.sites())) {
            out.emplace_back(site, ok(a.hours({site, kAll.from, kAll.to})));
        }
        return out;
    }
    QTemporaryDir dir_;
};

TEST_F(ArchiveTest, DownloadsInAnyOrderAndTwiceGiveTheSameArchive) {
    const std::vector<std::string> downloads = {
        golden("week_both_00_23"), golden("month_left_06_18"), golden("two_records_same_hour"),
        golden("three_days_middle_skipped"), golden("hour_25_record_left_06_18")};
    std::vector<int> order = {0, 1, 2, 3, 4};
    std::optional<std::vector<std::pair<std::string, std::vector<ArchivedHour>>>> first;
    for (int run = 0; run < 4; ++run) {
        SqlArchive archive(file("run" + std::to_string(run) + ".sqlite"));
        for (int i : order) {
            ok(archive.merge("Nord", hoursOf(downloads[i]), kNoon));
            ok(archive.merge(i % 2 ? "Süd" : "Nord", hoursOf(downloads[i]), kNoon));
        }
        const auto content = dump(archive);
        ASSERT_FALSE(content.empty());
        if (first) {
            EXPECT_EQ(content, *first) << "order " << run;
        } else {
            first = content;
        }
        std::reverse(order.begin(), order.end());
        std::rotate(order.begin(), order.begin() + 2, order.end());
    }
    // The archive holds the days the reports show, no refused day, no skipped 01.01.94.
    SqlArchive one(file("one.sqlite"));
    std::set<std::string> reported;
    for (const char* name :
         {"hour_25_record_left_06_18", "skipped_date_only", "three_days_middle_skipped"}) {
        ok(one.merge("Nord", hoursOf(golden(name)), kNoon));
        std::ifstream in(std::string(ORVA_GOLDEN_EVALUATION_DIR) + "/" + name + ".json");
        const std::string report = nlohmann::json::parse(in).at("expected_report");
        const std::regex dateLine("Datum: (\\d\\d)\\.(\\d\\d)\\.(\\d\\d)");
        for (std::sregex_iterator m(report.begin(), report.end(), dateLine), e; m != e; ++m) {
            reported.insert((*m)[1].str() + "." + (*m)[2].str() + ".20" + (*m)[3].str());
        }
    }
    std::set<std::string> archived;
    for (const DayTotals& d : ok(one.days(kAll, 0, 23))) {
        archived.insert(formatShortDate(d.date));
    }
    EXPECT_EQ(archived, reported);
}

TEST_F(ArchiveTest, ShorterOrLowerDownloadsLoseNothing) {
    SqlArchive archive(file());
    const std::string month = golden("month_left_06_18");
    const std::vector<ArchivedHour> all = hoursOf(month);
    ok(archive.merge(kDefaultSite, all, kNoon));
    const std::size_t daysBefore = ok(archive.days(kAll, 0, 23)).size();
    // The device was cleared: only the last day comes again, with lower counts.
    std::vector<ArchivedHour> lastDay;
    int lowered = 0;
    for (ArchivedHour h : all) {
        if (h.date == all.back().date) {
            lowered += h.right > 0 ? 1 : 0;
            h.right = std::max(0L, h.right - 1);
            lastDay.push_back(h);
        }
    }
    const MergeSummary s = ok(archive.merge(kDefaultSite, lastDay, kNoon));
    EXPECT_EQ(s.conflicts, lowered);
    EXPECT_EQ(s.changed, 0);
    EXPECT_EQ(ok(archive.conflicts(kAll)), lowered);
    EXPECT_EQ(ok(archive.days(kAll, 0, 23)).size(), daysBefore);
    EXPECT_EQ(ok(archive.hours(kAll)), all);

    // The hour still running when the counts were read may read lower later (the device was
    // set back); an hour that had ended may not.
    const Date today = kNoon.date;
    ok(archive.merge("Ost", {{today, 11, 50, 40}, {today, 12, 30, 30}}, kNoon));
    const MergeSummary again =
        ok(archive.merge("Ost", {{today, 11, 9, 45}, {today, 12, 20, 31}}, kNoon));
    EXPECT_EQ(again.conflicts, 1);
    EXPECT_EQ(ok(archive.hours({"Ost", today, today})),
              (std::vector<ArchivedHour>{{today, 11, 50, 45}, {today, 12, 20, 31}}));
}

TEST_F(ArchiveTest, TwoDigitYearsAreDatedAgainstThePcDate) {
    struct Case {
        int yy, mm, dd;
        Date today;
        Date stored;
    } cases[] = {
        {94, 12, 31, {2026, 12, 7}, {1994, 12, 31}},
        {29, 6, 1, {2026, 12, 7}, {1929, 6, 1}},
        {29, 6, 1, {2029, 7, 1}, {2029, 6, 1}},
        {30, 1, 1, {2029, 12, 31}, {2030, 1, 1}}, // New Year's Eve: tomorrow may already count
        {30, 1, 2, {2029, 12, 31}, {1930, 1, 2}},
    };
    SqlArchive archive(file());
    for (const Case& c : cases) {
        const std::vector<ArchivedHour> hours =
            archiveHours(ReadCountData(oneDay(c.yy, c.mm, c.dd, 13, 37, 7)), c.today);
        ok(archive.merge(kDefaultSite, hours, {c.today, 12, 0, 0}));
        EXPECT_EQ(ok(archive.hours({kDefaultSite, c.stored, c.stored})),
                  (std::vector<ArchivedHour>{{c.stored, 13, 37, 7}}))
            << c.yy << "-" << c.mm << "-" << c.dd;
    }
}

TEST_F(ArchiveTest, SitesAddUpAndRename) {
    SqlArchive archive(file());
    const Date d{2026, 12, 1};
    ok(archive.merge("Nord", {{d, 8, 10, 1}, {d, 9, 5, 2}}, kNoon));
    ok(archive.merge("Süd", {{d, 8, 3, 4}}, kNoon));
    EXPECT_EQ(ok(archive.days({"", d, d}, 8, 8)), (std::vector<DayTotals>{{d, 18, 7, 13, 5, 2}}));
    EXPECT_FALSE(ok(archive.renameSite("Nord", "Süd")));
    EXPECT_TRUE(ok(archive.renameSite("Nord", "Eingang Nord")));
    EXPECT_EQ(ok(archive.sites()), (std::vector<std::string>{"Eingang Nord", "Süd"}));
    const WeekdayProfile p = ok(archive.profile({"", d, d}));
    EXPECT_EQ(p.days[weekday(d)], 1);
    EXPECT_DOUBLE_EQ(p.right[weekday(d)][8], 13.0);
}

TEST_F(ArchiveTest, FilesThatAreNoUsableArchiveAreNeverWrittenOver) {
    const std::string path = file();
    { std::ofstream(path) << std::string(4096, 'x'); }
    {
        SqlArchive archive(path);
        const auto e = archive.open();
        ASSERT_TRUE(e);
        EXPECT_EQ(e->fault, ArchiveFault::Corrupt) << e->detail;
        std::ifstream old(e->movedTo);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), std::string(4096, 'x'));
        EXPECT_FALSE(archive.open()); // a new one in its place
        ok(archive.merge(kDefaultSite, {{{2026, 1, 1}, 1, 1, 1}}, kNoon));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(QString::fromStdString(file("foreign.sqlite")));
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("CREATE TABLE kunden (name TEXT)");
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");
    SqlArchive foreign(file("foreign.sqlite"));
    EXPECT_EQ(std::get<ArchiveError>(foreign.merge("x", {{{2026, 1, 1}, 1, 1, 1}}, kNoon)).fault,
              ArchiveFault::NotAnArchive);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "newer");
        db.setDatabaseName(QString::fromStdString(path));
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("UPDATE archive_info SET value = '2' WHERE key = 'schema_version'");
        db.close();
    }
    QSqlDatabase::removeDatabase("newer");
    SqlArchive newer(path);
    EXPECT_EQ(newer.open()->fault, ArchiveFault::NewerSchema);
    SqlArchive missingFolder(file("fehlt/ORVA-Archiv.sqlite"));
    EXPECT_EQ(missingFolder.open()->fault, ArchiveFault::CannotOpen);
}

// Two years of hours, 24 a day.
std::vector<ArchivedHour> twoYears() {
    std::vector<ArchivedHour> hours;
    for (int day = 0; day < 730; ++day) {
        for (int h = 0; h < 24; ++h) {
            hours.push_back({addDays({2024, 12, 1}, day), h, day + h, h});
        }
    }
    return hours;
}

TEST_F(ArchiveTest, KilledInTheMiddleOfAMergeLeavesBeforeOrAfter) {
    const std::string path = file();
    const std::vector<ArchivedHour> download = twoYears();
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFds[0]);
        SqlArchive archive(path);
        for (int site = 0;; ++site) {
            if (std::holds_alternative<ArchiveError>(
                    archive.merge("S" + std::to_string(site), download, kNoon))) {
                _exit(2);
            }
            if (site == 0 && write(pipeFds[1], "x", 1) != 1) {
                _exit(3);
            }
        }
    }
    close(pipeFds[1]);
    char byte = 0;
    // The child has merged one site whole and is in the middle of the next ones.
    const bool merged = read(pipeFds[0], &byte, 1) == 1;
    close(pipeFds[0]);
    usleep(150'000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(merged) << "the child never finished its first merge";
    ASSERT_TRUE(WIFSIGNALED(status));

    SqlArchive after(path);
    ASSERT_FALSE(after.open());
    const std::vector<std::string> sites = ok(after.sites());
    ASSERT_FALSE(sites.empty());
    for (const std::string& site : sites) {
        EXPECT_EQ(ok(after.hours({site, kAll.from, kAll.to})), download) << site;
        EXPECT_EQ(ok(after.days({site, kAll.from, kAll.to}, 0, 23)).size(), 730u) << site;
    }
    ok(after.merge("danach", download, kNoon));
}

struct FixedSite : SiteSetting {
    std::string site() override { return kDefaultSite; }
    void setSite(const std::string&) override {}
};

// The downloads on the simulated light barrier, kept in a real archive: six days held.
class DownloadArchiveTest : public ArchiveTest, public ProgramOnSimulator {
protected:
    DownloadArchiveTest() {
        device.barrier.memory = sim::generateDays({2026, 12, 5}, 6, 11);
        p.dialog.files = {std::nullopt};
        program.downloads.setArchive(archive, site);
    }
    std::vector<std::string> archivedDays() {
        std::vector<std::string> out;
        for (const DayTotals& d : ok(archive.days(kAll, 0, 23))) {
            out.push_back(formatShortDate(d.date));
        }
        return out;
    }
    SqlArchive archive{file()};
    FixedSite site;
};

TEST_F(DownloadArchiveTest, EveryCompleteDayIsKeptAlsoWhenTheTransferEnds) {
    // 20 blocks of 32 digits: a day is whole where the next one's separator came too.
    device.barrier.faults.stopAfterBlocks = 20;
    std::vector<std::string> whole;
    std::size_t end = 0;
    for (const sim::StoredDay& day : device.barrier.memory) {
        end += 18 + 12 * day.records.size();
        if (end + 12 <= 20 * 32) {
            whole.push_back(formatShortDate({day.date.year, day.date.month, day.date.day}));
        }
    }
    ASSERT_GE(whole.size(), 2u);
    program.editor.menuClick("mnuAlleDaten");
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_TRUE(p.screen.boxes[0].text.starts_with("Übertragungsfehler!"));
    EXPECT_EQ(p.screen.status(), "Status: " + std::to_string(whole.size()) +
                                     " vollständige Tage wurden ins Archiv übernommen.");
    EXPECT_EQ(archivedDays(), whole);

    p.screen.stopAfterPolls = 600;
    program.editor.menuClick("mnuAlleDaten");
    EXPECT_TRUE(p.screen.status().starts_with("Status: Die Übertragung wurde abgebrochen. "));
    EXPECT_GE(archivedDays().size(), 2u);

    p.screen.stopAfterPolls = -1;
    p.screen.boxes.clear();
    program.editor.menuClick("mnuAlleDaten");
    EXPECT_TRUE(p.screen.boxes.empty());
    EXPECT_EQ(archivedDays().size(), 6u);
    EXPECT_EQ(ok(archive.hours(kAll)),
              archiveHours(ReadCountData(program.state.CountText), p.clock.nowValue.date));
}

TEST_F(DownloadArchiveTest, AnArchiveThatCannotServeOnlyAddsOneBoxAtTheEnd) {
    SqlArchive nowhere(file("fehlt/ORVA-Archiv.sqlite"));
    program.downloads.setArchive(nowhere, site);
    p.dialog.files = {"/home/op/ORVA-DS/AD0512.txt"};
    program.editor.menuClick("mnuAlleDaten");
    EXPECT_NE(p.text.value.find("Datum: 05.12.26"), std::string::npos);
    EXPECT_TRUE(p.files.file("/home/op/ORVA-DS/AD0512.txt"));
    ASSERT_EQ(p.screen.boxes.size(), 1u);
    EXPECT_EQ(p.screen.boxes[0].text, archiveErrorText(*nowhere.open()));
    EXPECT_EQ(p.screen.status(),
              "Status: alle Daten bis " + formatDateTwoDigitYear(p.clock.nowValue.date));
}

} // namespace
} // namespace orva::test
