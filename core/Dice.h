// The dice: one 32-bit linear congruential generator, reseeded from a clock
// before every group of throws.
#pragma once

#include <cstdint>
#include <vector>

namespace saberline {

// Where Reseed takes its reading from. The seed becomes the reading's low
// 32 bits.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual std::uint64_t Read() = 0;
};

// The machine's clock. Reads a monotonic nanosecond counter and passes it
// through a 64-bit mixing function, so that moves a few nanoseconds apart
// get unrelated seeds; when no such counter can be read, falls back to the
// plain millisecond count since the system started.
class PlatformClock final : public ClockSource {
public:
    using CounterRead = bool (*)(std::uint64_t& count);
    using TickRead = std::uint32_t (*)();

    PlatformClock();
    // For tests: a counter that may fail, and the millisecond fallback.
    PlatformClock(CounterRead counter, TickRead ticks);

    std::uint64_t Read() override;

    // The splitmix64 finaliser: a bijection of 64-bit values in which every
    // input bit affects every output bit.
    static std::uint64_t Mix(std::uint64_t x) noexcept;

private:
    CounterRead counter_;
    TickRead ticks_;
};

// Chosen readings, used as they are (no mixing); once used up, the last one
// repeats. An empty list reads 0.
class ListClock final : public ClockSource {
public:
    explicit ListClock(std::vector<std::uint64_t> readings);
    std::uint64_t Read() override;

private:
    std::vector<std::uint64_t> readings_;
    std::size_t next_ = 0;
};

// Passes another source's readings through and keeps every one it gave, so
// that what a duel threw can be replayed with a ListClock.
class RecordingClock final : public ClockSource {
public:
    explicit RecordingClock(ClockSource& source) : source_(&source) {}
    std::uint64_t Read() override {
        const std::uint64_t reading = source_->Read();
        readings_.push_back(reading);
        return reading;
    }
    const std::vector<std::uint64_t>& Readings() const noexcept { return readings_; }

private:
    ClockSource* source_;
    std::vector<std::uint64_t> readings_;
};

class Dice {
public:
    static constexpr std::uint32_t kMultiplier = 134775813u;

    explicit Dice(ClockSource& clock) noexcept : clock_(&clock) {}

    // seed := low 32 bits of the clock's reading.
    void Reseed() { seed_ = static_cast<std::uint32_t>(clock_->Read()); }

    // Steps the seed and returns floor(seed * n / 2^32), 0..n-1. n >= 1.
    std::int32_t Throw(std::int32_t n) noexcept {
        seed_ = seed_ * kMultiplier + 1u;
        return static_cast<std::int32_t>(
            (static_cast<std::uint64_t>(seed_) * static_cast<std::uint32_t>(n)) >> 32);
    }

    // One die, 1..6.
    std::int32_t Die() noexcept { return Throw(6) + 1; }

    std::uint32_t Seed() const noexcept { return seed_; }
    void SetSeed(std::uint32_t seed) noexcept { seed_ = seed; }
    void SetClock(ClockSource& clock) noexcept { clock_ = &clock; }

private:
    ClockSource* clock_;
    std::uint32_t seed_ = 0;
};

// The program's one set of dice, on the machine's clock; seed 0 at start.
Dice& ProcessDice();

}  // namespace saberline
