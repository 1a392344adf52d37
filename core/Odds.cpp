#include "Odds.h"

#include "FillText.h"
#include "Texts.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>


// How the odds are found. The damage a duellist takes in move n depends only
// on the other duellist's die, the weapon and attack digit of move n and
// fixed values, never on either health. So, for each duellist alone, the
// chance of standing through moves 1..n, A(n), follows from a distribution
// of that duellist's health that is pushed through one move at a time, with
// every health of 0 or less taken out as fallen. The two distributions are
// independent, and the duel stops at the first move after which either has
// fallen:
//   duellist 1 wins in move n   A1(n) * (A2(n-1) - A2(n))
//   both fall in move n         (A1(n-1) - A1(n)) * (A2(n-1) - A2(n))
//   undecided                   A1(100) * A2(100)
//   expected moves              sum over n = 1..100 of A1(n-1) * A2(n-1)

namespace saberline {

namespace {

// Above this many healths between the lowest and the highest standing one,
// a distribution is kept as a sorted list of the healths that occur. Within
// the screen's fields a health is at most 9999, so only numbers typed past
// the screen's limits ever get there.
constexpr std::int64_t kDenseLimit = std::int64_t{1} << 20;
// A dense array of at least this many healths of which fewer than one in
// kSparseRatio is reachable becomes a list; a list whose healths fill at
// least one in kDenseRatio of its range becomes an array again.
constexpr std::size_t kSparseCheckSize = 1024;
constexpr std::size_t kSparseRatio = 16;
constexpr std::int64_t kDenseRatio = 12;

// The damages one duellist may take in one move, each with its chance: six
// equally likely dice give at most three different amounts.
struct MoveDamage {
    std::array<std::int64_t, 6> amount{};
    std::array<double, 6> chance{};
    std::size_t count = 0;

    void AddDie(std::int64_t damage) {
        for (std::size_t i = 0; i < count; ++i) {
            if (amount[i] == damage) {
                chance[i] += 1.0 / 6.0;
                return;
            }
        }
        amount[count] = damage;
        chance[count] = 1.0 / 6.0;
        ++count;
    }
    std::int64_t Least() const { return *std::min_element(amount.begin(), amount.begin() + count); }
    std::int64_t Most() const { return *std::max_element(amount.begin(), amount.begin() + count); }
};

MoveDamage DamageTaken(const Duellist& attacker, const Duellist& defender, Weapon weapon, int move) {
    MoveDamage damage;
    if (weapon == Weapon::Pistol) {
        for (std::int32_t die = 1; die <= 6; ++die)
            damage.AddDie(ResolveShot(die, attacker.firearm, defender.armour));
    } else {
        const bool parried = FindParryingSide(AttackDigit(attacker.scheme, move), defender.strong,
                                              defender.fourth, defender.nobleCostume) != 0;
        for (std::int32_t die = 1; die <= 6; ++die)
            damage.AddDie(ResolveStrike(die, parried, attacker.cold, defender.armour));
    }
    return damage;
}

// One duellist's health distribution over the healths still above 0.
class Survival {
public:
    explicit Survival(std::int64_t health) : lo_(health), hi_(health), dense_{1.0} {}

    // The chance of having stood through every move so far.
    double Standing() const { return standing_; }

    // Pushes the distribution through one move; returns the chance of
    // falling in it.
    double Move(const MoveDamage& damage) {
        ChooseForm();
        double fallen = sparse_ ? SparseMove(damage) : DenseMove(damage);
        if (Empty() || fallen > standing_) fallen = standing_;
        standing_ -= fallen;
        return fallen;
    }

private:
    bool Empty() const { return sparse_ ? list_.empty() : dense_.empty(); }

    double DenseMove(const MoveDamage& damage) {
        const std::int64_t newHi = hi_ - damage.Least();
        if (newHi < 1) {
            dense_.clear();
            return standing_;
        }
        const std::int64_t newLo = std::max<std::int64_t>(1, lo_ - damage.Most());
        if (newHi - newLo + 1 > kDenseLimit) {
            ToSparse();
            return SparseMove(damage);
        }
        const std::int64_t size = static_cast<std::int64_t>(dense_.size());
        const std::int64_t newSize = newHi - newLo + 1;
        next_.resize(static_cast<std::size_t>(newSize));
        double fallen = 0;
        // New health newLo + j comes, with damage d, from health newLo + j + d,
        // that is from dense_[j + offset[k]]. All sources exist for j in
        // [from, to); the few healths outside are summed with checks.
        std::array<std::int64_t, 6> offset{};
        std::int64_t from = 0;
        std::int64_t to = newSize;
        for (std::size_t k = 0; k < damage.count; ++k) {
            const std::int64_t d = damage.amount[k];
            // Healths up to d fall.
            const std::int64_t dying = std::clamp<std::int64_t>(1 + d - lo_, 0, size);
            double mass = 0;
            for (std::int64_t i = 0; i < dying; ++i) mass += dense_[static_cast<std::size_t>(i)];
            fallen += damage.chance[k] * mass;
            offset[k] = newLo + d - lo_;
            from = std::max(from, -offset[k]);
            to = std::min(to, size - offset[k]);
        }
        const auto checked = [&](std::int64_t j) {
            double p = 0;
            for (std::size_t k = 0; k < damage.count; ++k) {
                const std::int64_t source = j + offset[k];
                if (source >= 0 && source < size) p += damage.chance[k] * dense_[static_cast<std::size_t>(source)];
            }
            next_[static_cast<std::size_t>(j)] = p;
        };
        if (from >= to) {
            for (std::int64_t j = 0; j < newSize; ++j) checked(j);
        } else {
            for (std::int64_t j = 0; j < from; ++j) checked(j);
            for (std::int64_t j = to; j < newSize; ++j) checked(j);
            double* out = next_.data() + from;
            const std::size_t n = static_cast<std::size_t>(to - from);
            const double* s0 = dense_.data() + (from + offset[0]);
            const double p0 = damage.chance[0];
            if (damage.count == 3) {
                const double* s1 = dense_.data() + (from + offset[1]);
                const double* s2 = dense_.data() + (from + offset[2]);
                const double p1 = damage.chance[1];
                const double p2 = damage.chance[2];
                for (std::size_t i = 0; i < n; ++i) out[i] = p0 * s0[i] + p1 * s1[i] + p2 * s2[i];
            } else {
                for (std::size_t i = 0; i < n; ++i) out[i] = p0 * s0[i];
                for (std::size_t k = 1; k < damage.count; ++k) {
                    const double* sk = dense_.data() + (from + offset[k]);
                    const double pk = damage.chance[k];
                    for (std::size_t i = 0; i < n; ++i) out[i] += pk * sk[i];
                }
            }
        }
        dense_.swap(next_);
        lo_ = newLo;
        hi_ = newHi;
        return fallen;
    }

    // Large hits leave a wide range of healths with only a few of them
    // reachable (9999 less multiples of 1999, say): the dense array would then
    // spend each move on zeros, so such a distribution is kept as a list, and
    // turned back into an array once the list fills one in twelve of its
    // range (a list that full costs more per move than the array).
    void ChooseForm() {
        if (!sparse_) {
            if (dense_.size() < kSparseCheckSize) return;
            const auto reachable = static_cast<std::size_t>(
                std::count_if(dense_.begin(), dense_.end(), [](double p) { return p != 0; }));
            if (reachable * kSparseRatio < dense_.size()) ToSparse();
        } else if (!list_.empty()) {
            const std::int64_t range = list_.back().first - list_.front().first + 1;
            if (range <= kDenseLimit && static_cast<std::int64_t>(list_.size()) * kDenseRatio >= range) ToDense();
        }
    }

    void ToDense() {
        lo_ = list_.front().first;
        hi_ = list_.back().first;
        dense_.assign(static_cast<std::size_t>(hi_ - lo_ + 1), 0.0);
        for (const auto& [health, p] : list_) dense_[static_cast<std::size_t>(health - lo_)] = p;
        list_.clear();
        sparse_ = false;
    }

    void ToSparse() {
        list_.clear();
        for (std::size_t i = 0; i < dense_.size(); ++i)
            if (dense_[i] != 0) list_.emplace_back(lo_ + static_cast<std::int64_t>(i), dense_[i]);
        dense_.clear();
        sparse_ = true;
    }

    double SparseMove(const MoveDamage& damage) {
        using Entry = std::pair<std::int64_t, double>;
        const auto byHealth = [](const Entry& a, const Entry& b) { return a.first < b.first; };
        double fallen = 0;
        merged_.clear();
        for (std::size_t k = 0; k < damage.count; ++k) {
            shifted_.clear();
            // Summed as the array sums it (the mass that falls first, then
            // times the chance), so that both forms give the same bits.
            double mass = 0;
            for (const auto& [health, p] : list_) {
                const std::int64_t after = health - damage.amount[k];
                if (after < 1) mass += p;
                else shifted_.emplace_back(after, damage.chance[k] * p);
            }
            fallen += damage.chance[k] * mass;
            scratch_.clear();
            std::merge(merged_.begin(), merged_.end(), shifted_.begin(), shifted_.end(),
                       std::back_inserter(scratch_), byHealth);
            merged_.swap(scratch_);
        }
        list_.clear();
        for (const Entry& e : merged_) {
            if (!list_.empty() && list_.back().first == e.first) list_.back().second += e.second;
            else list_.push_back(e);
        }
        return fallen;
    }

    double standing_ = 1.0;
    std::int64_t lo_, hi_;  // the dense array's healths: dense_[i] is health lo_ + i
    std::vector<double> dense_, next_;
    bool sparse_ = false;
    std::vector<std::pair<std::int64_t, double>> list_, merged_, shifted_, scratch_;
};

}  // namespace

DuelOdds ComputeOdds(const Duellist& d1, const Duellist& d2, DuelType type) {
    if (d1.health < 1 || d2.health < 1) throw std::invalid_argument("a duellist's health must be at least 1");
    Survival s1(d1.health);
    Survival s2(d2.health);
    DuelOdds odds;
    MoveOdds sums;  // by the end of the move just pushed through
    sums.going = 1.0;
    for (int move = 1; move <= kMaxMoves; ++move) {
        const double before1 = s1.Standing();
        const double before2 = s2.Standing();
        // Once someone has surely fallen, every later move stands as this one.
        if (before1 != 0 && before2 != 0) {
            odds.expectedMoves += before1 * before2;
            const Weapon weapon = WeaponOfMove(type, move);
            const double fell1 = s1.Move(DamageTaken(d2, d1, weapon, move));
            const double fell2 = s2.Move(DamageTaken(d1, d2, weapon, move));
            sums.duellist1 += s1.Standing() * fell2;
            sums.duellist2 += fell1 * s2.Standing();
            sums.bothFell += fell1 * fell2;
            sums.going = s1.Standing() * s2.Standing();
        }
        MoveOdds& shown = odds.byMove[static_cast<std::size_t>(move - 1)];
        shown = sums;
        // Rounding may carry a sum a hair past 1.
        for (double* p : {&shown.duellist1, &shown.duellist2, &shown.bothFell, &shown.going}) *p = std::min(*p, 1.0);
    }
    const MoveOdds& last = odds.byMove.back();
    odds.duellist1 = last.duellist1;
    odds.duellist2 = last.duellist2;
    odds.bothFell = last.bothFell;
    odds.undecided = last.going;
    return odds;
}

DuelOdds ComputeOdds(const DuelRequest& request) {
    const Validation prepared = PrepareDuel(request);
    if (!prepared.message.empty()) {
        DuelOdds refused;
        refused.ErrorText = prepared.message;
        return refused;
    }
    return ComputeOdds(prepared.duellists[0], prepared.duellists[1], request.type);
}

std::string PercentText(double probability) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", probability * 100.0);
    return text;
}

std::string MovesText(double moves) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", moves);
    return text;
}

const std::array<OddsFigure, 5> kOddsFigures{{
    {"OddsDuellist1", texts::kOddsDuellist1, "duellist1", "Duellist 1 wins", &DuelOdds::duellist1, false},
    {"OddsDuellist2", texts::kOddsDuellist2, "duellist2", "Duellist 2 wins", &DuelOdds::duellist2, false},
    {"OddsBothFell", texts::kOddsBothFell, "both_fell", "Both fall", &DuelOdds::bothFell, false},
    {"OddsUndecided", texts::kOddsUndecided, "undecided", "Undecided after 100 moves", &DuelOdds::undecided, false},
    {"OddsExpectedMoves", texts::kOddsExpectedMoves, "expected_moves", "Expected number of moves",
     &DuelOdds::expectedMoves, true},
}};

std::string FigureText(const OddsFigure& figure, const DuelOdds& odds) {
    return figure.moves ? MovesText(odds.*figure.value) : PercentText(odds.*figure.value);
}

int DecidedByMove(const DuelOdds& odds, double certainty) {
    if (!odds.ErrorText.empty()) return 0;
    for (std::size_t n = 0; n < odds.byMove.size(); ++n)
        if (1.0 - odds.byMove[n].going >= certainty) return static_cast<int>(n + 1);
    return 0;
}

std::string OddsSummary(const DuelOdds& odds) {
    if (!odds.ErrorText.empty()) return {};
    const int move = DecidedByMove(odds, kOddsSummaryCertainty);
    if (move != 0) return FillText(texts::kOddsSummaryDecided, {std::to_string(move)});
    return FillText(texts::kOddsSummaryOpen, {PercentText(1.0 - odds.undecided)});
}

}  // namespace saberline
