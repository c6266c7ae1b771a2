#pragma once

#include <deque>
#include <optional>
#include <utility>

namespace kronax::test {

// Takes the first of a fake's scripted items off the queue; nothing once none is left.
template <typename T> std::optional<T> TakeFirst(std::deque<T>& items) {
    if (items.empty())
        return std::nullopt;
    std::optional<T> first(std::move(items.front()));
    items.pop_front();
    return first;
}

} // namespace kronax::test
