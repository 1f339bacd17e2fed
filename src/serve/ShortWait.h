#pragma once
// A wait of a few tens of microseconds by yielding instead of sleeping: a thread that
// sleeps and is woken again costs more than that on a keep-alive call, and a short call
// is usually answered within it. Returns whether `ready` became true in time.

#include <chrono>
#include <thread>

template <typename Ready> bool waitBriefly(Ready ready, std::chrono::microseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::yield();
    }
    return true;
}
