#include "platform/RunTimeError.h"

#include <utility>

namespace orva {

std::string runTimeErrorDescription(int number) {
    switch (number) {
    case err::InvalidProcedureCall:
        return "Unzulässiger Prozeduraufruf oder ungültiges Argument";
    case err::Overflow:
        return "Überlauf";
    case 7:
        return "Nicht genügend Speicher";
    case err::SubscriptOutOfRange:
        return "Index außerhalb des gültigen Bereichs";
    case err::TypeMismatch:
        return "Typen unverträglich";
    case err::BadFileName:
        return "Dateiname oder -nummer falsch";
    case err::FileNotFound:
        return "Datei nicht gefunden";
    case 55:
        return "Datei bereits geöffnet";
    case 57:
        return "Geräte-E/A-Fehler";
    case err::DiskFull:
        return "Datenträger voll";
    case err::DeviceUnavailable:
        return "Gerät nicht verfügbar";
    case err::PermissionDenied:
        return "Zugriff verweigert";
    case err::DiskNotReady:
        return "Datenträger nicht bereit";
    case err::PathFileAccess:
        return "Fehler beim Zugriff auf Pfad/Datei";
    case err::PathNotFound:
        return "Pfad nicht gefunden";
    case err::PrinterError:
        return "Druckerfehler";
    case err::InvalidPortNumber:
        return "Ungültige Anschlußnummer";
    case err::PortAlreadyOpen:
        return "Anschluß bereits geöffnet";
    case err::DialogCancelled:
        return "Abbrechen wurde gewählt";
    default:
        return "Anwendungs- oder objektdefinierter Fehler";
    }
}

RunTimeError::RunTimeError(int number) : RunTimeError(number, runTimeErrorDescription(number)) {}

RunTimeError::RunTimeError(int number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

} // namespace orva
