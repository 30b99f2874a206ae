#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

// Values a simulated reading takes in turn, one per reading, staying on the last once all were
// taken: how a station file plays a tank filling or a sensor that leaks and dries.
template <typename T>
class ValueScript {
public:
    ValueScript() = default;
    explicit ValueScript(std::vector<T> values) : values_(std::move(values)) {}

    bool isEmpty() const { return values_.empty(); }
    bool started() const { return started_; }

    // Nothing for an empty script.
    std::optional<T> take()
    {
        if (values_.empty())
            return std::nullopt;
        started_ = true;
        const T value = values_[next_];
        if (next_ + 1 < values_.size())
            ++next_;
        return value;
    }

private:
    std::vector<T> values_;
    std::size_t next_ = 0;
    bool started_ = false;
};
