#pragma once

#include "platform/GermanDate.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace orva {

// One hour of one day as the archive keeps it.
struct ArchivedHour {
    Date date;
    int hour = 0;   // 0-23
    long right = 0; // "Rechts"
    long left = 0;  // "Links"
    bool operator==(const ArchivedHour&) const = default;
};

// What a merge did.
struct MergeSummary {
    int days = 0;      // distinct dates offered
    int added = 0;     // hours the archive did not hold
    int changed = 0;   // hours that took the offered values
    int conflicts = 0; // past hours offered with a lower count: the archived one stays
};

// Why the archive cannot serve; each kind has its own box.
enum class ArchiveFault {
    CannotOpen,   // cannot be created or opened (folder missing, no permission)
    Locked,       // another program holds it
    NotAnArchive, // a database, but not this program's archive: left alone
    Corrupt,      // damaged: moved aside, a new one started (`movedTo`)
    DiskFull,
    NewerSchema, // written by a newer version of the program
    Failed,      // any other database error
};

struct ArchiveError {
    ArchiveFault fault = ArchiveFault::Failed;
    std::string path;    // the archive file
    std::string movedTo; // where a corrupt archive was moved, when it was
    std::string detail;  // the database's own words, for the trace and the box's last line
    bool server = false; // the archive on a server, not the file on this PC
};

// A result or the reason there is none.
template <typename T> using ArchiveResult = std::variant<T, ArchiveError>;

// Totals of one day. `hours` counts the stored hours; a day the archive does not hold has no
// entry at all, which is what makes a gap.
struct DayTotals {
    Date date;
    long right = 0;
    long left = 0;
    long periodRight = 0; // hours inside the evaluation period only
    long periodLeft = 0;
    int hours = 0;
    bool operator==(const DayTotals&) const = default;
};

// Average persons per hour for each weekday (0 = Monday) over the days held.
struct WeekdayProfile {
    double right[7][24] = {};
    double left[7][24] = {};
    int days[7] = {}; // how many days of each weekday went into the averages
};

// What to read: a site, or all sites added up when `site` is empty; dates inclusive.
struct ArchiveQuery {
    std::string site;
    Date from;
    Date to;
    std::vector<std::string> sites = {}; // several sites added up, in place of `site` if given
};

// A merge not yet sent to the server: its site, days and time.
struct PendingDownload {
    long long id = 0;
    std::string site;
    Date first;
    Date last;
    DateTime downloadedAt;
};

// The lasting store of every count read. Implementations keep it in a database; everything is
// synchronous and each call is one transaction.
class CountArchive {
public:
    virtual ~CountArchive() = default;
    // The file or server, as the boxes name it.
    virtual std::string location() const = 0;
    // Every call opens the archive first when it is not open. A damaged one is then moved
    // aside and a new one started: that call fails with `Corrupt` and `movedTo` set, and the
    // next call works on the new archive.
    virtual std::optional<ArchiveError> open() = 0;
    // Hours of one download for `site`. Hours the archive holds and the download does not stay;
    // an hour held takes the offered values, except that a count of an hour that had ended by
    // `downloadedAt` never shrinks.
    virtual ArchiveResult<MergeSummary> merge(const std::string& site,
                                              const std::vector<ArchivedHour>& hours,
                                              const DateTime& downloadedAt) = 0;
    virtual ArchiveResult<std::vector<ArchivedHour>> hours(const ArchiveQuery& query) = 0;
    // One entry per day held, in date order; the period is the evaluation period's hours.
    virtual ArchiveResult<std::vector<DayTotals>> days(const ArchiveQuery& query, int fromHour,
                                                       int toHour) = 0;
    virtual ArchiveResult<WeekdayProfile> profile(const ArchiveQuery& query) = 0;
    // Conflicts recorded for the query's hours.
    virtual ArchiveResult<int> conflicts(const ArchiveQuery& query) = 0;
    // The sites that hold counts, sorted.
    virtual ArchiveResult<std::vector<std::string>> sites() = 0;
    // First and last day held (of a site, or of all).
    virtual ArchiveResult<std::optional<std::pair<Date, Date>>> extent(const std::string& site) = 0;
    // The merges not yet marked as sent, oldest first.
    virtual ArchiveResult<std::vector<PendingDownload>> unsent() = 0;
    virtual ArchiveResult<bool> markSent(long long id) = 0;
    // Every row of `from` moves to `to`; false, changing nothing, when `to` holds counts.
    virtual ArchiveResult<bool> renameSite(const std::string& from, const std::string& to) = 0;
};

// The site downloads go to, kept in the program's own configuration.
class SiteSetting {
public:
    virtual ~SiteSetting() = default;
    virtual std::string site() = 0; // "Standort 1" until one is chosen
    virtual void setSite(const std::string& name) = 0;
};

inline constexpr const char* kDefaultSite = "Standort 1";

} // namespace orva
