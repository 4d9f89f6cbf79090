#include "archive/ArchiveServer.h"

#include "archive/ArchiveMessages.h"

#include <regex>

namespace orva {

std::string waitingText(int downloads) {
    return std::to_string(downloads) + (downloads == 1 ? " Abruf wartet" : " Abrufe warten") +
           " auf den Archiv-Server.";
}

SendResult ArchiveServer::send(Screen& screen, bool quiet) {
    const std::string conninfo = setting_.server();
    if (conninfo.empty()) {
        return {};
    }
    // A connection of its own for each send: it lives and ends on the thread that sends.
    const std::unique_ptr<CountArchive> server = connect_(conninfo);
    SendResult result = sendPending(local_, *server);
    if (result.error) {
        screen.setStatus("Status: " + waitingText(result.waiting));
        if (!quiet) {
            screen.setPointer(Pointer::Arrow);
            screen.messageBox(archiveErrorText(*result.error) +
                                  "\n\nDie Zähldaten bleiben im Archiv dieses PCs und werden "
                                  "gesendet, sobald der Server sie annimmt.",
                              MsgButtons::OK, MsgIcon::Exclamation);
        }
    }
    return result;
}

void ArchiveServer::mnuSenden_Click(Screen& screen) {
    if (setting_.server().empty()) {
        screen.messageBox("Es ist kein Archiv-Server eingestellt. Bitte tragen Sie ihn unter "
                          "„Archiv-Server…“ ein.",
                          MsgButtons::OK, MsgIcon::Information);
        return;
    }
    screen.setPointer(Pointer::Hourglass);
    const SendResult result = send(screen, false);
    screen.setPointer(Pointer::Arrow);
    if (!result.error) {
        screen.setStatus("Status: Das Archiv ist auf dem Server vollständig (" +
                         std::to_string(result.sent) + (result.sent == 1 ? " Abruf" : " Abrufe") +
                         " gesendet).");
    }
}

void ArchiveServer::mnuServer_Click(Screen& screen) {
    const std::optional<std::string> chosen = setting_.ask(setting_.server());
    if (!chosen || *chosen == setting_.server()) {
        return;
    }
    // The configuration is a plain file: a password goes into libpq's password file instead.
    if (std::regex_search(*chosen, std::regex("(^|\\s)password\\s*=", std::regex::icase))) {
        screen.messageBox("Das Passwort gehört nicht in die Verbindungsangabe, sondern in die "
                          "Passwortdatei ~/.pgpass (Rechte 600), etwa als Zeile\n"
                          "server.firma.de:5432:orva:orva:Passwort\n\n"
                          "Die Verbindungsangabe wurde nicht gespeichert.",
                          MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    setting_.setServer(*chosen);
    if (chosen->empty()) {
        screen.setStatus("Status: Kein Archiv-Server; die Zähldaten bleiben auf diesem PC.");
        return;
    }
    std::unique_ptr<CountArchive> trial = connect_(*chosen);
    if (const auto error = trial->open()) {
        screen.messageBox(archiveErrorText(*error), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    screen.setStatus("Status: Der Archiv-Server ist erreichbar.");
}

} // namespace orva
