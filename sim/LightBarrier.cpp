#include "sim/LightBarrier.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <utility>

namespace orva::sim {

namespace {

namespace chr = std::chrono;

chr::sys_days toSysDays(const CalendarDate& d) {
    return chr::year_month_day{chr::year{d.year}, chr::month{static_cast<unsigned>(d.month)},
                               chr::day{static_cast<unsigned>(d.day)}};
}

CalendarDate fromSysDays(chr::sys_days days) {
    const chr::year_month_day ymd{days};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

bool validTime(const ClockTime& t) {
    return isValidDate(t.date) && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
           t.second >= 0 && t.second < 60;
}

std::int64_t toEpochSeconds(const ClockTime& t) {
    const std::int64_t days = toSysDays(t.date).time_since_epoch().count();
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

ClockTime fromEpochSeconds(std::int64_t s) {
    std::int64_t days = s / 86400;
    std::int64_t rest = s % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    ClockTime t;
    t.date = fromSysDays(chr::sys_days{chr::days{days}});
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

constexpr char hexDigits[] = "0123456789ABCDEF";

void appendHex(std::string& out, unsigned value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        out += hexDigits[(value >> shift) & 0xF];
    }
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The two digits at `pos`, or -1.
int twoDigits(std::string_view s, std::size_t pos) {
    if (pos + 2 > s.size() || !isDigit(s[pos]) || !isDigit(s[pos + 1])) {
        return -1;
    }
    return (s[pos] - '0') * 10 + (s[pos + 1] - '0');
}

// "DD:MM:YY" as the PC sends it with "rab".
std::optional<CalendarDate> parseCommandDate(std::string_view s) {
    if (s.size() != 8 || s[2] != ':' || s[5] != ':') {
        return std::nullopt;
    }
    const int d = twoDigits(s, 0);
    const int m = twoDigits(s, 3);
    const int y = twoDigits(s, 6);
    if (d < 0 || m < 0 || y < 0) {
        return std::nullopt;
    }
    return CalendarDate{y, m, d};
}

bool sameDeviceDate(const CalendarDate& a, const CalendarDate& b) {
    return a.day == b.day && a.month == b.month && a.shortYear() == b.shortYear();
}

bool isKnownCommand(std::string_view letters) {
    return letters == "rt" || letters == "ra" || letters == "ru" || letters == "wu" ||
           (letters.size() == 11 && letters.substr(0, 3) == "rab");
}

// "ss:mm:hh:DD:MM:Y": the clock up to the first digit of the year.
std::optional<ClockTime> parseFirstClockBlock(std::string_view s) {
    if (s.size() != 16 || !isDigit(s[15])) {
        return std::nullopt;
    }
    for (std::size_t colon = 2; colon < 15; colon += 3) {
        if (s[colon] != ':') {
            return std::nullopt;
        }
    }
    ClockTime t;
    t.second = twoDigits(s, 0);
    t.minute = twoDigits(s, 3);
    t.hour = twoDigits(s, 6);
    t.date.day = twoDigits(s, 9);
    t.date.month = twoDigits(s, 12);
    t.date.year = (s[15] - '0') * 1000;
    if (t.second < 0 || t.second > 59 || t.minute < 0 || t.minute > 59 || t.hour < 0 ||
        t.hour > 23 || t.date.day < 1 || t.date.day > 31 || t.date.month < 1 || t.date.month > 12) {
        return std::nullopt;
    }
    return t;
}

std::string twoChars(char a, char b) {
    return std::string{a, b};
}

} // namespace

bool isValidDate(const CalendarDate& d) {
    return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31 &&
           chr::year_month_day{chr::year{d.year}, chr::month{static_cast<unsigned>(d.month)},
                               chr::day{static_cast<unsigned>(d.day)}}
               .ok();
}

CalendarDate addDays(const CalendarDate& d, int days) {
    return fromSysDays(toSysDays(d) + chr::days{days});
}

std::vector<StoredDay> generateDays(const CalendarDate& last, int count, std::uint32_t seed,
                                    int lastHour) {
    // People per hour at their busiest: nobody at night, peaks at the start and end of work.
    static constexpr std::array<int, 24> busiest = {0,  0,  0,  0,  0,  0,  16, 60, 96, 60, 40, 48,
                                                    80, 60, 40, 48, 80, 96, 60, 30, 20, 8,  0,  0};
    std::vector<StoredDay> days;
    days.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int back = count - 1; back >= 0; --back) {
        StoredDay day;
        day.date = addDays(last, -back);
        const auto dayNumber = toSysDays(day.date).time_since_epoch().count();
        std::seed_seq seq{seed, static_cast<std::uint32_t>(dayNumber)};
        std::mt19937 rng(seq);
        for (int hour = 0; hour < 24; ++hour) {
            const auto most = static_cast<std::uint32_t>(busiest[static_cast<std::size_t>(hour)]);
            if (most == 0 || rng() % 10 == 0) {
                continue;
            }
            const int rechts = static_cast<int>(rng() % most);
            const int links = 1 + static_cast<int>(rng() % most);
            // Drawn all the same, so that an hour's counts do not change as the day goes on.
            if (back > 0 || hour <= lastHour) {
                day.records.push_back({hour, rechts, links});
            }
        }
        days.push_back(std::move(day));
    }
    return days;
}

std::string renderCountText(std::span<const StoredDay> days) {
    std::size_t size = 18 + 32;
    for (const StoredDay& day : days) {
        size += 18 + 12 * day.records.size();
    }
    std::string text;
    text.reserve(size);
    for (const StoredDay& day : days) {
        text.append(12, '0');
        appendHex(text, static_cast<unsigned>(day.date.shortYear()), 2);
        appendHex(text, static_cast<unsigned>(day.date.month), 2);
        appendHex(text, static_cast<unsigned>(day.date.day), 2);
        for (const HourRecord& r : day.records) {
            appendHex(text, static_cast<unsigned>(r.hour), 4);
            appendHex(text, static_cast<unsigned>(r.rechts), 4);
            appendHex(text, static_cast<unsigned>(r.links), 4);
        }
    }
    text.append(18, '0');
    text.append((32 - text.size() % 32) % 32, 'F');
    return text;
}

namespace {

constexpr std::array<FaultInfo, 11> faultTable{{
    {"silent-wake-ups", &Faults::silentWakeUps, "ignore the next n wake-up sequences"},
    {"wrong-wake-up-answers", &Faults::wrongWakeUpAnswers,
     "answer the next n wake-ups with SYN NAK"},
    {"unacknowledged-commands", &Faults::unacknowledgedCommands,
     "neither acknowledge nor keep the next n commands"},
    {"nak-clock-blocks", &Faults::nakClockBlocks,
     "refuse the next n clock data blocks with SYN NAK"},
    {"wrong-own-wake-ups", &Faults::wrongOwnWakeUps,
     "one wrong character in the next n own wake-up sequences"},
    {"bad-headers", &Faults::badHeaders, "SYN ETX instead of SYN STX on the next n first copies"},
    {"corrupted-repeats", &Faults::corruptedRepeats,
     "one digit changed in the next n repeat copies"},
    {"missing-repeats", &Faults::missingRepeats, "do not send the next n repeat copies"},
    {"stop-after-blocks", &Faults::stopAfterBlocks,
     "go silent after n blocks of the next transfer that has more"},
    {"silent-after-eot", &Faults::silentAfterEot,
     "do not wake the PC after the next n SYN EOT of read commands"},
    {"silent-closings", &Faults::silentClosings,
     "leave out the two closing characters of the next n transfers"},
}};

} // namespace

std::span<const FaultInfo> faultList() {
    return faultTable;
}

bool setFault(Faults& faults, std::string_view name, int n) {
    for (const FaultInfo& f : faultTable) {
        if (f.name == name) {
            faults.*f.count = n;
            return true;
        }
    }
    return false;
}

LightBarrier::LightBarrier(Timing t) : timing(t), lastNow_(std::numeric_limits<double>::lowest()) {
    setClock(ClockTime{}, 0.0);
}

double LightBarrier::clampTime(double now) {
    // A clock that steps back must not make bytes unsent or answers come early.
    lastNow_ = std::max(lastNow_, now);
    return lastNow_;
}

void LightBarrier::receive(std::string_view bytes, double now) {
    now = clampTime(now);
    for (const char c : bytes) {
        feedByte(c, now);
    }
}

void LightBarrier::feedByte(char c, double now) {
    switch (rx_) {
    case Rx::Idle:
        if (c == ctl::SYN) {
            rx_ = Rx::Syncs;
            syncs_ = 1;
        }
        return;
    case Rx::Syncs:
        if (c == ctl::SYN) {
            syncs_ = std::min(syncs_ + 1, 5);
            return;
        }
        rx_ = Rx::Idle;
        if (c == ctl::STX) {
            rx_ = Rx::Body;
            body_.clear();
        } else if (c == ctl::ENQ && syncs_ >= 5) {
            onWakeUp(now);
        } else if (c == ctl::EOT) {
            onEot(now);
        } else if (c == ctl::ACK) {
            onAck(now);
        } else if (c == ctl::NAK) {
            onNak(now);
        }
        return;
    case Rx::Body:
        if (c == ctl::SYN) {
            // A message cut off: the new one starts here.
            rx_ = Rx::Syncs;
            syncs_ = 1;
        } else if (c == ctl::ETX || c == ctl::ETB) {
            rx_ = Rx::Idle;
            terminator_ = c;
            onFrame(now);
        } else if (c < 0x20 || c > 0x7E || body_.size() >= 32) {
            rx_ = Rx::Idle;
        } else {
            body_ += c;
        }
        return;
    }
}

void LightBarrier::onWakeUp(double now) {
    if (faults.silentWakeUps > 0) {
        --faults.silentWakeUps;
        return;
    }
    // Being woken means the PC has given up on whatever was going on.
    cancelOutput(now);
    if (phase_ == Phase::ClockData) {
        clockAwake_ = true;
        clockFirst_.reset();
        clockSecond_.reset();
    } else {
        phase_ = Phase::Commands;
        command_.clear();
    }
    if (faults.wrongWakeUpAnswers > 0) {
        --faults.wrongWakeUpAnswers;
        send(twoChars(ctl::SYN, ctl::NAK), now);
    } else {
        send(twoChars(ctl::SYN, ctl::ACK), now);
    }
}

void LightBarrier::onFrame(double now) {
    if (phase_ == Phase::ClockData) {
        if (!clockAwake_) {
            return;
        }
        const bool yearTail = body_.size() == 3 && std::all_of(body_.begin(), body_.end(), isDigit);
        if (terminator_ == ctl::ETB) {
            onClockBlock(true, now);
            return;
        }
        if (yearTail) {
            onClockBlock(false, now);
            return;
        }
        // The PC has moved on to a new command.
        phase_ = Phase::Commands;
        command_.clear();
    }
    if (phase_ != Phase::Commands || terminator_ != ctl::ETX) {
        return;
    }
    if (!isKnownCommand(body_)) {
        send(twoChars(ctl::SYN, ctl::NAK), now);
        return;
    }
    if (faults.unacknowledgedCommands > 0) {
        --faults.unacknowledgedCommands;
        return;
    }
    command_ = body_;
    send(twoChars(ctl::SYN, ctl::ACK), now);
}

void LightBarrier::onClockBlock(bool first, double now) {
    if (faults.nakClockBlocks > 0) {
        --faults.nakClockBlocks;
        send(twoChars(ctl::SYN, ctl::NAK), now);
        return;
    }
    if (first && !parseFirstClockBlock(body_)) {
        // Nothing the clock could be set to: ask for it again.
        send(twoChars(ctl::SYN, ctl::NAK), now);
        return;
    }
    (first ? clockFirst_ : clockSecond_) = body_;
    send(twoChars(ctl::SYN, ctl::ACK), now);
}

void LightBarrier::onEot(double now) {
    if (phase_ == Phase::ClockData) {
        if (!clockAwake_) {
            return;
        }
        // Only a complete pair of blocks sets the clock; half a date is worse than none.
        if (clockFirst_ && clockSecond_) {
            ClockTime t = *parseFirstClockBlock(*clockFirst_);
            t.date.year += std::stoi(*clockSecond_);
            if (validTime(t)) {
                setClock(t, now);
            }
        }
        phase_ = Phase::Asleep;
        return;
    }
    if (phase_ != Phase::Commands) {
        return;
    }
    const std::string command = std::exchange(command_, {});
    if (command == "wu") {
        phase_ = Phase::ClockData;
        clockAwake_ = false;
        clockFirst_.reset();
        clockSecond_.reset();
        return;
    }
    phase_ = Phase::Asleep;
    const std::optional<std::string> text = answerText(command, now);
    if (!text) {
        return;
    }
    if (faults.silentAfterEot > 0) {
        --faults.silentAfterEot;
        return;
    }
    blocks_.clear();
    const std::size_t count = text->size() / 32;
    for (std::size_t i = 0; i < count; ++i) {
        std::string block{ctl::SYN, ctl::STX};
        block.append(*text, i * 32, 32);
        block += i + 1 == count ? ctl::ETX : ctl::ETB;
        blocks_.push_back(std::move(block));
    }
    std::string wake(5, ctl::SYN);
    wake += ctl::ENQ;
    if (faults.wrongOwnWakeUps > 0) {
        --faults.wrongOwnWakeUps;
        wake[1] = ctl::ETB; // SYN with its lowest bit flipped
    }
    send(std::move(wake), now);
    phase_ = Phase::TurnedRound;
}

void LightBarrier::onAck(double now) {
    if (phase_ == Phase::TurnedRound) {
        startBlock(0, now);
        return;
    }
    if (phase_ != Phase::Sending) {
        return;
    }
    if (!repeatSent_) {
        repeatSent_ = true;
        if (faults.missingRepeats > 0) {
            --faults.missingRepeats;
            return;
        }
        std::string copy = blocks_[block_];
        if (faults.corruptedRepeats > 0) {
            --faults.corruptedRepeats;
            copy[18] ^= 1;
        }
        send(std::move(copy), now);
        return;
    }
    if (block_ + 1 < blocks_.size()) {
        startBlock(block_ + 1, now);
        return;
    }
    phase_ = Phase::Asleep;
    if (faults.silentClosings > 0) {
        --faults.silentClosings;
        return;
    }
    send(twoChars(ctl::SYN, ctl::EOT), now);
}

void LightBarrier::onNak(double now) {
    if (phase_ == Phase::Sending) {
        startBlock(block_, now);
    }
}

void LightBarrier::startBlock(std::size_t index, double now) {
    if (faults.stopAfterBlocks >= 0 && index == static_cast<std::size_t>(faults.stopAfterBlocks)) {
        faults.stopAfterBlocks = -1;
        phase_ = Phase::Asleep;
        return;
    }
    phase_ = Phase::Sending;
    block_ = index;
    repeatSent_ = false;
    std::string copy = blocks_[index];
    if (faults.badHeaders > 0) {
        --faults.badHeaders;
        copy[1] = ctl::ETX; // STX with its lowest bit flipped
    }
    send(std::move(copy), now);
}

void LightBarrier::send(std::string bytes, double now) {
    double start = now + timing.reactionDelay;
    if (!out_.empty()) {
        const Segment& last = out_.back();
        start =
            std::max(start, last.start + static_cast<double>(last.bytes.size()) * timing.byteTime);
    }
    out_.push_back({start, std::move(bytes)});
}

std::size_t LightBarrier::readyCount(const Segment& s, double now) const {
    if (now < s.start) {
        return 0;
    }
    if (timing.byteTime <= 0.0) {
        return s.bytes.size();
    }
    // The small allowance keeps a byte due at exactly `now` from being lost to rounding.
    const double done = std::floor((now - s.start) / timing.byteTime + 1e-6);
    return static_cast<std::size_t>(std::min(done, static_cast<double>(s.bytes.size())));
}

void LightBarrier::cancelOutput(double now) {
    for (auto it = out_.begin(); it != out_.end();) {
        it->bytes.resize(std::max(readyCount(*it, now), it->taken));
        if (it->bytes.empty()) {
            it = out_.erase(it);
        } else {
            ++it;
        }
    }
}

std::string LightBarrier::transmit(double now) {
    now = clampTime(now);
    std::string bytes;
    while (!out_.empty()) {
        Segment& s = out_.front();
        const std::size_t ready = readyCount(s, now);
        if (ready > s.taken) {
            bytes.append(s.bytes, s.taken, ready - s.taken);
            s.taken = ready;
        }
        if (s.taken < s.bytes.size()) {
            break;
        }
        out_.pop_front();
    }
    return bytes;
}

std::optional<double> LightBarrier::nextByteAt() const {
    if (out_.empty()) {
        return std::nullopt;
    }
    const Segment& s = out_.front();
    return s.start + static_cast<double>(s.taken + 1) * timing.byteTime;
}

void LightBarrier::setClock(const ClockTime& t, double now) {
    if (!validTime(t)) {
        throw std::invalid_argument("no valid date and time");
    }
    clockBase_ = toEpochSeconds(t);
    clockBaseNow_ = now;
}

ClockTime LightBarrier::clock(double now) const {
    // The allowance keeps a clock read exactly on a full second from showing the one before.
    const double elapsed = std::floor(now - clockBaseNow_ + 1e-6);
    return fromEpochSeconds(clockBase_ + static_cast<std::int64_t>(elapsed));
}

std::optional<std::string> LightBarrier::answerText(std::string_view letters, double now) const {
    if (letters == "ru") {
        const ClockTime t = clock(now);
        std::string text;
        text.reserve(32);
        for (const int field :
             {t.second, t.minute, t.hour, t.date.day, t.date.month, t.date.shortYear()}) {
            appendHex(text, static_cast<unsigned>(field), 2);
        }
        text.append(20, '0');
        return text;
    }
    if (letters == "ra") {
        return renderCountText(memory);
    }
    if (letters == "rt") {
        const CalendarDate today = clock(now).date;
        const auto it = std::find_if(memory.rbegin(), memory.rend(), [&](const StoredDay& d) {
            return sameDeviceDate(d.date, today);
        });
        if (it == memory.rend()) {
            return renderCountText({});
        }
        return renderCountText(std::span(&*it, 1));
    }
    if (letters.size() == 11 && letters.substr(0, 3) == "rab") {
        const std::optional<CalendarDate> from = parseCommandDate(letters.substr(3));
        if (!from) {
            return std::nullopt;
        }
        const auto it = std::find_if(memory.begin(), memory.end(), [&](const StoredDay& d) {
            return sameDeviceDate(d.date, *from);
        });
        if (it == memory.end()) {
            return std::nullopt;
        }
        return renderCountText(std::span(it, memory.end()));
    }
    return std::nullopt;
}

} // namespace orva::sim
