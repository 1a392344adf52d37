#include "Dice.h"

#include <ctime>

namespace saberline {

namespace {

bool ReadMonotonicCounter(std::uint64_t& count) {
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return false;
    count = static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
    return true;
}

std::uint32_t MillisecondsSinceStart() {
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0 && clock_gettime(CLOCK_REALTIME, &now) != 0) return 0;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace

PlatformClock::PlatformClock() : PlatformClock(&ReadMonotonicCounter, &MillisecondsSinceStart) {}

PlatformClock::PlatformClock(CounterRead counter, TickRead ticks) : counter_(counter), ticks_(ticks) {}

std::uint64_t PlatformClock::Mix(std::uint64_t x) noexcept {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return x;
}

std::uint64_t PlatformClock::Read() {
    std::uint64_t count = 0;
    if (counter_ && counter_(count)) return Mix(count);
    return ticks_ ? ticks_() : 0;
}

ListClock::ListClock(std::vector<std::uint64_t> readings) : readings_(std::move(readings)) {}

std::uint64_t ListClock::Read() {
    if (readings_.empty()) return 0;
    const std::uint64_t reading = readings_[next_];
    if (next_ + 1 < readings_.size()) ++next_;
    return reading;
}

Dice& ProcessDice() {
    static PlatformClock clock;
    static Dice dice(clock);
    return dice;
}

}  // namespace saberline
