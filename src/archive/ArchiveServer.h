#pragma once

#include "archive/ArchiveSync.h"
#include "archive/CountArchive.h"
#include "platform/Screen.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace orva {

// Where the central archive is: a libpq connection string or "service=NAME"; empty for none.
class ServerSetting {
public:
    virtual ~ServerSetting() = default;
    virtual std::string server() = 0;
    virtual void setServer(const std::string& conninfo) = 0;
    // Asks for the connection string, showing `current`; nothing when cancelled.
    virtual std::optional<std::string> ask(const std::string& current) = 0;
};

// The central archive that several PCs fill. The local archive comes first: every download is
// kept there, then sent; what cannot be sent waits there for the next download, the next start
// or the menu item.
class ArchiveServer {
public:
    using Connect = std::function<std::unique_ptr<CountArchive>(const std::string& conninfo)>;
    ArchiveServer(CountArchive& local, ServerSetting& setting, Connect connect)
        : local_(local), setting_(setting), connect_(std::move(connect)) {}

    // Sends what waits, when a server is set. On failure the status line says how many
    // downloads wait and, unless `quiet`, one box says why.
    SendResult send(Screen& screen, bool quiet);
    // "An &Server senden": as after a download, and the status line says how it went.
    void mnuSenden_Click(Screen& screen);
    // "Archiv-&Server…": the connection string; a new one is tried at once.
    void mnuServer_Click(Screen& screen);

private:
    CountArchive& local_;
    ServerSetting& setting_;
    Connect connect_;
};

// "1 Abruf wartet", "3 Abrufe warten".
std::string waitingText(int downloads);

} // namespace orva
