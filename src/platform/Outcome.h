#pragma once

#include <type_traits>
#include <utility>
#include <variant>

namespace orva {

// An expected failure of a call to the outside world: the run-time error number whose box
// reports it.
struct Failure {
    int number;
};

// What a call that may fail returns: its result, or the failure to report. Nothing is shown
// where it fails; the command that made the call turns the failure into its box.
template <class T = std::monostate> class [[nodiscard]] Outcome {
public:
    Outcome() requires std::is_same_v<T, std::monostate>
    = default;
    Outcome(T value) : v_(std::move(value)) {}
    Outcome(Failure failure) : v_(failure) {}
    // Only whether another outcome failed, and how.
    template <class U>
    Outcome(const Outcome<U>& other) requires(std::is_same_v<T, std::monostate> &&
                                              !std::is_same_v<U, T>) {
        if (!other) {
            v_ = other.failure();
        }
    }

    explicit operator bool() const { return v_.index() == 0; }
    T& operator*() { return std::get<0>(v_); }
    const T& operator*() const { return std::get<0>(v_); }
    const T* operator->() const { return &std::get<0>(v_); }
    // The error number of a failure, 0 for a result.
    int error() const { return *this ? 0 : std::get<1>(v_).number; }
    Failure failure() const { return std::get<1>(v_); }

private:
    std::variant<T, Failure> v_;
};

} // namespace orva
