#include "platform/RunTimeError.h"

#include <utility>

namespace orva {

namespace {

struct Described {
    int number;
    const char* description;
};

constexpr Described kDescriptions[] = {
    {err::InvalidProcedureCall, "Unzulässiger Prozeduraufruf oder ungültiges Argument"},
    {err::Overflow, "Überlauf"},
    {err::OutOfMemory, "Nicht genügend Speicher"},
    {err::SubscriptOutOfRange, "Index außerhalb des gültigen Bereichs"},
    {err::TypeMismatch, "Typen unverträglich"},
    {err::Internal, "Interner Fehler"},
    {err::BadFileName, "Dateiname oder -nummer falsch"},
    {err::FileNotFound, "Datei nicht gefunden"},
    {err::FileAlreadyOpen, "Datei bereits geöffnet"},
    {err::DeviceIO, "Geräte-E/A-Fehler"},
    {err::DiskFull, "Datenträger voll"},
    {err::DeviceUnavailable, "Gerät nicht verfügbar"},
    {err::PermissionDenied, "Zugriff verweigert"},
    {err::DiskNotReady, "Datenträger nicht bereit"},
    {err::PathFileAccess, "Fehler beim Zugriff auf Pfad/Datei"},
    {err::PathNotFound, "Pfad nicht gefunden"},
    {err::InvalidProperty, "Ungültiger Eigenschaftswert"},
    {err::PrinterError, "Druckerfehler"},
    {err::InvalidPortNumber, "Ungültige Anschlußnummer"},
    {err::PortAlreadyOpen, "Anschluß bereits geöffnet"},
    {err::PortNotOpen, "Vorgang nur bei geöffnetem Anschluß gültig"},
};

} // namespace

std::string runTimeErrorDescription(int number) {
    for (const Described& d : kDescriptions) {
        if (d.number == number) {
            return d.description;
        }
    }
    return "Anwendungs- oder objektdefinierter Fehler";
}

RunTimeError::RunTimeError(int number) : RunTimeError(number, runTimeErrorDescription(number)) {}

RunTimeError::RunTimeError(int number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

} // namespace orva
