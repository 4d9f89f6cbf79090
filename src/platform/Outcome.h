#pragma once

#include <type_traits>
#include <utility>
#include <variant>

namespace orva {

// An expected failure of a call to the outside world: the number of the run-time error whose
// box reports it.
struct Failure {
    int number;
};

// What a call that may fail returns: its result, or the failure. Nothing is shown where it
// fails; the command that made the call shows the failure's box.
template <class T = std::monostate> class [[nodiscard]] Outcome {
public:
    Outcome() = default;
    Outcome(T value) : v_(std::move(value)) {}
    Outcome(Failure failure) : v_(failure) {}
    // Keeps only whether another outcome failed, and how.
    template <class U>
    requires std::is_same_v<T, std::monostate> Outcome(const Outcome<U>& other)
        : v_(other ? std::variant<T, Failure>() : other.failure()) {}

    explicit operator bool() const { return v_.index() == 0; }
    const T& operator*() const { return std::get<0>(v_); }
    // The error number of a failure, 0 for a result.
    int error() const { return *this ? 0 : failure().number; }
    Failure failure() const { return std::get<1>(v_); }

private:
    std::variant<T, Failure> v_;
};

} // namespace orva
