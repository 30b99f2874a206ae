#pragma once

#include <type_traits>
#include <utility>
#include <variant>

// The one way a library call reports failure: a value, or the typed reason there is none. The
// reason is data (an enum, a QSqlError, a problem with its line); the text a person reads is
// made from it at the edge. C++17 builds on Linux and MinGW alike, hence not std::expected.

// The failed side, so that a Result whose value and reason share a type is never ambiguous.
template <typename E>
struct Failure {
    E error;
};

template <typename E>
Failure<std::decay_t<E>> failure(E &&error)
{
    return {std::forward<E>(error)};
}

template <typename T, typename E>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    template <typename F, typename = std::enable_if_t<std::is_convertible_v<F, E>>>
    Result(Failure<F> failed) : state_(std::in_place_index<1>, E(std::move(failed.error)))
    {
    }

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only when ok().
    const T &value() const & { return std::get<0>(state_); }
    T &value() & { return std::get<0>(state_); }
    T &&value() && { return std::get<0>(std::move(state_)); }
    const T &operator*() const & { return value(); }
    T &operator*() & { return value(); }
    const T *operator->() const { return &value(); }
    T *operator->() { return &value(); }

    // Only when !ok().
    const E &error() const { return std::get<1>(state_); }

    T valueOr(T fallback) const & { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, E> state_;
};

// A call with nothing to return but its success.
template <typename E>
class [[nodiscard]] Result<void, E> {
public:
    Result() = default;
    template <typename F, typename = std::enable_if_t<std::is_convertible_v<F, E>>>
    Result(Failure<F> failed) : error_(E(std::move(failed.error))), failed_(true)
    {
    }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const E &error() const { return error_; }  // only when !ok()

private:
    E error_{};
    bool failed_ = false;
};
