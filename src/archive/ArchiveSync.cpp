#include "archive/ArchiveSync.h"

namespace orva {

SendResult sendPending(CountArchive& local, CountArchive& server) {
    SendResult result;
    ArchiveResult<std::vector<PendingDownload>> pending = local.unsent();
    if (const auto* e = std::get_if<ArchiveError>(&pending)) {
        result.error = *e;
        return result;
    }
    const auto& downloads = std::get<std::vector<PendingDownload>>(pending);
    result.waiting = static_cast<int>(downloads.size());
    for (const PendingDownload& d : downloads) {
        ArchiveResult<std::vector<ArchivedHour>> hours = local.hours({d.site, d.first, d.last});
        if (const auto* e = std::get_if<ArchiveError>(&hours)) {
            result.error = *e;
            return result;
        }
        const auto merged =
            server.merge(d.site, std::get<std::vector<ArchivedHour>>(hours), d.downloadedAt);
        if (const auto* e = std::get_if<ArchiveError>(&merged)) {
            result.error = *e;
            return result;
        }
        // Sent even when this mark fails: a second send changes nothing on the server.
        local.markSent(d.id);
        ++result.sent;
        --result.waiting;
    }
    return result;
}

} // namespace orva
