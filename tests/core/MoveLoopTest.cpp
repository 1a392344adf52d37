// The move loop against a plain model of the rules: one reseed at the start
// of every move, duellist 1's die then duellist 2's, both attacks applied in
// full, the end after a fall or after move 100. The loop may take the next
// move's reading early when no one can fall; whatever it does, the moves,
// the ending, the readings taken and the seed left behind must be the
// model's, and the duel request's texts those of RunDuel and WriteMoveLogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "Dice.h"
#include "Duel.h"
#include "DuelParts.h"
#include "IntText.h"

namespace saberline {
namespace {

// Readings from a seeded generator; counts them.
class RandomClock final : public ClockSource {
public:
    explicit RandomClock(std::uint64_t seed) : generator_(seed) {}
    std::uint64_t Read() override {
        ++reads;
        return generator_();
    }
    int reads = 0;

private:
    std::mt19937_64 generator_;
};

struct ModelDuel {
    std::vector<MoveRecord> moves;
    DuelEnding ending = DuelEnding::Undecided;
};

std::int32_t Lower(std::int32_t health, std::int32_t damage) {
    const std::int64_t lowered = static_cast<std::int64_t>(health) - damage;
    return lowered < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(lowered);
}

ModelDuel Model(const Duellist& d1, const Duellist& d2, DuelType type, Dice& dice) {
    ModelDuel duel;
    std::int32_t health1 = d1.health;
    std::int32_t health2 = d2.health;
    for (int n = 1; n <= kMaxMoves; ++n) {
        dice.Reseed();
        MoveRecord move;
        move.number = static_cast<std::uint8_t>(n);
        move.weapon = WeaponOfMove(type, n);
        move.die1 = dice.Die();
        move.die2 = dice.Die();
        if (move.weapon == Weapon::Pistol) {
            health2 = Lower(health2, ResolveShot(move.die1, d1.firearm, d2.armour));
            health1 = Lower(health1, ResolveShot(move.die2, d2.firearm, d1.armour));
        } else {
            const std::int32_t attack1 = AttackDigit(d1.scheme, n);
            const std::int32_t attack2 = AttackDigit(d2.scheme, n);
            move.attack1 = static_cast<char>('0' + attack1);
            move.attack2 = static_cast<char>('0' + attack2);
            const std::int32_t parry2 = FindParryingSide(attack1, d2.strong, d2.fourth, d2.nobleCostume);
            const std::int32_t parry1 = FindParryingSide(attack2, d1.strong, d1.fourth, d1.nobleCostume);
            move.parry1 = static_cast<std::uint8_t>(parry1);
            move.parry2 = static_cast<std::uint8_t>(parry2);
            health2 = Lower(health2, ResolveStrike(move.die1, parry2 != 0, d1.cold, d2.armour));
            health1 = Lower(health1, ResolveStrike(move.die2, parry1 != 0, d2.cold, d1.armour));
        }
        move.health1 = health1;
        move.health2 = health2;
        duel.moves.push_back(move);
        if (health1 <= 0 || health2 <= 0) break;
    }
    duel.ending = health1 > 0 && health2 > 0 ? DuelEnding::Undecided
                  : health1 > 0              ? DuelEnding::Duellist1Wins
                  : health2 > 0              ? DuelEnding::Duellist2Wins
                                             : DuelEnding::BothFell;
    return duel;
}

bool SameMove(const MoveRecord& a, const MoveRecord& b) {
    return a.number == b.number && a.weapon == b.weapon && a.die1 == b.die1 && a.die2 == b.die2 &&
           a.attack1 == b.attack1 && a.attack2 == b.attack2 && a.parry1 == b.parry1 && a.parry2 == b.parry2 &&
           a.health1 == b.health1 && a.health2 == b.health2;
}

// A duellist as the duel request would accept it, with healths and points
// spread so that duels end early, late, at move 100 or not at all.
Duellist RandomDuellist(std::mt19937& random, DuelType type) {
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    Duellist d;
    d.health = pick(0, 3) == 0 ? pick(1, 9999) : pick(1, 120);
    d.firearm = pick(1, 30);
    d.cold = pick(1, 30);
    d.armour = pick(0, 4) == 0 ? pick(-5, 60) : pick(0, 12);
    std::vector<std::int32_t> sides{1, 2, 3, 4, 5, 6};
    std::shuffle(sides.begin(), sides.end(), random);
    d.strong = {sides[0], sides[1], sides[2]};
    if (pick(0, 2) == 0) {
        d.fourth = sides[3];
        d.nobleCostume = true;
        d.armour = 0;
    }
    if (type != DuelType::Pistols) {
        std::string scheme;
        for (int i = 0; i < kMaxMoves; ++i) scheme.push_back(static_cast<char>('0' + pick(1, 6)));
        d.scheme = scheme;
    }
    return d;
}

TEST(MoveLoop, AgreesWithThePlainRulesMoveByMove) {
    std::mt19937 random(12);
    int decided = 0;
    int undecided = 0;
    for (int duel = 0; duel < 3000; ++duel) {
        const auto type = static_cast<DuelType>(1 + duel % 3);
        const Duellist d1 = RandomDuellist(random, type);
        const Duellist d2 = RandomDuellist(random, type);
        RandomClock modelClock(static_cast<std::uint64_t>(duel));
        RandomClock loopClock(static_cast<std::uint64_t>(duel));
        Dice modelDice(modelClock);
        Dice loopDice(loopClock);
        const ModelDuel expected = Model(d1, d2, type, modelDice);
        const FoughtMoves got = RunDuel(d1, d2, type, loopDice);

        ASSERT_EQ(got.moves.size(), expected.moves.size()) << "duel " << duel;
        for (std::size_t i = 0; i < got.moves.size(); ++i)
            ASSERT_TRUE(SameMove(got.moves[i], expected.moves[i])) << "duel " << duel << ", move " << i + 1;
        ASSERT_EQ(got.ending, expected.ending) << "duel " << duel;
        ASSERT_EQ(loopClock.reads, modelClock.reads) << "duel " << duel << ": one reading per move";
        ASSERT_EQ(loopDice.Seed(), modelDice.Seed()) << "duel " << duel << ": the seed left behind";
        (expected.ending == DuelEnding::Undecided ? undecided : decided)++;
    }
    // Both kinds of duel were fought.
    EXPECT_GT(decided, 500);
    EXPECT_GT(undecided, 100);
}

TEST(MoveLoop, DuelRequestWritesWhatRunDuelAndWriteMoveLogsWrite) {
    std::mt19937 random(34);
    for (int duel = 0; duel < 1000; ++duel) {
        const auto type = static_cast<DuelType>(1 + duel % 3);
        const Duellist d1 = RandomDuellist(random, type);
        const Duellist d2 = RandomDuellist(random, type);
        DuelRequest request = DuelRequest::StartUp();
        request.type = type;
        for (std::size_t k = 0; k < 2; ++k) {
            const Duellist& d = k == 0 ? d1 : d2;
            DuellistFields& f = request.duellists[k];
            f.health = IntToText(d.health);
            f.firearm = IntToText(d.firearm);
            f.cold = IntToText(d.cold);
            f.armour = IntToText(d.armour);
            for (std::size_t s = 0; s < 3; ++s) f.strong[s] = IntToText(d.strong[s]);
            f.strong[3] = d.fourth != 0 ? IntToText(d.fourth) : "";
            f.scheme = d.scheme;
        }
        RandomClock separateClock(static_cast<std::uint64_t>(duel));
        RandomClock requestClock(static_cast<std::uint64_t>(duel));
        Dice separateDice(separateClock);
        Dice requestDice(requestClock);
        const Validation prepared = PrepareDuel(request);
        ASSERT_EQ(prepared.message, "") << "duel " << duel;
        const FoughtMoves result = RunDuel(prepared.duellists[0], prepared.duellists[1], type, separateDice);
        const MoveLogs logs = WriteMoveLogs(d1.health, d2.health, result.moves, result.ending);
        const DuelScreenTexts screen = RunDuelRequest(request, requestDice);
        ASSERT_EQ(screen.InfoBM1, logs.log1) << "duel " << duel;
        ASSERT_EQ(screen.InfoBM2, logs.log2) << "duel " << duel;
        ASSERT_EQ(screen.ErrorText, logs.message) << "duel " << duel;
        ASSERT_EQ(requestClock.reads, separateClock.reads) << "duel " << duel;
        ASSERT_EQ(requestDice.Seed(), separateDice.Seed()) << "duel " << duel;
    }
}

TEST(MoveLoop, ASchemeThatEndsEarlyStopsTheDuelBeforeTheNextReading) {
    // Armour no hit can pass: every move could be read ahead, but the move
    // whose attack digit is missing must fail before the next reading.
    Duellist d1;
    d1.health = d1.firearm = d1.cold = 1;
    d1.armour = 100;
    d1.strong = {1, 2, 3};
    d1.scheme = std::string(7, '4');
    Duellist d2 = d1;
    d2.strong = {4, 5, 6};
    RandomClock clock(5);
    Dice dice(clock);
    EXPECT_THROW(RunDuel(d1, d2, DuelType::ColdWeapons, dice), EConvertError);
    EXPECT_EQ(clock.reads, 8);  // moves 1 to 8 were reseeded; move 8 has no digit
}

}  // namespace
}  // namespace saberline
