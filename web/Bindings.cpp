// The page's one road into the core: each binding takes the element values
// the page script read, calls one core operation and hands back the texts
// the script writes into elements. Nothing here decides a rule or a text.
//
// Every binding returns an object. An error that escapes the core (the
// conversion error, in practice never) comes back as { errorBox: text },
// the text of the error box, which the page shows and then goes on.

#include <emscripten/em_macros.h>
#include <emscripten/emscripten.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Boxes.h"
#include "Calculator.h"
#include "Call.h"
#include "Dice.h"
#include "Duel.h"
#include "DuelLink.h"
#include "ForumPost.h"
#include "Odds.h"
#include "PageFields.h"
#include "Readings.h"
#include "Texts.h"

using saberline::web::Value;

// `count` 32-bit words from the browser's cryptographic random source,
// written at `words`: imported from the page's script (web/page.js).
extern "C" void FillCryptoWords(std::uint32_t* words, int count) EM_IMPORT(FillCryptoWords);


namespace {

using namespace saberline;

// The page's clock: each reading is 64 bits from the cryptographic random
// source. A browser coarsens its timers to tens of microseconds, so readings
// of a timer taken within one duel would repeat and every move would throw
// the same dice; these never do. The dice rule is the window's: the seed is
// the reading's low 32 bits, reseeded before every move and scheme digit.
//
// The readings are drawn 128 at a time: one call into the browser instead of
// one per reseed, which would cost more than the whole duel.
class CryptoClock final : public ClockSource {
public:
    std::uint64_t Read() override {
        if (next_ == kBatch) {
            FillCryptoWords(words_.data(), static_cast<int>(words_.size()));
            next_ = 0;
        }
        const std::uint64_t reading =
            (static_cast<std::uint64_t>(words_[2 * next_ + 1]) << 32) | words_[2 * next_];
        ++next_;
        return reading;
    }

private:
    static constexpr std::size_t kBatch = 128;
    std::array<std::uint32_t, 2 * kBatch> words_{};
    std::size_t next_ = kBatch;
};

// The page's one set of dice, as the window has one for the program: on the
// cryptographic clock, or on the chosen readings of ?clock=.
struct PageDice {
    CryptoClock crypto;
    std::optional<ListClock> chosen;
    ClockSource* source = &crypto;
    Dice dice{crypto};

    void Use(ClockSource& clock) {
        source = &clock;
        dice = Dice(clock);
    }
};

PageDice& ThePageDice() {
    static PageDice pageDice;
    return pageDice;
}

using web::ReadDuelRequest;
using web::Text;
using web::WriteDuelRequest;

Value ReadingsArray(const std::vector<std::uint64_t>& readings) {
    Value array = Value::array();
    for (const std::uint64_t reading : readings) array.push(std::to_string(reading));
    return array;
}

// The name of the control a refusal concerns, or null.
Value FieldOf(const char* field) { return field ? Value(std::string(field)) : Value::null(); }

// The duel button's three texts, the control a refusal concerns, and the
// link to the duel when one was fought (a refused request takes no reading
// and has no link).
Value DuelTexts(const DuelRequest& request, const DuelScreenTexts& shown,
              const std::vector<std::uint64_t>& readings) {
    Value result = web::WriteScreenTexts(shown);
    result.set("field", FieldOf(shown.refusedField));
    result.set("link", readings.empty() ? std::string() : WriteDuelLink(request, readings));
    result.set("readingCount", static_cast<unsigned>(readings.size()));
    return result;
}

template <typename Operation>
Value Guarded(Operation&& operation) {
    try {
        return operation();
    } catch (const std::exception& error) {
        Value result = Value::object();
        result.set("errorBox", ErrorBoxText(error.what()));
        return result;
    } catch (...) {
        Value result = Value::object();
        result.set("errorBox", ErrorBoxText(""));
        return result;
    }
}

// --- Bindings ---------------------------------------------------------------

// The title of the page's boxes, made from the page's file name as the
// window makes it from its program's (the page's other facts are written
// into it when it is made: web/PageFacts.cpp).
std::string PageApplicationTitle(const std::string& fileName) { return ApplicationTitle(fileName); }

// ?clock=LIST: the readings successive reseeds take, the last repeating;
// null for the cryptographic clock. A list that does not read leaves the
// cryptographic clock and gives the message.
Value SetClockList(const Value& list) {
    PageDice& page = ThePageDice();
    page.chosen.reset();
    page.Use(page.crypto);
    Value result = Value::object();
    result.set("message", std::string());
    if (list.isNull() || list.isUndefined()) return result;
    std::optional<std::vector<std::uint64_t>> readings = ParseClockList(list.text());
    if (!readings) {
        result.set("message", std::string(texts::kClockListBad));
        return result;
    }
    page.chosen.emplace(std::move(*readings));
    page.Use(*page.chosen);
    return result;
}

// GoBattleClick: the page's dice, every reading kept for the duel link.
Value PageRunDuel(Value fields) {
    return Guarded([&] {
        PageDice& page = ThePageDice();
        const DuelRequest request = ReadDuelRequest(fields);
        RecordingClock recorder(*page.source);
        page.dice.SetClock(recorder);
        DuelScreenTexts shown;
        try {
            shown = RunDuelRequest(request, page.dice);
        } catch (...) {
            page.dice.SetClock(*page.source);
            throw;
        }
        page.dice.SetClock(*page.source);
        return DuelTexts(request, shown, recorder.Readings());
    });
}

// A duel thrown with the given readings (decimal texts), the last repeating,
// on dice of its own: a replayed duel link, or readings the page worked out
// itself. { badReadings: true } when a reading is not an unsigned 64-bit
// decimal or there is none.
Value RunDuelWithReadings(Value fields, Value readingTexts) {
    return Guarded([&] {
        std::vector<std::uint64_t> readings;
        const auto count = static_cast<unsigned>(readingTexts.size());
        for (unsigned i = 0; i < count; ++i) {
            const Value item = readingTexts[static_cast<std::size_t>(i)];
            const std::optional<std::vector<std::uint64_t>> one =
                item.isString() ? ParseClockList(item.text()) : std::nullopt;
            if (!one || one->size() != 1) {
                Value result = Value::object();
                result.set("badReadings", true);
                return result;
            }
            readings.push_back(one->front());
        }
        if (readings.empty()) {
            Value result = Value::object();
            result.set("badReadings", true);
            return result;
        }
        const DuelRequest request = ReadDuelRequest(fields);
        ListClock list(readings);
        RecordingClock recorder(list);
        Dice dice(recorder);
        return DuelTexts(request, RunDuelRequest(request, dice), recorder.Readings());
    });
}

// A duel link (the address after '#'): the request's field texts and the
// readings, or { message } when it does not read: the field it names, when
// it is a field's text that no field can show.
Value ReadLink(std::string link) {
    return Guarded([&] {
        Value result = Value::object();
        DuelLinkRefusal refusal;
        const std::optional<DuelLink> read = ReadDuelLink(link, &refusal);
        if (!read) {
            std::string message = texts::kDuelLinkBad;
            if (refusal.field != nullptr) {
                message = refusal.problem == TextProblem::ControlCharacter ? texts::kDuelLinkFieldControl
                                                                           : texts::kDuelLinkFieldBad;
                message.replace(message.find("%s"), 2, refusal.field->name);
            }
            result.set("message", std::move(message));
            return result;
        }
        result.set("message", std::string());
        result.set("fields", WriteDuelRequest(read->request));
        result.set("readings", ReadingsArray(read->readings));
        return result;
    });
}

// GenShAttack1Click / GenShAtack2Click: 100 digits from the page's dice.
Value GenerateAttackScheme() {
    return Guarded([&] {
        Value result = Value::object();
        result.set("scheme", GenerateScheme(ThePageDice().dice));
        return result;
    });
}

// The exact odds of the duel screen as it stands.
Value DuelOddsOf(Value fields) {
    return Guarded([&] { return web::WriteDuelOdds(ComputeOdds(ReadDuelRequest(fields))); });
}

// CalcOfBattleCharsClick: the four texts and the ten check boxes; a refusal
// names the field it concerns.
Value Calculate(Value forum) {
    return Guarded([&] {
        ForumFields fields;
        for (const ForumTextField& field : kForumTextFields) fields.*(field.text) = Text(forum, field.name);
        for (const BlackMarkBox& box : kBlackMarkBoxes)
            if (forum[box.name].isTrue()) ++(box.duellist == 0 ? fields.marks1 : fields.marks2);
        const Calculation calculation = CalculateCombat(fields);
        Value result = Value::object();
        result.set("message", calculation.message);
        result.set("field", FieldOf(calculation.field));
        for (const CombatResult& combat : kCombatResults) result.set(combat.name, calculation.results.*combat.text);
        return result;
    });
}

// MoveCarsOfBattlePanelClick, before the question: the refusal, or none and
// what the transfer will have carried (the status line's notice).
Value CheckTransferOf(Value results) {
    return Guarded([&] {
        CombatTexts texts;
        for (const CombatResult& combat : kCombatResults) texts.*combat.text = Text(results, combat.name);
        Value result = Value::object();
        const std::string refusal = CheckTransfer(texts);
        result.set("message", refusal);
        result.set("notice", refusal.empty() ? TransferNotice(texts) : std::string());
        return result;
    });
}

// The result for a forum post, "plain" or "bbcode": the three texts as the
// duel screen shows them, the duel's link ('' for none), and the fair duel's
// parts { verificationLink, commitment, commitment1, commitment2 } or null
// when no fair duel's result is shown.
Value ForumPostOf(Value shown, std::string duelLink, Value fair, const std::string& format) {
    return Guarded([&] {
        const DuelScreenTexts texts = ReadScreenTexts(shown);
        FairPostParts parts;
        const bool fairShown = fair["verificationLink"].isString();
        if (fairShown) {
            parts.verificationLink = Text(fair, "verificationLink");
            parts.commitment = Text(fair, "commitment");
            parts.commitment1 = Text(fair, "commitment1");
            parts.commitment2 = Text(fair, "commitment2");
        }
        Value result = Value::object();
        result.set("post", WriteForumPost(texts, duelLink, fairShown ? &parts : nullptr,
                                          format == "bbcode" ? PostFormat::BBCode : PostFormat::Plain));
        return result;
    });
}

// The page's calls, by the names its script uses.
const web::Binding kPageBindings[] = {
    {"applicationTitle", web::Bind<&PageApplicationTitle>},
    {"setClockList", web::Bind<&SetClockList>},
    {"runDuel", web::Bind<&PageRunDuel>},
    {"runDuelWithReadings", web::Bind<&RunDuelWithReadings>},
    {"readDuelLink", web::Bind<&ReadLink>},
    {"generateScheme", web::Bind<&GenerateAttackScheme>},
    {"duelOdds", web::Bind<&DuelOddsOf>},
    {"calculate", web::Bind<&Calculate>},
    {"checkTransfer", web::Bind<&CheckTransferOf>},
    {"forumPost", web::Bind<&ForumPostOf>},
};

const web::Binding* FindBinding(std::string_view name) {
    for (const std::span<const web::Binding> bindings :
         {std::span<const web::Binding>(kPageBindings), web::kFairBindings})
        for (const web::Binding& binding : bindings)
            if (name == binding.name) return &binding;
    return nullptr;
}

}  // namespace

// The page's one entry into the core: the binding's name and its arguments
// as a JSON array, both UTF-8; returns the result as JSON in memory the
// caller frees, or {"$fault": why} for a call that is not one (a fault of
// the page's script, never of what a person typed).
extern "C" EMSCRIPTEN_KEEPALIVE char* saberline_call(const char* name, const char* arguments) {
    Value result;
    const web::Binding* binding = FindBinding(name);
    std::optional<Value> read = Value::Parse(arguments);
    if (!binding || !read || !read->isArray()) {
        result = Value::object();
        result.set("$fault", std::string(binding ? "arguments are not a JSON array: " : "no such call: ") + name);
    } else {
        result = binding->call(*read);
    }
    const std::string json = result.Json();
    char* out = static_cast<char*>(std::malloc(json.size() + 1));
    std::memcpy(out, json.c_str(), json.size() + 1);
    return out;
}
