#include "archive/ArchiveMessages.h"

namespace orva {

std::string archiveErrorText(const ArchiveError& error) {
    const std::string file = "„" + error.path + "“";
    std::string text;
    switch (error.fault) {
    case ArchiveFault::CannotOpen:
        text = "Das Zählarchiv " + file + " lässt sich nicht anlegen oder öffnen.";
        break;
    case ArchiveFault::Locked:
        text = "Das Zählarchiv " + file + " ist von einem anderen Programm gesperrt.";
        break;
    case ArchiveFault::NotAnArchive:
        text = "Die Datei " + file + " ist kein Zählarchiv dieses Programms; sie bleibt unberührt.";
        break;
    case ArchiveFault::Corrupt:
        text = "Das Zählarchiv " + file + " ist beschädigt.";
        if (!error.movedTo.empty()) {
            text += " Es wurde nach „" + error.movedTo + "“ verschoben, ein neues wurde angelegt.";
        }
        break;
    case ArchiveFault::DiskFull:
        text = "Für das Zählarchiv " + file + " ist der Datenträger voll.";
        break;
    case ArchiveFault::NewerSchema:
        text = "Das Zählarchiv " + file + " stammt von einer neueren Version des Programms.";
        break;
    case ArchiveFault::Failed:
        text = "Das Zählarchiv " + file + " meldet einen Fehler.";
        break;
    }
    return error.detail.empty() ? text : text + "\n" + error.detail;
}

} // namespace orva
