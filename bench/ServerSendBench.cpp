// Sending a 2-year download (about 17,500 hours) from the local archive to a PostgreSQL server
// on this machine, started for the run like the tests start theirs. Target: <= 1 s.

#include "../tests/server/PgServer.h"
#include "archive/ArchiveRows.h"
#include "archive/ArchiveSync.h"
#include "archive/qt/SqlArchive.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace orva;
    QCoreApplication app(argc, argv);
    test::PgServer pg;
    if (!pg.ok()) {
        std::fprintf(stderr, "the PostgreSQL server did not start\n");
        return 1;
    }
    std::vector<ArchivedHour> hours;
    for (int d = 0; d < 730; ++d) {
        for (int h = 0; h < 24; ++h) {
            hours.push_back({addDays({2024, 12, 1}, d), h, (d * 7 + h) % 300, (d + h) % 200});
        }
    }
    const DateTime at{{2026, 12, 7}, 12, 0, 0};
    for (int run = 0; run < 3; ++run) {
        SqlArchive local(pg.folder() + "/local" + std::to_string(run) + ".sqlite");
        local.merge("Site " + std::to_string(run), hours, at);
        auto server = SqlArchive::server(pg.conninfo());
        server->open();
        QElapsedTimer timer;
        timer.start();
        const SendResult r = sendPending(local, *server);
        std::printf("send of %zu hours to a new site: %lld ms%s\n", hours.size(),
                    static_cast<long long>(timer.elapsed()), r.error ? " (FAILED)" : "");
        timer.restart();
        local.merge("Site " + std::to_string(run), hours, at); // the same again: nothing new
        sendPending(local, *server);
        std::printf("send of the same hours again: %lld ms\n",
                    static_cast<long long>(timer.elapsed()));
    }
    return 0;
}
