#pragma once

#include <stdexcept>
#include <string>

namespace orva {

// Numbers of the run-time errors the program raises or reacts to; their German descriptions
// stand in one table beside `runTimeErrorDescription`.
namespace err {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int Internal = 51;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int DeviceIO = 57;
inline constexpr int DiskFull = 61;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PermissionDenied = 70;
inline constexpr int DiskNotReady = 71;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidProperty = 380;
inline constexpr int PrinterError = 482;
inline constexpr int InvalidPortNumber = 8002;
inline constexpr int PortAlreadyOpen = 8005;
inline constexpr int PortNotOpen = 8018;
} // namespace err

// The German description of a run-time error number, as the operators' machines show it.
std::string runTimeErrorDescription(int number);

// A run-time error: thrown where an operation fails, caught by the error trap of the procedure
// that arms one. Carries the number the program reacts to and a German description.
class RunTimeError : public std::runtime_error {
public:
    explicit RunTimeError(int number);
    RunTimeError(int number, std::string description);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

} // namespace orva
