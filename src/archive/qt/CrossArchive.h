#pragma once

#include "archive/CountArchive.h"
#include "platform/qt/WindowThread.h"

namespace orva {

// The archive for a device command on the worker thread: a database connection belongs to the
// thread that opened it, so every call is carried to the window thread, which owns it.
class CrossArchive : public CountArchive {
public:
    CrossArchive(CountArchive& inner, WindowThread& thread) : inner_(inner), thread_(thread) {}

    std::string location() const override { return inner_.location(); }
    std::optional<ArchiveError> open() override {
        return thread_.call([&] { return inner_.open(); });
    }
    ArchiveResult<MergeSummary> merge(const std::string& site,
                                      const std::vector<ArchivedHour>& hours,
                                      const DateTime& downloadedAt) override {
        return thread_.call([&] { return inner_.merge(site, hours, downloadedAt); });
    }
    ArchiveResult<std::vector<ArchivedHour>> hours(const ArchiveQuery& query) override {
        return thread_.call([&] { return inner_.hours(query); });
    }
    ArchiveResult<std::vector<DayTotals>> days(const ArchiveQuery& query, int fromHour,
                                               int toHour) override {
        return thread_.call([&] { return inner_.days(query, fromHour, toHour); });
    }
    ArchiveResult<WeekdayProfile> profile(const ArchiveQuery& query) override {
        return thread_.call([&] { return inner_.profile(query); });
    }
    ArchiveResult<int> conflicts(const ArchiveQuery& query) override {
        return thread_.call([&] { return inner_.conflicts(query); });
    }
    ArchiveResult<std::vector<std::string>> sites() override {
        return thread_.call([&] { return inner_.sites(); });
    }
    ArchiveResult<std::optional<std::pair<Date, Date>>> extent(const std::string& site) override {
        return thread_.call([&] { return inner_.extent(site); });
    }
    ArchiveResult<std::vector<PendingDownload>> unsent() override {
        return thread_.call([&] { return inner_.unsent(); });
    }
    ArchiveResult<bool> markSent(long long id) override {
        return thread_.call([&] { return inner_.markSent(id); });
    }
    ArchiveResult<bool> renameSite(const std::string& from, const std::string& to) override {
        return thread_.call([&] { return inner_.renameSite(from, to); });
    }

private:
    CountArchive& inner_;
    WindowThread& thread_;
};

// The site setting likewise: QSettings is not to be shared between threads.
class CrossSiteSetting : public SiteSetting {
public:
    CrossSiteSetting(SiteSetting& inner, WindowThread& thread) : inner_(inner), thread_(thread) {}
    std::string site() override {
        return thread_.call([&] { return inner_.site(); });
    }
    void setSite(const std::string& name) override {
        thread_.call([&] { inner_.setSite(name); });
    }

private:
    SiteSetting& inner_;
    WindowThread& thread_;
};

} // namespace orva
