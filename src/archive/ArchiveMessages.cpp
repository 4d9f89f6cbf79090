#include "archive/ArchiveMessages.h"

namespace orva {

std::string archiveErrorText(const ArchiveError& error) {
    const std::string file = "„" + error.path + "“";
    std::string text;
    switch (error.fault) {
    case ArchiveFault::CannotOpen:
        if (error.server) {
            text = "Der Archiv-Server " + file +
                   " ist nicht erreichbar oder nimmt die Anmeldung nicht an. Bitte prüfen Sie "
                   "das Netz, die Verbindungsangaben und die Passwortdatei (~/.pgpass).";
            break;
        }
        text = "Das Zählarchiv " + file +
               " lässt sich nicht anlegen oder öffnen. Bitte prüfen Sie, ob der Ordner besteht "
               "und Sie darin schreiben dürfen.";
        break;
    case ArchiveFault::Locked:
        text = "Das Zählarchiv " + file +
               " wird gerade von einem anderen Programm benutzt. Bitte versuchen Sie es gleich "
               "noch einmal.";
        break;
    case ArchiveFault::NotAnArchive:
        text = "Die Datei " + file +
               " ist kein Zählarchiv dieses Programms und bleibt unverändert. Benennen Sie sie "
               "um oder verschieben Sie sie, dann legt das Programm dort ein neues Archiv an.";
        break;
    case ArchiveFault::Corrupt:
        text = error.movedTo.empty()
                   ? "Das Zählarchiv " + file +
                         " ist beschädigt und ließ sich nicht beiseitelegen. Bitte verschieben "
                         "Sie die Datei, dann legt das Programm ein neues Archiv an."
                   : "Das Zählarchiv " + file +
                         " war beschädigt. Die alte Datei liegt jetzt unter „" + error.movedTo +
                         "“; an ihrer Stelle wurde ein neues, leeres Archiv angelegt.";
        break;
    case ArchiveFault::DiskFull:
        text = "Auf dem Datenträger ist kein Platz mehr für das Zählarchiv " + file +
               ". Bitte schaffen Sie Platz und versuchen Sie es noch einmal.";
        break;
    case ArchiveFault::NewerSchema:
        text = "Das Zählarchiv " + file +
               " stammt von einer neueren Version dieses Programms und bleibt unverändert. "
               "Bitte verwenden Sie die neuere Version.";
        break;
    case ArchiveFault::Failed:
        text = "Das Zählarchiv " + file + " meldet einen Fehler.";
        break;
    }
    if (!error.detail.empty()) {
        text += "\n\n" + error.detail;
    }
    return text;
}

} // namespace orva
