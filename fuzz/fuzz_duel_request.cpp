// Fuzz target: the whole duel request, from arbitrary field texts, duel type
// and clock readings to the three texts of the duel screen.
//
// Input: one byte choosing the duel type, then the 18 field texts in the
// order of kDuelFields, each ended by a zero byte (field texts never hold a
// zero character); the bytes after the 18th field are the clock readings,
// four little-endian bytes each. Fields missing at the end keep their
// start-up texts.
//
// Checked: no crash, no undefined behaviour, the message line empty or one
// of the duel screen's messages, both logs empty on a refusal, and otherwise
// two well-formed logs whose every number agrees with a duel fought again
// here from the same dice by a separate reading of the move rules (when the
// numbers are small enough that no 32-bit sum can wrap).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Dice.h"
#include "Duel.h"
#include "IntText.h"
#include "DuelReference.h"
#include "Texts.h"

namespace {

using saberline::DuelRequest;
using saberline::DuelType;
using namespace saberline::fuzz;

[[noreturn]] void Fail(const char* what, const saberline::DuelScreenTexts& screen) {
    std::fprintf(stderr, "fuzz_duel_request: %s\nInfoBM1: %s\nInfoBM2: %s\nErrorText: %s\n", what,
                 screen.InfoBM1.c_str(), screen.InfoBM2.c_str(), screen.ErrorText.c_str());
    std::abort();
}

// One entry of a move log, as read back from the text.
struct Entry {
    std::int64_t health = 0;
    bool pistol = true;
    int die = 0;      // pistol entries
    char attack = 0;  // cold entries: '1'..'6'
    char mark = 0;    // cold entries: '-', '=' or '+'
    int parry = 0;    // cold entries: 0 for "/X)"
};

enum class End { Winner, Loser, Draw, Undecided };

struct ParsedLog {
    std::int64_t start = 0;
    std::vector<Entry> entries;
    End end = End::Undecided;
    std::int64_t winnerHealth = 0;
};

// A reader over one log text; every method returns false on a mismatch.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ == text_.size(); }
    bool Literal(std::string_view piece) {
        if (text_.substr(pos_, piece.size()) != piece) return false;
        pos_ += piece.size();
        return true;
    }
    bool Peek(std::string_view piece) const { return text_.substr(pos_, piece.size()) == piece; }
    // A number exactly as IntToText writes it.
    bool Number(std::int64_t& value) {
        const std::size_t begin = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
        const std::size_t digits = pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
        const std::size_t count = pos_ - digits;
        if (count == 0 || count > 10) return false;
        const std::string_view written = text_.substr(begin, pos_ - begin);
        const long long parsed = std::stoll(std::string(written));
        if (parsed < INT32_MIN || parsed > INT32_MAX) return false;
        if (saberline::IntToText(static_cast<std::int32_t>(parsed)) != written) return false;
        value = parsed;
        return true;
    }
    bool Char(char& c) {
        if (pos_ >= text_.size()) return false;
        c = text_[pos_++];
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool ParseLog(std::string_view text, ParsedLog& log) {
    Reader r(text);
    if (!r.Number(log.start) || !r.Literal(" |")) return false;
    for (;;) {
        if (r.Literal(saberline::texts::kLogLoserEnd)) {
            log.end = End::Loser;
            return r.AtEnd();
        }
        if (r.Literal(saberline::texts::kLogDrawEnd)) {
            log.end = End::Draw;
            return r.AtEnd();
        }
        if (r.Literal(saberline::texts::kLogUndecidedEnd)) {
            log.end = End::Undecided;
            return r.AtEnd();
        }
        if (!r.Literal(" ")) return false;
        std::int64_t health = 0;
        if (!r.Number(health)) return false;
        if (r.Literal(";")) {
            log.end = End::Winner;
            log.winnerHealth = health;
            return r.AtEnd();
        }
        Entry e;
        e.health = health;
        if (!r.Literal("(")) return false;
        char c = 0;
        if (!r.Char(c) || c < '1' || c > '6') return false;
        if (r.Literal(")")) {
            e.pistol = true;
            e.die = c - '0';
        } else {
            e.pistol = false;
            e.attack = c;
            if (!r.Char(e.mark) || (e.mark != '-' && e.mark != '=' && e.mark != '+')) return false;
            if (r.Literal(saberline::texts::kLogNoParry)) {
                e.parry = 0;
            } else {
                char side = 0;
                if (!r.Literal("/") || !r.Char(side) || side < '1' || side > '6' || !r.Literal(")"))
                    return false;
                e.parry = side - '0';
            }
        }
        if (!r.Literal(" |")) return false;
        log.entries.push_back(e);
        if (log.entries.size() > 100) return false;
    }
}

bool IsRefusal(const std::string& message) {
    for (const char* m : saberline::texts::kDuelMessages)
        if (message == m && message != saberline::texts::kLongDuel) return true;
    return false;
}

bool IsDuelMessage(const std::string& message) {
    for (const char* m : saberline::texts::kDuelMessages)
        if (message == m) return true;
    return false;
}

// The die sequence as the move loop sees it: a reseed from the next reading
// (the last one repeating, 0 for none) and two throws of the 32-bit
// generator per move.
class ReferenceDice {
public:
    explicit ReferenceDice(const std::vector<std::uint64_t>& readings) : readings_(readings) {}
    void Reseed() {
        seed_ = readings_.empty()
                    ? 0u
                    : static_cast<std::uint32_t>(readings_[std::min(next_, readings_.size() - 1)]);
        ++next_;
    }
    int Die() {
        seed_ = seed_ * 134775813u + 1u;
        return static_cast<int>((static_cast<std::uint64_t>(seed_) * 6u) >> 32) + 1;
    }

private:
    const std::vector<std::uint64_t>& readings_;
    std::size_t next_ = 0;
    std::uint32_t seed_ = 0;
};

void CheckAcceptedDuel(const DuelRequest& request, const std::vector<std::uint64_t>& readings,
                       const saberline::DuelScreenTexts& screen) {
    ParsedLog logs[2];
    if (!ParseLog(screen.InfoBM1, logs[0])) Fail("InfoBM1 is not a well-formed move log", screen);
    if (!ParseLog(screen.InfoBM2, logs[1])) Fail("InfoBM2 is not a well-formed move log", screen);
    const std::size_t moves = logs[0].entries.size();
    if (moves == 0 || moves != logs[1].entries.size())
        Fail("the logs hold different numbers of moves", screen);

    Values v[2] = {ReadValues(request.duellists[0], request.type),
                   ReadValues(request.duellists[1], request.type)};
    for (int k = 0; k < 2; ++k)
        if (logs[k].start != v[k].health) Fail("a log does not start with the entered health", screen);

    for (std::size_t i = 0; i < moves; ++i) {
        const int n = static_cast<int>(i) + 1;
        const Entry& e1 = logs[0].entries[i];
        const Entry& e2 = logs[1].entries[i];
        const bool pistol = PistolMove(request.type, n);
        if (e1.pistol != pistol || e2.pistol != pistol) Fail("an entry has the wrong weapon's form", screen);
        if (!pistol) {
            if (e1.attack != SchemeAt(v[0].scheme, n) || e2.attack != SchemeAt(v[1].scheme, n))
                Fail("an attack digit is not the scheme's digit of the move", screen);
            if (e1.parry != ParryOf(e2.attack, v[0]) || e2.parry != ParryOf(e1.attack, v[1]))
                Fail("a parrying side does not match the strong sides", screen);
        }
        const bool last = i + 1 == moves;
        const bool someoneFell = e1.health <= 0 || e2.health <= 0;
        if (!last && someoneFell) Fail("the duel went on after a fall", screen);
        if (last && !someoneFell && n != 100) Fail("the duel stopped early", screen);
    }

    const std::int64_t final1 = logs[0].entries.back().health;
    const std::int64_t final2 = logs[1].entries.back().health;
    End want1 = End::Undecided, want2 = End::Undecided;
    if (final1 > 0 && final2 <= 0) want1 = End::Winner, want2 = End::Loser;
    else if (final1 <= 0 && final2 > 0) want1 = End::Loser, want2 = End::Winner;
    else if (final1 <= 0 && final2 <= 0) want1 = want2 = End::Draw;
    if (logs[0].end != want1 || logs[1].end != want2)
        Fail("the end pieces do not match the final healths", screen);
    if (want1 == End::Winner && logs[0].winnerHealth != final1)
        Fail("the winner's end is not its health", screen);
    if (want2 == End::Winner && logs[1].winnerHealth != final2)
        Fail("the winner's end is not its health", screen);
    const bool undecided = want1 == End::Undecided;
    if (undecided != (screen.ErrorText == saberline::texts::kLongDuel))
        Fail("the long-duel message does not go with an undecided duel", screen);
    if (!undecided && !screen.ErrorText.empty()) Fail("a decided duel left a message", screen);

    // Fight the duel again from the same readings, in 64-bit arithmetic, when
    // no value is large enough for a 32-bit sum to wrap.
    constexpr std::int64_t kSmall = 1 << 20;
    for (const Values& x : v)
        for (std::int64_t n : {x.health, x.firearm, x.cold, x.armour})
            if (n > kSmall || n < -kSmall) return;
    ReferenceDice dice(readings);
    std::int64_t h1 = v[0].health, h2 = v[1].health;
    for (std::size_t i = 0; i < moves; ++i) {
        const int n = static_cast<int>(i) + 1;
        dice.Reseed();
        const int die1 = dice.Die();
        const int die2 = dice.Die();
        const Entry& e1 = logs[0].entries[i];
        const Entry& e2 = logs[1].entries[i];
        if (PistolMove(request.type, n)) {
            if (e1.die != die1 || e2.die != die2) Fail("a pistol entry shows another die", screen);
            h2 -= ShotDamage(die1, v[0], v[1]);
            h1 -= ShotDamage(die2, v[1], v[0]);
        } else {
            auto mark = [](int die) { return die == 1 ? '-' : die == 6 ? '+' : '='; };
            if (e1.mark != mark(die1) || e2.mark != mark(die2))
                Fail("a cold entry shows another die mark", screen);
            h2 -= StrikeDamage(die1, e2.parry != 0, v[0], v[1]);
            h1 -= StrikeDamage(die2, e1.parry != 0, v[1], v[0]);
        }
        if (e1.health != h1 || e2.health != h2)
            Fail("a health after a move differs from the move rules", screen);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    DuelRequest request = DuelRequest::StartUp();
    request.type = static_cast<DuelType>(data[0] % 3 + 1);

    std::size_t pos = 1;
    for (const saberline::DuelField& field : saberline::kDuelFields) {
        if (pos >= size) break;
        const auto* begin = data + pos;
        const auto* zero = static_cast<const std::uint8_t*>(std::memchr(begin, 0, size - pos));
        const std::size_t length = zero ? static_cast<std::size_t>(zero - begin) : size - pos;
        saberline::FieldText(request, field).assign(reinterpret_cast<const char*>(begin), length);
        pos += length + 1;
    }
    std::vector<std::uint64_t> readings;
    for (; pos < size; pos += 4) {
        std::uint32_t word = 0;
        std::memcpy(&word, data + pos, std::min<std::size_t>(4, size - pos));
        readings.push_back(word);
    }

    saberline::ListClock clock(readings);
    saberline::Dice dice(clock);
    const saberline::DuelScreenTexts screen = saberline::RunDuelRequest(request, dice);

    if (!screen.ErrorText.empty() && !IsDuelMessage(screen.ErrorText))
        Fail("the message line holds a text that is not the duel screen's", screen);
    if (IsRefusal(screen.ErrorText)) {
        if (!screen.InfoBM1.empty() || !screen.InfoBM2.empty()) Fail("a refused request left a log", screen);
        return 0;
    }
    CheckAcceptedDuel(request, readings, screen);
    return 0;
}
