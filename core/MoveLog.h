// The move logs: a fought duel written as the two lines in which the duel
// screen shows each duellist's moves and the verdict, and the long-duel
// message of an undecided duel.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "IntText.h"
#include "MoveLoop.h"
#include "Texts.h"

namespace saberline {

struct MoveLogs {
    std::string log1;
    std::string log2;
    std::string message;  // the long-duel message for an undecided duel
};

// The writer's own pieces; MoveLogWriter is what the duel button uses.
namespace logs {

// The die marks of cold entries, by die: "-" for 1, "+" for 6, "=" otherwise.
inline constexpr char kDieMarks[] = "=-====+";
inline char DieMark(std::int32_t die) noexcept { return die >= 0 && die <= 6 ? kDieMarks[die] : '='; }

// Up to eight characters packed into one number, the first in the lowest
// byte, so that a piece of an entry is built in a register and stored at once.
constexpr std::uint64_t Packed(char c, int at) noexcept {
    return static_cast<std::uint64_t>(static_cast<unsigned char>(c)) << (8 * at);
}

// The end of a cold entry after "(", the attack digit and the die mark: the
// parry and the bar, "/X) |" or "/4) |", by parrying side 0..9.
inline constexpr std::array<std::uint64_t, 10> kParryEnds = [] {
    std::array<std::uint64_t, 10> ends{};
    for (int side = 0; side <= 9; ++side) {
        const char parry[3] = {side == 0 ? texts::kLogNoParry[0] : '/',
                               side == 0 ? texts::kLogNoParry[1] : static_cast<char>('0' + side),
                               side == 0 ? texts::kLogNoParry[2] : ')'};
        ends[static_cast<std::size_t>(side)] = Packed(parry[0], 3) | Packed(parry[1], 4) | Packed(parry[2], 5) |
                                               Packed(texts::kLogBar[0], 6) | Packed(texts::kLogBar[1], 7);
    }
    return ends;
}();

// Writes one move log into a buffer sized for the longest possible log: no
// bounds checks, and pieces are built in registers and stored a few bytes at
// a time. The writer holds nothing but scalars, so that the compiler keeps
// it in registers while characters are stored.
class LogWriter {
public:
    // Longest header "-2147483648 |", longest entry " -2147483648(6+/6) |";
    // room for the longest end piece (the undecided one, 65 bytes) and for
    // the 16-byte stores of health texts.
    static constexpr std::size_t kLongestHeader = 13;
    static constexpr std::size_t kLongestEntry = 20;
    static constexpr std::size_t kLongestEnd = 96;
    static constexpr std::size_t Capacity(std::size_t moves) {
        return kLongestHeader + kLongestEntry * moves + kLongestEnd;
    }

    // `buffer` holds Capacity(moves) characters. Writes the header.
    LogWriter(char* buffer, std::int32_t startHealth) noexcept : begin_(buffer), at_(buffer) {
        Remember(startHealth);
        Number(startHealth);
        Text(texts::kLogBar);
    }

    void Number(std::int32_t value) noexcept { at_ = WriteIntText(at_, value); }
    void Char(char c) noexcept { *at_++ = c; }
    template <std::size_t N>
    void Text(const char (&text)[N]) noexcept {
        std::memcpy(at_, text, N - 1);
        at_ += N - 1;
    }
    // A text whose length is known only when it runs: an end of the log,
    // defined in Texts.cpp (which holds each end against kLongestEnd).
    void Piece(std::string_view text) noexcept {
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
    }

    void Entry(std::int32_t health, Weapon weapon, std::int32_t die, char attack, std::int32_t parry) noexcept {
        // " " and the health, from the text of the last health written when
        // it has not changed (in most moves at least one duellist takes no
        // damage).
        if (health != lastHealth_) Remember(health);
        std::memcpy(at_, &spacedHealth_[0], 8);
        std::memcpy(at_ + 8, &spacedHealth_[1], 8);
        at_ += spacedLength_;
        if (weapon == Weapon::Pistol) {
            if (die >= 0 && die <= 9) {  // "(6) |"
                Store(Packed('(', 0) | Packed(static_cast<char>('0' + die), 1) | Packed(')', 2) |
                          Packed(texts::kLogBar[0], 3) | Packed(texts::kLogBar[1], 4),
                      5);
                return;
            }
            Char('(');
            Number(die);
            Char(')');
        } else {
            if (parry >= 0 && parry <= 9) {  // "(4+/X) |" or "(5=/4) |"
                Store(Packed('(', 0) | Packed(attack, 1) | Packed(DieMark(die), 2) |
                          kParryEnds[static_cast<std::size_t>(parry)],
                      8);
                return;
            }
            Char('(');
            Char(attack);
            Char(DieMark(die));
            Char('/');
            Number(parry);
            Char(')');
        }
        Text(texts::kLogBar);
    }

    std::string Finish() const { return {begin_, at_}; }

private:
    // Keeps " <health>" as sixteen bytes in two numbers.
    void Remember(std::int32_t health) noexcept {
        char text[16] = {' '};
        spacedLength_ = static_cast<std::size_t>(WriteIntText(text + 1, health) - text);
        std::memcpy(spacedHealth_, text, sizeof text);
        lastHealth_ = health;
    }

    // Stores all eight packed characters and keeps the first `length`.
    void Store(std::uint64_t packed, std::size_t length) noexcept {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(at_, &packed, sizeof packed);
        } else {
            for (int i = 0; i < 8; ++i) at_[i] = static_cast<char>(packed >> (8 * i));
        }
        at_ += length;
    }

    char* begin_;
    char* at_;
    std::int32_t lastHealth_ = 0;
    std::size_t spacedLength_ = 0;
    std::uint64_t spacedHealth_[2] = {};
};

static_assert(sizeof texts::kLogNoParry == 4 && sizeof texts::kLogBar == 3);

// Room for both logs of a duel of the screen (at most 100 moves) on the
// stack, or of a longer list of moves in the heap.
class LogBuffers {
public:
    // The buffers are left as they are: a log is written before it is read,
    // and clearing 2.8 kB would cost every duel.
    // cppcheck-suppress uninitMemberVar
    explicit LogBuffers(std::size_t moves) {
        if (moves > static_cast<std::size_t>(kMaxMoves)) {
            const std::size_t capacity = LogWriter::Capacity(moves);
            heap_.reset(new char[2 * capacity]);
            first_ = heap_.get();
            second_ = heap_.get() + capacity;
        }
    }
    char* First() noexcept { return first_; }
    char* Second() noexcept { return second_; }

private:
    static constexpr std::size_t kInPlace = LogWriter::Capacity(kMaxMoves);
    char inPlace1_[kInPlace];
    char inPlace2_[kInPlace];
    std::unique_ptr<char[]> heap_;
    char* first_ = inPlace1_;
    char* second_ = inPlace2_;
};

// Both move logs, written move by move: the headers at construction, one
// entry per move, the end pieces and the message at Finish.
class MoveLogWriter {
public:
    MoveLogWriter(LogBuffers& buffers, std::int32_t startHealth1, std::int32_t startHealth2) noexcept
        : log1_(buffers.First(), startHealth1), log2_(buffers.Second(), startHealth2),
          final1_(startHealth1), final2_(startHealth2) {}

    void Move(const MoveRecord& m) noexcept {
        log1_.Entry(m.health1, m.weapon, m.die1, m.attack1, m.parry1);
        log2_.Entry(m.health2, m.weapon, m.die2, m.attack2, m.parry2);
        final1_ = m.health1;
        final2_ = m.health2;
    }

    MoveLogs Finish(DuelEnding ending) {
        auto winner = [](LogWriter& log, std::int32_t finalHealth) {
            log.Char(' ');
            log.Number(finalHealth);
            log.Char(';');
        };
        MoveLogs logs;
        switch (ending) {
            case DuelEnding::Duellist1Wins:
                winner(log1_, final1_);
                log2_.Piece(texts::kLogLoserEnd);
                break;
            case DuelEnding::Duellist2Wins:
                log1_.Piece(texts::kLogLoserEnd);
                winner(log2_, final2_);
                break;
            case DuelEnding::BothFell:
                log1_.Piece(texts::kLogDrawEnd);
                log2_.Piece(texts::kLogDrawEnd);
                break;
            case DuelEnding::Undecided:
                log1_.Piece(texts::kLogUndecidedEnd);
                log2_.Piece(texts::kLogUndecidedEnd);
                logs.message = texts::kLongDuel;
                break;
        }
        logs.log1 = log1_.Finish();
        logs.log2 = log2_.Finish();
        return logs;
    }

private:
    LogWriter log1_;
    LogWriter log2_;
    std::int32_t final1_;
    std::int32_t final2_;
};

}  // namespace logs

}  // namespace saberline
