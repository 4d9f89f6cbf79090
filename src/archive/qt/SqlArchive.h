#pragma once

#include "archive/CountArchive.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>

namespace orva {

// The archive in a SQLite file, or on a PostgreSQL server. Opened on first use, and used from
// that thread only; a file that is damaged is moved aside under a dated name and a new one is
// started.
class SqlArchive : public CountArchive {
public:
    explicit SqlArchive(std::string path);
    // The archive on a PostgreSQL server, reached by a libpq connection string or
    // "service=NAME"; it is never moved aside, and a lost connection is made again.
    static std::unique_ptr<SqlArchive> server(const std::string& conninfo);
    // The connection string as boxes may show it: any password masked.
    static std::string serverName(const std::string& conninfo);
    ~SqlArchive() override;
    SqlArchive(const SqlArchive&) = delete;
    SqlArchive& operator=(const SqlArchive&) = delete;

    std::optional<ArchiveError> open() override { return ensureOpen(); }

    std::string location() const override { return path_; }
    ArchiveResult<MergeSummary> merge(const std::string& site,
                                      const std::vector<ArchivedHour>& hours,
                                      const DateTime& downloadedAt) override;
    ArchiveResult<std::vector<ArchivedHour>> hours(const ArchiveQuery& query) override;
    ArchiveResult<std::vector<DayTotals>> days(const ArchiveQuery& query, int fromHour,
                                               int toHour) override;
    ArchiveResult<WeekdayProfile> profile(const ArchiveQuery& query) override;
    ArchiveResult<int> conflicts(const ArchiveQuery& query) override;
    ArchiveResult<std::vector<std::string>> sites() override;
    ArchiveResult<std::optional<std::pair<Date, Date>>> extent(const std::string& site) override;
    ArchiveResult<std::vector<PendingDownload>> unsent() override;
    ArchiveResult<bool> markSent(long long id) override;
    ArchiveResult<bool> renameSite(const std::string& from, const std::string& to) override;

    static constexpr int kSchemaVersion = 1;

private:
    std::optional<ArchiveError> ensureOpen();
    std::optional<ArchiveError> openFile();
    std::optional<ArchiveError> createOrCheckSchema();
    ArchiveError errorFrom(const class QSqlError& e) const;
    ArchiveError made(ArchiveFault fault, std::string detail = {}) const;

    std::string path_;
    QString connection_;
    bool open_ = false;
    bool server_ = false;
    std::string conninfo_;
};

} // namespace orva
