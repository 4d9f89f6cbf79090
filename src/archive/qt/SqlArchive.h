#pragma once

#include "archive/CountArchive.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace orva {

// The archive in a SQLite file. Opened on first use, from the thread that created it only;
// a file that is damaged is moved aside under a dated name and a new one is started.
class SqlArchive : public CountArchive {
public:
    explicit SqlArchive(std::string path);
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
    ArchiveResult<bool> renameSite(const std::string& from, const std::string& to) override;

    static constexpr int kSchemaVersion = 1;

private:
    std::optional<ArchiveError> ensureOpen();
    std::optional<ArchiveError> openFile();
    std::optional<ArchiveError> createOrCheckSchema();
    ArchiveError errorFrom(const class QSqlError& e) const;

    std::string path_;
    QString connection_;
    bool open_ = false;
};

} // namespace orva
