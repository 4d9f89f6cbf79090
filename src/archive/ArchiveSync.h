#pragma once

#include "archive/CountArchive.h"

#include <optional>

namespace orva {

struct SendResult {
    int sent = 0;                      // downloads the server took
    int waiting = 0;                   // downloads still to send
    std::optional<ArchiveError> error; // why the rest waits
};

// Sends the local archive's merges the server does not hold yet, oldest first, each in one
// transaction on the server and by the usual merge rules, so that sending twice changes nothing.
// Stops at the first failure: nothing is retried now, nothing is lost, the rest waits.
SendResult sendPending(CountArchive& local, CountArchive& server);

} // namespace orva
