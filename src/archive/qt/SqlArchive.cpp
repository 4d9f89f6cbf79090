#include "archive/qt/SqlArchive.h"

#include "archive/ArchiveRows.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <map>

namespace orva {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}
QString dayText(const Date& d) {
    return q(isoDate(d));
}

std::string timestamp(const DateTime& t) {
    return isoDate(t.date) + "T" + zeroPadded(t.hour, 2) + ":" + zeroPadded(t.minute, 2) + ":" +
           zeroPadded(t.second, 2);
}

// Hour columns of the day table: r00 ... r23, l00 ... l23.
QString hourColumn(char direction, int hour) {
    return QString(QLatin1Char(direction)) + QString::number(hour).rightJustified(2, u'0');
}

// `counts` is the truth, one row per site, day and hour. `day_totals` holds the same counts one
// row per site and day, kept by every merge, so that years of counts add up in milliseconds.
QStringList schema(bool server) {
    // The same tables on a server, in its own types; dates as DATE there, for other tools.
    const QString day = server ? QStringLiteral("DATE") : QStringLiteral("TEXT");
    const QString clustered = server ? QString() : QStringLiteral(" WITHOUT ROWID");
    const QString create =
        server ? QStringLiteral("CREATE TABLE IF NOT EXISTS ") : QStringLiteral("CREATE TABLE ");
    QString dayColumns;
    for (char direction : {'r', 'l'}) {
        for (int h = 0; h < 24; ++h) {
            dayColumns += QStringLiteral(", %1 INTEGER NOT NULL").arg(hourColumn(direction, h));
        }
    }
    return {
        create + QStringLiteral("archive_info (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
        create +
            QStringLiteral("counts (day %1 NOT NULL, site TEXT NOT NULL, "
                           "hour INTEGER NOT NULL CHECK (hour BETWEEN 0 AND 23), "
                           "weekday INTEGER NOT NULL CHECK (weekday BETWEEN 1 AND 7), "
                           "right_count INTEGER NOT NULL, left_count INTEGER NOT NULL, "
                           "downloaded_at TEXT NOT NULL, PRIMARY KEY (day, site, hour))")
                .arg(day) +
            clustered,
        create +
            QStringLiteral("day_totals (day %1 NOT NULL, site TEXT NOT NULL, "
                           "weekday INTEGER NOT NULL, hours INTEGER NOT NULL")
                .arg(day) +
            dayColumns + QStringLiteral(", PRIMARY KEY (day, site))") + clustered,
        create + QStringLiteral("conflicts (site TEXT NOT NULL, day %1 NOT NULL, "
                                "hour INTEGER NOT NULL, kept_right INTEGER NOT NULL, "
                                "kept_left INTEGER NOT NULL, offered_right INTEGER NOT NULL, "
                                "offered_left INTEGER NOT NULL, seen_at TEXT NOT NULL, "
                                "PRIMARY KEY (site, day, hour, offered_right, offered_left))")
                     .arg(day),
        create + QStringLiteral("downloads (id %1 PRIMARY KEY, site TEXT NOT NULL, "
                                "downloaded_at TEXT NOT NULL, first_day %2, last_day %2, "
                                "hours INTEGER NOT NULL, conflicts INTEGER NOT NULL, "
                                "sent INTEGER NOT NULL DEFAULT 0)")
                     .arg(server ? QStringLiteral("BIGSERIAL") : QStringLiteral("INTEGER"), day),
    };
}

// Sums of the hour columns from `from` to `to` of one direction, as an SQL expression.
QString hourSum(char direction, int from, int to) {
    QString sum = QStringLiteral("0");
    for (int h = std::max(0, from); h <= std::min(23, to); ++h) {
        sum += QStringLiteral(" + ") + hourColumn(direction, h);
    }
    return sum;
}

// A query whose every value is bound, never spliced into the text.
struct Statement {
    QSqlQuery query;
    bool prepared = false;
    QString direct; // run as it stands: no values, and a server cannot prepare table making
    Statement(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {})
        : query(db) {
        query.setForwardOnly(true);
        if (values.isEmpty()) {
            direct = sql;
            return;
        }
        prepared = query.prepare(sql);
        for (const QVariant& v : values) {
            query.addBindValue(v);
        }
    }
    // A statement that did not prepare keeps the database's reason instead of "no query".
    bool run() { return direct.isEmpty() ? prepared && query.exec() : query.exec(direct); }
};

// `site` empty: every site added up, or the `sites` given.
QString siteFilter(const ArchiveQuery& query, QVariantList& values) {
    values = {dayText(query.from), dayText(query.to)};
    if (!query.sites.empty()) {
        QString marks;
        for (const std::string& site : query.sites) {
            marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(", ?");
            values.append(q(site));
        }
        return QStringLiteral(" WHERE day BETWEEN ? AND ? AND site IN (") + marks + ")";
    }
    if (query.site.empty()) {
        return QStringLiteral(" WHERE day BETWEEN ? AND ?");
    }
    values.append(q(query.site));
    return QStringLiteral(" WHERE day BETWEEN ? AND ? AND site = ?");
}

} // namespace

SqlArchive::SqlArchive(std::string path) : path_(std::move(path)) {
    static std::atomic<int> serial{0};
    connection_ = QStringLiteral("orva-archive-%1").arg(++serial);
}

std::unique_ptr<SqlArchive> SqlArchive::server(const std::string& conninfo) {
    auto archive = std::make_unique<SqlArchive>(serverName(conninfo));
    archive->server_ = true;
    archive->conninfo_ = conninfo;
    return archive;
}

std::string SqlArchive::serverName(const std::string& conninfo) {
    // Never a password in a box or a trace: libpq's password file is the place for it.
    static const QRegularExpression password(QStringLiteral("password\\s*=\\s*('[^']*'|\\S*)"));
    return QString::fromStdString(conninfo)
        .replace(password, QStringLiteral("password=***"))
        .toStdString();
}

SqlArchive::~SqlArchive() {
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

ArchiveError SqlArchive::made(ArchiveFault fault, std::string detail) const {
    return {fault, path_, {}, std::move(detail), server_};
}

ArchiveError SqlArchive::errorFrom(const QSqlError& e) const {
    ArchiveError error = made(ArchiveFault::Failed, serverName(e.text().toStdString()));
    if (server_) {
        // SQLSTATE classes: 08 connection, 28 authorization, 53 resources, 55/40 locks.
        const QString state = e.nativeErrorCode();
        if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("28")) ||
            state.startsWith(QLatin1String("57P")) || state.isEmpty()) {
            error.fault = ArchiveFault::CannotOpen;
        } else if (state.startsWith(QLatin1String("53"))) {
            error.fault = ArchiveFault::DiskFull;
        } else if (state == QLatin1String("55P03") || state.startsWith(QLatin1String("40"))) {
            error.fault = ArchiveFault::Locked;
        }
        return error;
    }
    // SQLite's own result codes.
    switch (e.nativeErrorCode().toInt()) {
    case 5: // busy
    case 6: // locked
        error.fault = ArchiveFault::Locked;
        break;
    case 8:  // read-only
    case 14: // cannot open
        error.fault = ArchiveFault::CannotOpen;
        break;
    case 11: // corrupt
    case 26: // not a database
        error.fault = ArchiveFault::Corrupt;
        break;
    case 13: // full
        error.fault = ArchiveFault::DiskFull;
        break;
    default:
        break;
    }
    return error;
}

std::optional<ArchiveError> SqlArchive::openFile() {
    QSqlDatabase db =
        QSqlDatabase::contains(connection_)
            ? QSqlDatabase::database(connection_, false)
            : QSqlDatabase::addDatabase(
                  server_ ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), connection_);
    if (!db.isValid()) {
        return made(ArchiveFault::CannotOpen,
                    server_ ? "Der PostgreSQL-Treiber von Qt fehlt (libqt6sql6-psql)."
                            : "Der SQLite-Treiber von Qt fehlt (libqt6sql6-sqlite).");
    }
    if (server_) {
        // The connection string goes to libpq as it stands; a server that does not answer must
        // not hold up a command for long.
        QString options = q(conninfo_);
        if (!options.contains(QLatin1String("connect_timeout"))) {
            options += QStringLiteral(" connect_timeout=5");
        }
        db.setConnectOptions(options);
    } else {
        db.setDatabaseName(q(path_));
        // Another instance's merge takes well under a second; wait for it rather than fail.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    }
    if (!db.open()) {
        ArchiveError e = errorFrom(db.lastError());
        if (e.fault == ArchiveFault::Failed) {
            e.fault = ArchiveFault::CannotOpen;
        }
        return e;
    }
    return createOrCheckSchema();
}

std::optional<ArchiveError> SqlArchive::createOrCheckSchema() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!server_) {
        Statement check(db, QStringLiteral("PRAGMA quick_check(1)"));
        if (!check.run()) {
            return errorFrom(check.query.lastError());
        }
        if (!check.query.next() || check.query.value(0).toString() != QStringLiteral("ok")) {
            return made(ArchiveFault::Corrupt, check.query.value(0).toString().toStdString());
        }
    }
    auto fail = [&](const QSqlError& error) {
        ArchiveError e = errorFrom(error);
        db.rollback();
        return e;
    };
    if (!db.transaction()) {
        return errorFrom(db.lastError());
    }
    // Several PCs may meet an empty server at once: one makes the tables, the others wait.
    if (server_) {
        if (Statement lock(db, QStringLiteral("SELECT pg_advisory_xact_lock(4242)")); !lock.run()) {
            return fail(lock.query.lastError());
        }
    }
    Statement tables(db, server_
                             ? QStringLiteral("SELECT table_name FROM information_schema.tables "
                                              "WHERE table_schema = current_schema()")
                             : QStringLiteral("SELECT name FROM sqlite_master "
                                              "WHERE type = 'table'"));
    if (!tables.run()) {
        return fail(tables.query.lastError());
    }
    bool any = false;
    bool ours = false;
    while (tables.query.next()) {
        any = true;
        ours = ours || tables.query.value(0).toString() == QStringLiteral("archive_info");
    }
    if (!any) {
        for (const QString& sql : schema(server_)) {
            if (Statement s(db, sql); !s.run()) {
                return fail(s.query.lastError());
            }
        }
        Statement info(db,
                       QStringLiteral("INSERT INTO archive_info (key, value) VALUES "
                                      "('schema_version', ?), ('program', 'orva-ds')"),
                       {QString::number(kSchemaVersion)});
        if (!info.run()) {
            return fail(info.query.lastError());
        }
        if (!db.commit()) {
            return fail(db.lastError());
        }
        return std::nullopt;
    }
    db.rollback(); // only read
    if (!ours) {
        return made(ArchiveFault::NotAnArchive);
    }
    Statement version(db, QStringLiteral("SELECT value FROM archive_info WHERE key = ?"),
                      {QStringLiteral("schema_version")});
    if (!version.run() || !version.query.next()) {
        return made(ArchiveFault::NotAnArchive);
    }
    bool number = false;
    const int v = version.query.value(0).toString().toInt(&number);
    if (!number || v < 1) {
        return made(ArchiveFault::NotAnArchive);
    }
    if (v > kSchemaVersion) {
        return made(ArchiveFault::NewerSchema, std::to_string(v));
    }
    return std::nullopt;
}

std::optional<ArchiveError> SqlArchive::ensureOpen() {
    if (open_) {
        return std::nullopt;
    }
    std::optional<ArchiveError> e = openFile();
    if (!e) {
        open_ = true;
        return std::nullopt;
    }
    if (e->fault != ArchiveFault::Corrupt || server_) {
        QSqlDatabase::database(connection_, false).close();
        return e;
    }
    // Never written over: the damaged file goes aside with its journal, a new one starts.
    QSqlDatabase::database(connection_, false).close();
    const QFileInfo info(q(path_));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString aside =
        info.dir().filePath(info.completeBaseName() + QStringLiteral(".defekt-") + stamp +
                            (info.suffix().isEmpty() ? QString() : "." + info.suffix()));
    if (!QFile::rename(q(path_), aside)) {
        e->fault = ArchiveFault::CannotOpen;
        return e;
    }
    for (const char* extra : {"-journal", "-wal", "-shm"}) {
        QFile::rename(q(path_) + QLatin1String(extra), aside + QLatin1String(extra));
    }
    e->movedTo = aside.toStdString();
    if (std::optional<ArchiveError> fresh = openFile()) {
        QSqlDatabase::database(connection_, false).close();
        fresh->movedTo = e->movedTo;
        return fresh;
    }
    open_ = true;
    return e;
}

ArchiveResult<MergeSummary> SqlArchive::merge(const std::string& site,
                                              const std::vector<ArchivedHour>& hours,
                                              const DateTime& downloadedAt) {
    if (auto e = ensureOpen()) {
        return *e;
    }
    MergeSummary summary;
    if (hours.empty()) {
        return summary;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    Date first = hours.front().date;
    Date last = first;
    for (const ArchivedHour& h : hours) {
        first = isoDate(h.date) < isoDate(first) ? h.date : first;
        last = isoDate(h.date) > isoDate(last) ? h.date : last;
    }
    auto fail = [&](const QSqlError& error) {
        ArchiveError e = errorFrom(error);
        db.rollback();
        if (server_) {
            // The server may be gone: the next call connects anew.
            db.close();
            open_ = false;
        } else if (e.fault == ArchiveFault::Corrupt) {
            open_ = false; // moved aside when next opened
        }
        return e;
    };
    if (!db.transaction()) {
        return fail(db.lastError());
    }
    // Merges from several PCs one after the other: each reads what it adds to.
    if (server_) {
        if (Statement lock(db, QStringLiteral("LOCK TABLE counts IN EXCLUSIVE MODE"));
            !lock.run()) {
            return fail(lock.query.lastError());
        }
    }
    using Key = std::pair<std::string, int>;
    std::map<Key, ArchivedHour> held;
    Statement read(db,
                   QStringLiteral("SELECT day, hour, right_count, left_count FROM counts "
                                  "WHERE site = ? AND day BETWEEN ? AND ?"),
                   {q(site), dayText(first), dayText(last)});
    if (!read.run()) {
        return fail(read.query.lastError());
    }
    while (read.query.next()) {
        const std::string day = read.query.value(0).toString().toStdString();
        const std::optional<Date> date = parseIsoDate(day);
        const int hour = read.query.value(1).toInt();
        held[{day, hour}] = {date.value_or(Date{}), hour, read.query.value(2).toLongLong(),
                             read.query.value(3).toLongLong()};
    }
    const QString at = q(timestamp(downloadedAt));
    QSqlQuery conflict(db);
    conflict.prepare(QStringLiteral(
        "INSERT INTO conflicts (site, day, hour, kept_right, kept_left, offered_right, "
        "offered_left, seen_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
    std::vector<ArchivedHour> writes;
    std::string lastDay;
    for (const ArchivedHour& offered : hours) {
        const std::string day = isoDate(offered.date);
        if (day != lastDay) {
            ++summary.days;
            lastDay = day;
        }
        ArchivedHour next = offered;
        const auto found = held.find({day, offered.hour});
        if (found != held.end()) {
            const MergedHour m = mergeHour(found->second, offered,
                                           hourEnded(offered.date, offered.hour, downloadedAt));
            next.right = m.right;
            next.left = m.left;
            if (m.conflict) {
                ++summary.conflicts;
                for (const QVariant& v :
                     {QVariant(q(site)), QVariant(q(day)), QVariant(offered.hour),
                      QVariant(qlonglong(next.right)), QVariant(qlonglong(next.left)),
                      QVariant(qlonglong(offered.right)), QVariant(qlonglong(offered.left)),
                      QVariant(at)}) {
                    conflict.addBindValue(v);
                }
                if (!conflict.exec()) {
                    return fail(conflict.lastError());
                }
            }
            if (next.right == found->second.right && next.left == found->second.left) {
                continue;
            }
            ++summary.changed;
        } else {
            ++summary.added;
        }
        held[{day, offered.hour}] = next;
        writes.push_back(next);
    }
    // Many rows per statement: one statement per hour would take most of the merge's time.
    constexpr std::size_t kRowsPerStatement = 64;
    QSqlQuery write(db);
    for (std::size_t first = 0; first < writes.size(); first += kRowsPerStatement) {
        const std::size_t n = std::min(kRowsPerStatement, writes.size() - first);
        if (first == 0 || n != kRowsPerStatement) {
            QString sql = QStringLiteral("INSERT INTO counts (day, site, hour, weekday, "
                                         "right_count, left_count, downloaded_at) VALUES ");
            for (std::size_t i = 0; i < n; ++i) {
                sql += i == 0 ? QStringLiteral("(?, ?, ?, ?, ?, ?, ?)")
                              : QStringLiteral(", (?, ?, ?, ?, ?, ?, ?)");
            }
            sql += QStringLiteral(" ON CONFLICT (day, site, hour) DO UPDATE SET "
                                  "right_count = excluded.right_count, "
                                  "left_count = excluded.left_count, "
                                  "downloaded_at = excluded.downloaded_at");
            if (!write.prepare(sql)) {
                return fail(write.lastError());
            }
        }
        for (std::size_t i = first; i < first + n; ++i) {
            const ArchivedHour& h = writes[i];
            write.addBindValue(dayText(h.date));
            write.addBindValue(q(site));
            write.addBindValue(h.hour);
            write.addBindValue(weekday(h.date) + 1);
            write.addBindValue(qlonglong(h.right));
            write.addBindValue(qlonglong(h.left));
            write.addBindValue(at);
        }
        if (!write.exec()) {
            return fail(write.lastError());
        }
    }
    if (!writes.empty()) {
        QString columns;
        QString sums;
        QString updates = QStringLiteral("weekday = excluded.weekday, hours = excluded.hours");
        for (char direction : {'r', 'l'}) {
            const char* count = direction == 'r' ? "right_count" : "left_count";
            for (int h = 0; h < 24; ++h) {
                columns += QStringLiteral(", ") + hourColumn(direction, h);
                updates += QStringLiteral(", %1 = excluded.%1").arg(hourColumn(direction, h));
                sums += QStringLiteral(", SUM(CASE WHEN hour = %1 THEN %2 ELSE 0 END)")
                            .arg(h)
                            .arg(QLatin1String(count));
            }
        }
        Statement days(db,
                       QStringLiteral("INSERT INTO day_totals (day, site, weekday, hours") +
                           columns + QStringLiteral(") SELECT day, site, MIN(weekday), COUNT(*)") +
                           sums +
                           QStringLiteral(" FROM counts WHERE day BETWEEN ? AND ? AND site = ? "
                                          "GROUP BY day, site ON CONFLICT (day, site) DO UPDATE "
                                          "SET ") +
                           updates,
                       {dayText(first), dayText(last), q(site)});
        if (!days.run()) {
            return fail(days.query.lastError());
        }
    }
    Statement log(
        db,
        QStringLiteral("INSERT INTO downloads (site, downloaded_at, first_day, "
                       "last_day, hours, conflicts) VALUES (?, ?, ?, ?, ?, ?)"),
        {q(site), at, dayText(first), dayText(last), int(hours.size()), summary.conflicts});
    if (!log.run()) {
        return fail(log.query.lastError());
    }
    if (!db.commit()) {
        return fail(db.lastError());
    }
    return summary;
}

ArchiveResult<std::vector<ArchivedHour>> SqlArchive::hours(const ArchiveQuery& query) {
    if (auto e = ensureOpen()) {
        return *e;
    }
    QVariantList values;
    const QString where = siteFilter(query, values);
    Statement s(QSqlDatabase::database(connection_, false),
                QStringLiteral("SELECT day, hour, SUM(right_count), SUM(left_count) FROM counts") +
                    where + QStringLiteral(" GROUP BY day, hour ORDER BY day, hour"),
                values);
    if (!s.run()) {
        return errorFrom(s.query.lastError());
    }
    std::vector<ArchivedHour> out;
    while (s.query.next()) {
        if (const auto d = parseIsoDate(s.query.value(0).toString().toStdString())) {
            out.push_back({*d, s.query.value(1).toInt(), s.query.value(2).toLongLong(),
                           s.query.value(3).toLongLong()});
        }
    }
    return out;
}

ArchiveResult<std::vector<DayTotals>> SqlArchive::days(const ArchiveQuery& query, int fromHour,
                                                       int toHour) {
    if (auto e = ensureOpen()) {
        return *e;
    }
    QVariantList values;
    const QString where = siteFilter(query, values);
    Statement s(QSqlDatabase::database(connection_, false),
                QStringLiteral("SELECT day, SUM(%1), SUM(%2), SUM(%3), SUM(%4), MAX(hours) "
                               "FROM day_totals")
                        .arg(hourSum('r', 0, 23), hourSum('l', 0, 23),
                             hourSum('r', fromHour, toHour), hourSum('l', fromHour, toHour)) +
                    where + QStringLiteral(" GROUP BY day ORDER BY day"),
                values);
    if (!s.run()) {
        return errorFrom(s.query.lastError());
    }
    std::vector<DayTotals> out;
    while (s.query.next()) {
        if (const auto d = parseIsoDate(s.query.value(0).toString().toStdString())) {
            out.push_back({*d, s.query.value(1).toLongLong(), s.query.value(2).toLongLong(),
                           s.query.value(3).toLongLong(), s.query.value(4).toLongLong(),
                           s.query.value(5).toInt()});
        }
    }
    return out;
}

ArchiveResult<WeekdayProfile> SqlArchive::profile(const ArchiveQuery& query) {
    if (auto e = ensureOpen()) {
        return *e;
    }
    QVariantList values;
    const QString where = siteFilter(query, values);
    QString sums;
    for (char direction : {'r', 'l'}) {
        for (int h = 0; h < 24; ++h) {
            sums += QStringLiteral(", SUM(%1)").arg(hourColumn(direction, h));
        }
    }
    Statement s(QSqlDatabase::database(connection_, false),
                QStringLiteral("SELECT weekday, COUNT(DISTINCT day)") + sums +
                    QStringLiteral(" FROM day_totals") + where +
                    QStringLiteral(" GROUP BY weekday"),
                values);
    if (!s.run()) {
        return errorFrom(s.query.lastError());
    }
    WeekdayProfile p;
    while (s.query.next()) {
        const int wd = s.query.value(0).toInt() - 1;
        const int days = s.query.value(1).toInt();
        if (wd < 0 || wd >= 7 || days <= 0) {
            continue;
        }
        p.days[wd] = days;
        for (int h = 0; h < 24; ++h) {
            p.right[wd][h] = s.query.value(2 + h).toDouble() / days;
            p.left[wd][h] = s.query.value(26 + h).toDouble() / days;
        }
    }
    return p;
}

ArchiveResult<int> SqlArchive::conflicts(const ArchiveQuery& query) {
    if (auto e = ensureOpen()) {
        return *e;
    }
    QVariantList values;
    const QString where = siteFilter(query, values);
    Statement s(QSqlDatabase::database(connection_, false),
                QStringLiteral("SELECT COUNT(*) FROM conflicts") + where, values);
    if (!s.run() || !s.query.next()) {
        return errorFrom(s.query.lastError());
    }
    return s.query.value(0).toInt();
}

ArchiveResult<std::vector<std::string>> SqlArchive::sites() {
    if (auto e = ensureOpen()) {
        return *e;
    }
    Statement s(QSqlDatabase::database(connection_, false),
                QStringLiteral("SELECT DISTINCT site FROM day_totals ORDER BY site"));
    if (!s.run()) {
        return errorFrom(s.query.lastError());
    }
    std::vector<std::string> out;
    while (s.query.next()) {
        out.push_back(s.query.value(0).toString().toStdString());
    }
    return out;
}

ArchiveResult<std::optional<std::pair<Date, Date>>> SqlArchive::extent(const std::string& site) {
    if (auto e = ensureOpen()) {
        return *e;
    }
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    Statement s = site.empty()
                      ? Statement(db, QStringLiteral("SELECT MIN(day), MAX(day) FROM day_totals"))
                      : Statement(db,
                                  QStringLiteral("SELECT MIN(day), MAX(day) FROM day_totals "
                                                 "WHERE site = ?"),
                                  {q(site)});
    if (!s.run() || !s.query.next()) {
        return errorFrom(s.query.lastError());
    }
    const auto from = parseIsoDate(s.query.value(0).toString().toStdString());
    const auto to = parseIsoDate(s.query.value(1).toString().toStdString());
    if (!from || !to) {
        return std::optional<std::pair<Date, Date>>{};
    }
    return std::optional(std::pair(*from, *to));
}

ArchiveResult<std::vector<PendingDownload>> SqlArchive::unsent() {
    if (auto e = ensureOpen()) {
        return *e;
    }
    Statement s(QSqlDatabase::database(connection_, false),
                QStringLiteral("SELECT id, site, first_day, last_day, downloaded_at FROM downloads "
                               "WHERE sent = 0 ORDER BY id"));
    if (!s.run()) {
        return errorFrom(s.query.lastError());
    }
    std::vector<PendingDownload> out;
    while (s.query.next()) {
        const std::string at = s.query.value(4).toString().toStdString();
        const auto first = parseIsoDate(s.query.value(2).toString().toStdString());
        const auto last = parseIsoDate(s.query.value(3).toString().toStdString());
        const auto atDate = parseIsoDate(at.substr(0, 10));
        if (!first || !last || !atDate || at.size() < 19) {
            continue;
        }
        out.push_back({s.query.value(0).toLongLong(), s.query.value(1).toString().toStdString(),
                       *first, *last,
                       DateTime{*atDate, std::stoi(at.substr(11, 2)), std::stoi(at.substr(14, 2)),
                                std::stoi(at.substr(17, 2))}});
    }
    return out;
}

ArchiveResult<bool> SqlArchive::markSent(long long id) {
    if (auto e = ensureOpen()) {
        return *e;
    }
    Statement s(QSqlDatabase::database(connection_, false),
                QStringLiteral("UPDATE downloads SET sent = 1 WHERE id = ?"), {qlonglong(id)});
    if (!s.run()) {
        return errorFrom(s.query.lastError());
    }
    return s.query.numRowsAffected() == 1;
}

ArchiveResult<bool> SqlArchive::renameSite(const std::string& from, const std::string& to) {
    if (auto e = ensureOpen()) {
        return *e;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction()) {
        return errorFrom(db.lastError());
    }
    Statement taken(db, QStringLiteral("SELECT 1 FROM day_totals WHERE site = ? LIMIT 1"), {q(to)});
    if (!taken.run()) {
        const ArchiveError e = errorFrom(taken.query.lastError());
        db.rollback();
        return e;
    }
    if (taken.query.next()) {
        db.rollback();
        return false;
    }
    for (const char* table : {"counts", "day_totals", "conflicts", "downloads"}) {
        Statement s(
            db, QStringLiteral("UPDATE %1 SET site = ? WHERE site = ?").arg(QLatin1String(table)),
            {q(to), q(from)});
        if (!s.run()) {
            const ArchiveError e = errorFrom(s.query.lastError());
            db.rollback();
            return e;
        }
    }
    if (!db.commit()) {
        const ArchiveError e = errorFrom(db.lastError());
        db.rollback();
        return e;
    }
    return true;
}

} // namespace orva
