#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A model of the ORVA-DS light barrier as the PC sees it on the serial line: bytes in, bytes
// out, against a clock in seconds that the caller drives. It never reads a real clock, so the
// same model serves unit tests in virtual time and the pseudo-terminal tool in real time.
namespace orva::sim {

namespace ctl {
inline constexpr char STX = 2;
inline constexpr char ETX = 3;
inline constexpr char EOT = 4;
inline constexpr char ENQ = 5;
inline constexpr char ACK = 6;
inline constexpr char NAK = 21;
inline constexpr char SYN = 22;
inline constexpr char ETB = 23;
} // namespace ctl

struct CalendarDate {
    int year = 2000; // full year; the device itself keeps only year % 100
    int month = 1;
    int day = 1;

    int shortYear() const { return ((year % 100) + 100) % 100; }
    bool operator==(const CalendarDate&) const = default;
};

struct ClockTime {
    CalendarDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const ClockTime&) const = default;
};

bool isValidDate(const CalendarDate& d);
CalendarDate addDays(const CalendarDate& d, int days);

// One stored hour. The device writes each field as a 16-bit word.
struct HourRecord {
    int hour = 0;
    int rechts = 0;
    int links = 0;

    bool operator==(const HourRecord&) const = default;
};

struct StoredDay {
    CalendarDate date;
    std::vector<HourRecord> records; // hours without anyone passing have no record

    bool operator==(const StoredDay&) const = default;
};

// `count` days ending with `last`, oldest first, with counts that depend only on the seed and
// the date. The last day holds the hours up to `lastHour` (the hour in progress), as a device
// does today. Every record counts at least one person "Links", so no record ends in six "0"
// digits: the PC would take those, followed by the next day's zero bytes, for a day boundary.
std::vector<StoredDay> generateDays(const CalendarDate& last, int count, std::uint32_t seed,
                                    int lastHour = 23);

// The memory written out as the PC collects it from the data blocks: per day six zero bytes,
// year, month and day, then the records; nine zero bytes as end marker; "F" up to a whole
// block of 32 digits.
std::string renderCountText(std::span<const StoredDay> days);

struct Timing {
    double reactionDelay = 0.005;  // seconds from a complete message to the first answer byte
    double byteTime = 10.0 / 9600; // start bit, 8 data bits, stop bit at 9600 baud

    // Every answer is there the moment the message that caused it has arrived.
    static Timing instant() { return {0.0, 0.0}; }
};

// Faults to switch on, each for the next n occasions; the count goes down as it strikes.
struct Faults {
    int silentWakeUps = 0;          // ignores a wake-up sequence as if it had not heard it
    int wrongWakeUpAnswers = 0;     // answers a wake-up with SYN NAK instead of SYN ACK
    int unacknowledgedCommands = 0; // hears a command but neither acknowledges nor keeps it
    int nakClockBlocks = 0;         // refuses a clock data block from the PC with SYN NAK
    int wrongOwnWakeUps = 0;        // its own wake-up sequence has one wrong character
    int badHeaders = 0;             // the first copy of a block starts SYN ETX, not SYN STX
    int corruptedRepeats = 0;       // the repeat copy differs from the first in one digit
    int missingRepeats = 0;         // the repeat copy is never sent
    int stopAfterBlocks = -1;       // n >= 0: goes silent after n blocks of the next transfer
                                    // that has more; then it is off again
    int silentAfterEot = 0;         // does not wake the PC after SYN EOT of a read command
    int silentClosings = 0;         // leaves out the two characters after the last block
};

struct FaultInfo {
    std::string_view name; // as given to orva-sim --fault
    int Faults::*count;
    std::string_view meaning;
};

std::span<const FaultInfo> faultList();
// Sets the named fault to n; false for a name not in the list.
bool setFault(Faults& faults, std::string_view name, int n);

class LightBarrier {
public:
    explicit LightBarrier(Timing timing = Timing{});

    // Bytes from the PC that have arrived by `now`.
    void receive(std::string_view bytes, double now);
    // The bytes the device has put on the line by `now` and that were not taken before.
    std::string transmit(double now);
    // When the next byte will be complete on the line; nothing when the device has nothing
    // more to say until it hears from the PC.
    std::optional<double> nextByteAt() const;

    void setClock(const ClockTime& t, double now);
    ClockTime clock(double now) const;

    // The joined block contents the device sends for a read command ("rt", "ra", "ru", "rab"
    // + DD:MM:YY), or nothing when it would not send any (an unknown command, "wu", or "rab"
    // with a date it does not hold).
    std::optional<std::string> answerText(std::string_view letters, double now) const;

    std::vector<StoredDay> memory; // oldest day first
    Faults faults;
    Timing timing;

private:
    enum class Phase {
        Asleep,      // listens for a wake-up only
        Commands,    // awake, collecting the command
        TurnedRound, // sent its own wake-up, waits for the PC's go-ahead
        Sending,     // waits for the PC's answer to the copy just sent
        ClockData,   // after "wu": waits for the PC's wake-up and its two clock blocks
    };
    // Bytes put on the line one after another from `start` on.
    struct Segment {
        double start;
        std::string bytes;
        std::size_t taken = 0;
    };

    void feedByte(char c, double now);
    void onWakeUp(double now);
    void onFrame(double now);
    void onEot(double now);
    void onAck(double now);
    void onNak(double now);
    void onClockBlock(bool first, double now);
    void startBlock(std::size_t index, double now);
    void send(std::string bytes, double now);
    void cancelOutput(double now);
    std::size_t readyCount(const Segment& s, double now) const;
    double clampTime(double now);

    // Receiver: resynchronises on every SYN.
    enum class Rx { Idle, Syncs, Body } rx_ = Rx::Idle;
    int syncs_ = 0;
    std::string body_;
    char terminator_ = 0;

    Phase phase_ = Phase::Asleep;
    std::string command_; // letters of the last command acknowledged
    std::vector<std::string> blocks_;
    std::size_t block_ = 0;
    bool repeatSent_ = false; // the copy last put out was the repeat
    bool clockAwake_ = false; // the PC has woken the device for its clock blocks
    std::optional<std::string> clockFirst_;
    std::optional<std::string> clockSecond_;

    std::int64_t clockBase_ = 0; // seconds since 1970-01-01 at clockBaseNow_
    double clockBaseNow_ = 0.0;

    std::deque<Segment> out_;
    double lastNow_;
};

} // namespace orva::sim
