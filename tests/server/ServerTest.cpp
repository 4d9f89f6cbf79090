#include "ArchiveTesting.h"
#include "PgServer.h"
#include "archive/ArchiveMessages.h"
#include "archive/ArchiveRows.h"
#include "archive/ArchiveSync.h"
#include "archive/qt/SqlArchive.h"
#include "sim/SimulatedDevice.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace orva::test {
namespace {

// `count` days from `first`, 24 hours each; the counts tell the day, hour and `seed` apart.
std::vector<ArchivedHour> days(const Date& first, int count, int seed = 0) {
    std::vector<ArchivedHour> hours;
    for (int d = 0; d < count; ++d) {
        for (int h = 0; h < 24; ++h) {
            hours.push_back({addDays(first, d), h, 100 + d + seed, h});
        }
    }
    return hours;
}

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pg.ok()) << "the test's own PostgreSQL server did not start";
    }
    std::string local(const std::string& name) const {
        return pg.folder() + "/" + name + ".sqlite";
    }
    long rows(const std::string& where = "true") const {
        return std::stol("0" + pg.psql("SELECT count(*) FROM counts WHERE " + where));
    }
    PgServer pg;
};

// Hours of every site, the way another tool reads them: one row per site, day and hour.
TEST_F(ServerTest, TwoPcsSendOverlappingDownloadsAndTheServerHoldsTheirUnion) {
    SqlArchive pc1(local("pc1"));
    SqlArchive pc2(local("pc2"));
    ok(pc1.merge("Nord", days({2026, 11, 1}, 20), kNoon));
    ok(pc1.merge("Süd", days({2026, 11, 10}, 10), kNoon));
    ok(pc2.merge("Nord", days({2026, 11, 15}, 16), kNoon)); // 6 days overlap pc1's
    ok(pc2.merge("Süd", days({2026, 11, 1}, 12), kNoon));   // 3 days overlap
    auto server = SqlArchive::server(pg.conninfo());
    const SendResult first = sendPending(pc1, *server);
    const SendResult second = sendPending(pc2, *server);
    EXPECT_FALSE(first.error || second.error);
    EXPECT_EQ(first.sent + second.sent, 4);
    EXPECT_EQ(sendPending(pc1, *server).sent, 0); // nothing waits any more
    EXPECT_EQ(rows("site = 'Nord'"), 30 * 24);
    EXPECT_EQ(rows("site = 'Süd'"), 19 * 24);
    EXPECT_EQ(pg.psql("SELECT count(*) FROM (SELECT site, day, hour FROM counts "
                      "GROUP BY site, day, hour HAVING count(*) > 1) d"),
              "0");
    // A third PC with an empty archive reads the same days and sums.
    auto third = SqlArchive::server(pg.conninfo());
    EXPECT_EQ(ok(third->days({"Nord", {2026, 11, 15}, {2026, 11, 20}}, 6, 18)),
              ok(pc1.days({"Nord", {2026, 11, 15}, {2026, 11, 20}}, 6, 18)));
    EXPECT_EQ(ok(third->sites()), (std::vector<std::string>{"Nord", "Süd"}));
    EXPECT_EQ(pg.psql("SELECT right_count FROM counts WHERE site = 'Nord' "
                      "AND day = DATE '2026-11-03' AND hour = 5"),
              "102");
}

TEST_F(ServerTest, AServerGoneInTheMiddleOfASendLosesAndDoublesNothing) {
    SqlArchive pc(local("pc"));
    for (int i = 0; i < 12; ++i) {
        ok(pc.merge("Nord", days(addDays({2020, 1, 1}, i * 200), 365, i), kNoon));
    }
    auto server = SqlArchive::server(pg.conninfo());
    ASSERT_FALSE(server->open());
    ASSERT_TRUE(pg.stop());
    QElapsedTimer timer;
    timer.start();
    const SendResult away = sendPending(pc, *server);
    EXPECT_LT(timer.elapsed(), 8000) << "a server that is away held up the send";
    ASSERT_TRUE(away.error);
    EXPECT_EQ(away.error->fault, ArchiveFault::CannotOpen);
    EXPECT_EQ(away.waiting, 12);

    ASSERT_TRUE(pg.start());
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        pg.stop();
    });
    const SendResult broken = sendPending(pc, *server);
    stopper.join();
    ASSERT_TRUE(broken.error) << "the send ended before the server was stopped";
    EXPECT_GT(broken.waiting, 0);

    ASSERT_TRUE(pg.start());
    const SendResult back = sendPending(pc, *server);
    EXPECT_FALSE(back.error);
    EXPECT_EQ(back.sent, broken.waiting);
    EXPECT_EQ(ok(server->hours(kAll)), ok(pc.hours(kAll)));
    EXPECT_EQ(rows(), static_cast<long>(ok(pc.hours(kAll)).size()));
}

TEST_F(ServerTest, AWrongPasswordOrANewerSchemaIsRefusedClearly) {
    const std::string wrong = pg.folder() + "/falsch";
    {
        QFile f(QString::fromStdString(wrong));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("*:*:*:orva:falsch\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    auto server = SqlArchive::server(pg.conninfo(wrong) + " password=streng-geheim");
    QElapsedTimer timer;
    timer.start();
    const auto e = server->open();
    EXPECT_LT(timer.elapsed(), 6000);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->fault, ArchiveFault::CannotOpen);
    const std::string box = archiveErrorText(*e);
    EXPECT_EQ(box.find("streng-geheim"), std::string::npos) << box;
    EXPECT_NE(box.find("password=***"), std::string::npos) << box;

    auto good = SqlArchive::server(pg.conninfo());
    ASSERT_FALSE(good->open());
    pg.psql("UPDATE archive_info SET value = '2' WHERE key = 'schema_version'");
    auto later = SqlArchive::server(pg.conninfo());
    ASSERT_TRUE(later->open());
    EXPECT_EQ(later->open()->fault, ArchiveFault::NewerSchema);
}

TEST_F(ServerTest, EightPcsSendingAtOnceStoreEveryHourOnce) {
    std::vector<pid_t> children;
    for (int pc = 0; pc < 8; ++pc) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int status = 0;
            {
                SqlArchive mine(local("pc" + std::to_string(pc)));
                // Every PC holds days the next one holds too, of one of two sites.
                mine.merge(pc % 2 ? "Nord" : "Süd",
                           days(addDays({2026, 1, 1}, pc * 10), 20, pc % 2), kNoon);
                auto server = SqlArchive::server(pg.conninfo());
                const SendResult r = sendPending(mine, *server);
                status = r.error ? 1 : r.sent == 1 ? 0 : 2;
            }
            _exit(status);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a PC's send failed";
    }
    // Süd: PCs 0, 2, 4, 6 from day 0, 20, 40, 60, 20 days each; Nord likewise from day 10.
    EXPECT_EQ(rows("site = 'Süd'"), 80 * 24);
    EXPECT_EQ(rows("site = 'Nord'"), 80 * 24);
    EXPECT_EQ(pg.psql("SELECT count(*) FROM (SELECT 1 FROM counts GROUP BY site, day, hour "
                      "HAVING count(*) > 1) d"),
              "0");
}

struct Settings : SiteSetting, ServerSetting {
    std::string site() override { return "Eingang"; }
    void setSite(const std::string&) override {}
    std::string server() override { return conninfo; }
    void setServer(const std::string& c) override { conninfo = c; }
    std::optional<std::string> ask(const std::string&) override { return typed; }
    std::string conninfo;
    std::string typed;
};

// The program on the simulated light barrier: local first, then the server; a server that is
// away costs one box and the status line says what waits.
TEST_F(ServerTest, DownloadsGoToTheServerOrWaitForIt) {
    ProgramOnSimulator pc;
    pc.device.barrier.memory = sim::generateDays({2026, 12, 5}, 6, 11);
    pc.p.dialog.files = {std::nullopt, std::nullopt};
    SqlArchive local(this->local("pc"));
    Settings settings;
    settings.conninfo = pg.conninfo();
    const auto connect = [](const std::string& c) {
        return std::unique_ptr<CountArchive>(SqlArchive::server(c));
    };
    pc.program.setArchive(local, settings, settings, connect);
    Auswertung& window = pc.program.auswertung;
    window.setArchive(local, settings);
    window.setServer(settings, connect);
    ASSERT_TRUE(pg.stop());
    // A transfer that fails keeps its whole days and shows its own box only.
    pc.device.barrier.faults.stopAfterBlocks = 20;
    pc.program.editor.menuClick("mnuAlleDaten");
    ASSERT_EQ(pc.p.screen.boxes.size(), 1u);
    EXPECT_TRUE(pc.p.screen.boxes[0].text.starts_with("Übertragungsfehler!"))
        << pc.p.screen.boxes[0].text << " / " << pc.p.screen.status();
    EXPECT_TRUE(pc.p.screen.status().ends_with("ins Archiv übernommen."));
    pc.p.screen.boxes.clear();
    pc.program.editor.menuClick("mnuAlleDaten");
    ASSERT_EQ(pc.p.screen.boxes.size(), 1u);
    EXPECT_NE(pc.p.screen.boxes[0].text.find("nicht erreichbar"), std::string::npos);
    EXPECT_EQ(pc.p.screen.status(), "Status: 2 Abrufe warten auf den Archiv-Server.");
    EXPECT_EQ(ok(local.days(kAll, 0, 23)).size(), 6u);

    EXPECT_EQ(window.waitingNote(), "2 Abrufe warten auf den Archiv-Server.");
    // A password typed into the setting is refused: the configuration is a plain file.
    const std::string before = settings.conninfo;
    settings.typed = before + " password=geheim";
    pc.program.editor.menuClick("mnuServer");
    EXPECT_EQ(settings.conninfo, before);
    ASSERT_EQ(pc.p.screen.boxes.size(), 2u);
    EXPECT_NE(pc.p.screen.boxes[1].text.find("~/.pgpass"), std::string::npos);
    pc.p.screen.boxes.pop_back();
    ASSERT_TRUE(pg.start());
    pc.program.editor.menuClick("mnuSenden");
    EXPECT_EQ(window.waitingNote(), "");
    // The window reads the server's archive, with what another PC sent.
    auto other = SqlArchive::server(pg.conninfo());
    ok(other->merge("Fremd", days({2026, 12, 1}, 1), kNoon));
    ok(other->merge("Zweite", days({2026, 12, 2}, 1), kNoon));
    pc.program.editor.menuClick("mnuTabellarisch(0)");
    window.chooseSource(true);
    ASSERT_TRUE(window.onServer() && window.shown());
    EXPECT_EQ(window.shown()->sites, (std::vector<std::string>{"Eingang", "Fremd", "Zweite"}));
    // One site, several, or all of them added up.
    const auto total = [&] {
        long sum = 0;
        for (const ViewRow& row : window.shown()->rows) {
            sum += row.total;
        }
        return sum;
    };
    window.chooseSite("Fremd");
    const long fremd = total();
    window.chooseSite("Eingang");
    const long eingang = total();
    window.chooseSites({"Eingang", "Fremd"});
    EXPECT_EQ(siteLabel(window.request()), "Eingang + Fremd");
    EXPECT_EQ(total(), eingang + fremd);
    EXPECT_GT(fremd * eingang, 0);
    EXPECT_EQ(pc.p.screen.boxes.size(), 1u);
    EXPECT_EQ(pc.p.screen.status(),
              "Status: Das Archiv ist auf dem Server vollständig (2 Abrufe gesendet).");
    EXPECT_EQ(rows("site = 'Eingang'"), static_cast<long>(ok(local.hours(kAll)).size()));
}

} // namespace
} // namespace orva::test
