#include "Cli.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <variant>

#include "Calculator.h"
#include "Dice.h"
#include "Duel.h"
#include "DuelLink.h"
#include "Fair.h"
#include "FairCrypto.h"
#include "ForumPost.h"
#include "Odds.h"
#include "Version.h"
#include "Readings.h"
#include "Utf8.h"

namespace saberline::cli {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr const char* kProgram = "saberline-cli";

// Anything wrong with what the caller gave us: one line on standard error,
// exit status 2.
class BadInput : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure to read standard input: one line on standard error, exit
// status 3.
class ReadFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `text` with every character that could break a line or reach the terminal
// as a command written as a JSON escape: the controls U+0000 to U+001F and
// U+007F to U+009F, and each byte that is not UTF-8 (as \ufffd). With
// `quoted`, also '"' and '\\', and the whole between quotes.
std::string Escaped(std::string_view text, bool quoted) {
    std::string out;
    if (quoted) out += '"';
    auto escape = [&](unsigned code) {
        static constexpr char kShort[] = "btn?fr";  // \b \t \n and \f \r, as JSON writes them
        if (code >= 8 && code <= 13 && code != 11) {
            out.append({'\\', kShort[code - 8]});
            return;
        }
        static constexpr char kHex[] = "0123456789abcdef";
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xFu];
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == 0x7F) escape(byte);
            else if (quoted && (byte == '"' || byte == '\\')) out.append({'\\', static_cast<char>(byte)});
            else out += static_cast<char>(byte);
            ++i;
            continue;
        }
        // The length of one well-formed UTF-8 character here, or 0.
        std::size_t length = 0;
        for (std::size_t n = 2; n <= 4 && length == 0 && i + n <= text.size(); ++n)
            if (CountUtf8Characters(text.substr(i, n)) == std::optional<std::size_t>(1)) length = n;
        if (length == 0) {
            escape(0xFFFD);
            ++i;
        } else if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            escape(static_cast<unsigned char>(text[i + 1]));  // U+0080 to U+009F
            i += 2;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    if (quoted) out += '"';
    return out;
}

// A name as it may be quoted in a one-line complaint.
std::string Quoted(std::string_view name) { return Escaped(name, true); }

// The one line of a complaint on standard error: nothing in it from outside
// can break the line or reach the terminal as a command.
void Complain(std::ostream& err, std::string_view message) {
    err << kProgram << ": " << Escaped(message, false) << '\n';
}

// Reads at most one byte past the limit, a piece at a time, so that a small
// request costs no more than its size. A stream that fails (a closed
// standard input, a device error) is a read failure; a folder given as
// standard input is bad input.
std::string ReadInput(std::istream& in) {
    std::string data;
    char piece[4096];  // not cleared: only what is read from it is used
    const std::ios::iostate reported = in.exceptions();
    try {
        // A failing file reports why only by exception.
        in.exceptions(std::ios::badbit);
        while (data.size() <= kMaxInputBytes && in) {
            const std::size_t wanted = std::min(sizeof piece, kMaxInputBytes + 1 - data.size());
            in.read(piece, static_cast<std::streamsize>(wanted));
            data.append(piece, static_cast<std::size_t>(in.gcount()));
        }
    } catch (const std::ios_base::failure& failure) {
        in.exceptions(reported);
        if (failure.code() == std::errc::is_a_directory)
            throw BadInput("standard input is a folder, not a file");
        throw ReadFailure("standard input could not be read (" + failure.code().message() + ")");
    }
    in.exceptions(reported);
    if (in.bad()) throw ReadFailure("standard input could not be read");
    if (data.size() > kMaxInputBytes) throw BadInput("the input is larger than 1 MiB");
    return data;
}

// The request object: valid JSON, an object at the top, no key twice.
Json ReadRequestObject(std::istream& in) {
    const std::string text = ReadInput(in);
    std::optional<std::string> duplicate;
    std::set<std::string> keys;
    Json::parser_callback_t noteKeys = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::key && depth == 1 && !duplicate) {
            std::string key = parsed.get<std::string>();
            if (!keys.insert(key).second) duplicate = std::move(key);
        }
        return true;
    };
    auto notJson = [](std::size_t byte) {
        return BadInput("the input is not valid JSON (error at byte " + std::to_string(byte) + ")");
    };
    Json request;
    try {
        request = Json::parse(text, noteKeys);
    } catch (const Json::parse_error& error) {
        throw notJson(error.byte);
    } catch (const Json::out_of_range&) {
        // A number such as 1E400 that no double can hold.
        throw BadInput("the input holds a number too large to read");
    }
    // The library ends the text at a zero byte outside a string (inside one
    // it refuses it): after the value, only blanks may follow.
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos) throw notJson(zero + 1);
    if (!request.is_object()) throw BadInput("the input must be a JSON object");
    if (duplicate) throw BadInput("the key " + Quoted(*duplicate) + " appears more than once");
    return request;
}

// A field text: a JSON string of well-formed UTF-8, without zero characters,
// no longer than the screen lets the user type into the field.
std::string TakeFieldText(const std::string& key, const Json& value, int maxLength) {
    if (!value.is_string()) throw BadInput("the value of " + Quoted(key) + " must be a string");
    std::string text = value.get<std::string>();
    const std::string fault = FieldTextFault(text, static_cast<std::size_t>(maxLength));
    if (!fault.empty()) throw BadInput("the value of " + Quoted(key) + " " + fault);
    return text;
}

DuelType TakeDuelType(const Json& value) {
    // Only the integers 1, 2 and 3: no fractions, no booleans, no texts.
    if (value.is_number_unsigned()) {
        const auto type = value.get<std::uint64_t>();
        if (type >= 1 && type <= 3) return static_cast<DuelType>(type);
    }
    throw BadInput("the value of \"TypeBattle\" must be the number 1, 2 or 3");
}

DuelRequest ReadDuelRequest(std::istream& in) {
    const Json object = ReadRequestObject(in);
    DuelRequest request = DuelRequest::StartUp();
    for (const auto& item : object.items()) {
        const std::string& key = item.key();
        const Json& value = item.value();
        if (key == "TypeBattle") {
            request.type = TakeDuelType(value);
            continue;
        }
        const DuelField* const field = FindDuelField(key);
        if (!field) throw BadInput("unknown key " + Quoted(key));
        FieldText(request, *field) = TakeFieldText(key, value, field->maxLength);
    }
    return request;
}

ForumFields ReadForumFields(std::istream& in) {
    const Json object = ReadRequestObject(in);
    ForumFields fields = ForumFields::StartUp();
    for (const auto& item : object.items()) {
        const std::string& key = item.key();
        const Json& value = item.value();
        const auto* const text = std::find_if(kForumTextFields.begin(), kForumTextFields.end(),
                                       [&](const ForumTextField& f) { return key == f.name; });
        if (text != kForumTextFields.end()) {
            fields.*(text->text) = TakeFieldText(key, value, text->maxLength);
            continue;
        }
        const BlackMarkBox* box = FindBlackMarkBox(key);
        if (!box) throw BadInput("unknown key " + Quoted(key));
        if (!value.is_boolean()) throw BadInput("the value of " + Quoted(key) + " must be true or false");
        if (value.get<bool>()) ++(box->duellist == 0 ? fields.marks1 : fields.marks2);
    }
    return fields;
}

// The dice of one run: chosen readings with --clock, else the machine's
// clock. With `record`, every reading taken is kept, for the duel's link.
class RunDice {
public:
    explicit RunDice(const std::optional<std::string>& clockList, bool record = false) {
        if (clockList) {
            std::optional<std::vector<std::uint64_t>> readings = ParseClockList(*clockList);
            if (!readings)
                throw BadInput("--clock must be a comma-separated list of unsigned 64-bit integers");
            chosen_.emplace(std::move(*readings));
        } else if (record) {
            platform_.emplace();
        } else {
            return;
        }
        recorder_.emplace(chosen_ ? static_cast<ClockSource&>(*chosen_) : *platform_);
        dice_.emplace(*recorder_);
    }
    Dice& Get() { return dice_ ? *dice_ : ProcessDice(); }
    std::vector<std::uint64_t> Readings() const {
        return recorder_ ? recorder_->Readings() : std::vector<std::uint64_t>();
    }

private:
    std::optional<ListClock> chosen_;
    std::optional<PlatformClock> platform_;
    std::optional<RecordingClock> recorder_;
    std::optional<Dice> dice_;
};

std::string Dump(const OrderedJson& object) { return object.dump(-1, ' ', false); }

// The duel screen's outputs under their names, in the table's order.
void PutResults(OrderedJson& into, const DuelScreenTexts& shown) {
    for (const DuelResult& result : kDuelResults) into[result.name] = shown.*result.text;
}

// --address: the address a page of the referee is published at, for the
// duel's link. An http or https address without a fragment, as the page
// itself is built with.
std::string TakePageAddress(const std::string& address) {
    const std::size_t scheme = address.starts_with("https://") ? 8 : address.starts_with("http://") ? 7 : 0;
    if (scheme == 0 || address.size() == scheme || address.find_first_of("#\"<> \t\r\n\f\v") != std::string::npos)
        throw BadInput("--address must be an http:// or https:// address without \"#\" or blanks");
    return address;
}

// The result for a forum post in BBCode: the duel's link when the page's
// address is known, as the page's copy button writes it.
int RunDuelPostCommand(const std::optional<std::string>& clockList, const std::optional<std::string>& address,
                       std::istream& in, std::ostream& out) {
    const std::string page = address ? TakePageAddress(*address) : std::string();
    RunDice dice(clockList, true);
    const DuelRequest request = ReadDuelRequest(in);
    const DuelScreenTexts texts = RunDuelRequest(request, dice.Get());
    // A refused request takes no reading and has no link.
    const std::vector<std::uint64_t> readings = dice.Readings();
    const std::string link =
        page.empty() || readings.empty() ? std::string() : page + "#" + WriteDuelLink(request, readings);
    out << WriteForumPost(texts, link, nullptr, PostFormat::BBCode) << '\n';
    return kExitOk;
}

int RunDuelCommand(const std::optional<std::string>& clockList, bool json, std::istream& in,
                   std::ostream& out) {
    RunDice dice(clockList);
    const DuelRequest request = ReadDuelRequest(in);
    const DuelScreenTexts texts = RunDuelRequest(request, dice.Get());
    if (json) {
        OrderedJson result;
        PutResults(result, texts);
        out << Dump(result) << '\n';
    } else {
        for (const DuelResult& result : kDuelResults) out << result.name << ": " << texts.*result.text << '\n';
    }
    return kExitOk;
}

int RunSchemeCommand(const std::optional<std::string>& clockList, std::ostream& out) {
    RunDice dice(clockList);
    out << GenerateScheme(dice.Get()) << '\n';
    return kExitOk;
}

int RunCalcCommand(bool json, std::istream& in, std::ostream& out) {
    const ForumFields fields = ReadForumFields(in);
    const Calculation calculation = CalculateCombat(fields);
    // The results duellist by duellist, each in the order of kCombatResults.
    std::vector<std::pair<const char*, const std::string*>> results;
    for (int duellist = 0; duellist < 2; ++duellist)
        for (const CombatResult& result : kCombatResults)
            if (result.duellist == duellist) results.emplace_back(result.name, &(calculation.results.*result.text));
    if (json) {
        OrderedJson result;
        if (!calculation.message.empty())
            result["Message"] = calculation.message;
        else
            for (const auto& [name, text] : results) result[name] = *text;
        out << Dump(result) << '\n';
    } else if (!calculation.message.empty()) {
        out << "Message: " << calculation.message << '\n';
    } else {
        for (const auto& [name, text] : results) out << name << ": " << *text << '\n';
    }
    return kExitOk;
}

int RunOddsCommand(bool json, std::istream& in, std::ostream& out) {
    const DuelRequest request = ReadDuelRequest(in);
    const DuelOdds odds = ComputeOdds(request);
    const bool refused = !odds.ErrorText.empty();
    if (json) {
        OrderedJson result;
        result["ErrorText"] = odds.ErrorText;
        if (!refused) {
            for (const OddsFigure& figure : kOddsFigures) result[figure.key] = odds.*figure.value;
            // How the duel stands by the end of each move; move 100's entry
            // holds the figures above.
            OrderedJson byMove = OrderedJson::array();
            for (const MoveOdds& move : odds.byMove) {
                OrderedJson entry;
                entry["duellist1"] = move.duellist1;
                entry["duellist2"] = move.duellist2;
                entry["both_fell"] = move.bothFell;
                entry["going"] = move.going;
                byMove.push_back(std::move(entry));
            }
            result["by_move"] = std::move(byMove);
        }
        out << Dump(result) << '\n';
    } else if (refused) {
        out << "ErrorText: " << odds.ErrorText << '\n';
    } else {
        for (const OddsFigure& figure : kOddsFigures) out << figure.label << ": " << FigureText(figure, odds) << '\n';
    }
    return kExitOk;
}

// Fair duels (commit and reveal): fair commit, fair duel, fair verify.

OrderedJson RequestJson(const DuelRequest& request) {
    OrderedJson object;
    object["TypeBattle"] = static_cast<int>(request.type);
    DuelRequest copy = request;
    for (const DuelField& field : kDuelFields) object[field.name] = FieldText(copy, field);
    return object;
}

// The integers the rules read, as the readings' message holds them.
OrderedJson CanonicalJson(const fair::CanonicalDuel& duel) {
    OrderedJson object;
    object["TypeBattle"] = static_cast<int>(duel.type);
    for (std::size_t d = 0; d < 2; ++d) {
        const fair::CanonicalDuellist& read = duel.duellists[d];
        OrderedJson duellist;
        duellist["health"] = read.health;
        if (read.firearm) duellist["firearm"] = *read.firearm;
        if (read.cold) duellist["cold"] = *read.cold;
        duellist["armour"] = read.armour;
        if (read.cold) {
            duellist["parrying"] = read.parrying;
            duellist["scheme"] = read.scheme;
        }
        object["duellist" + std::to_string(d + 1)] = duellist;
    }
    return object;
}

std::string WordPhrase(fair::WordProblem problem) {
    switch (problem) {
        case fair::WordProblem::None: break;
        case fair::WordProblem::Empty: return "is empty";
        case fair::WordProblem::NotAscii:
            return "holds a character that is not ASCII (an invisible character, or a letter or digit of "
                   "another script); a word is a decimal number written with the digits 0-9";
        case fair::WordProblem::NotDigit:
            return "holds a character other than the digits 0-9 (a sign, a space, a letter); a word is a "
                   "decimal number";
        case fair::WordProblem::LeadingZero:
            return "begins with 0; a word is a decimal number without leading zeros";
        case fair::WordProblem::TooLong:
            return "is longer than " + std::to_string(fair::kMaxWordDigits) + " digits";
    }
    return {};
}

std::string VerificationReason(const fair::VerificationRefusal& refusal) {
    using Problem = fair::VerificationProblem;
    const std::string item = Quoted(refusal.item);
    switch (refusal.problem) {
        case Problem::NotAVerification: break;
        case Problem::WrongVersion:
            return "the verification is of format " + refusal.item + "; this program reads only " +
                   fair::kVersion;
        case Problem::WrongRules:
            return "the verification is of rules version " + refusal.item +
                   "; this program fights by rules version " + std::to_string(kRulesVersion) + " (format " +
                   fair::kVersion + "), and under other rules the same duel ends otherwise";
        case Problem::AddressHoldsVerification:
            return std::string(R"(the text before "#)") + fair::kLinkPrefix +
                   R"(" holds "saberline-fair": only the page's address may stand there)";
        case Problem::ItemWithoutEquals: return "the verification has an item without '=': " + item;
        case Problem::UnknownItem: return "the verification names an unknown item " + item;
        case Problem::RepeatedItem: return "the verification names " + item + " more than once";
        case Problem::BadCharacter:
            return "the value of " + item +
                   " in the verification holds a character other than letters, digits and '-'";
        case Problem::MissingItem: return "the verification lacks " + item;
        case Problem::SecretBad:
            return "the secret in the verification is not 64 lowercase hexadecimal digits";
        case Problem::SaltBad: return item + " in the verification is not 64 lowercase hexadecimal digits";
        case Problem::WordBad: return item + " in the verification " + WordPhrase(refusal.word);
        case Problem::TypeBad: return item + " in the verification must be 1, 2 or 3";
        case Problem::FieldBad: {
            const auto* field = std::find_if(kDuelFields.begin(), kDuelFields.end(),
                                             [&](const DuelField& f) { return refusal.item == f.name; });
            const auto length = static_cast<std::size_t>(field == kDuelFields.end() ? 0 : field->maxLength);
            return item + " in the verification " + TextProblemPhrase(refusal.text, length);
        }
        case Problem::RequestRefused:
            return "the rules refuse the request in the verification: " + refusal.message;
        case Problem::NotCanonical:
            return item + " in the verification is not in its canonical form, as the program writes it";
        case Problem::OutOfOrder: return "the items of the verification are not in their order";
    }
    return std::string("the verification does not start with ") + fair::kVersion;
}

// 32 bytes given as 64 hexadecimal digits, for an option or a posted key.
std::array<std::uint8_t, 32> TakeHex32(const std::string& what, const std::string& hex) {
    const auto bytes = fair::Hex32(hex);
    if (!bytes) throw BadInput(what + " must be 64 hexadecimal digits");
    return *bytes;
}

std::string TakeWord(const std::string& option, const std::string& word) {
    const fair::WordProblem problem = fair::CheckWord(word);
    if (problem != fair::WordProblem::None) throw BadInput(option + " " + WordPhrase(problem));
    return word;
}

// A fair duel's request: read as `duel` reads it; no page field can show a
// control character, so a fair duel refuses them.
DuelRequest ReadFairRequest(std::istream& in) {
    DuelRequest request = ReadDuelRequest(in);
    for (const DuelField& field : kDuelFields)
        if (HasControlCharacter(FieldText(request, field)))
            throw BadInput("the value of " + Quoted(field.name) + " contains a control character");
    return request;
}

// The duel a referee's commitment binds. A request the rules refuse has
// none: mending it means committing anew.
fair::CanonicalDuel CommittedDuel(const DuelRequest& request) {
    auto canonical = fair::Canonicalise(request);
    if (const auto* message = std::get_if<std::string>(&canonical))
        throw BadInput("the rules refuse the request: " + *message +
                       " (a commitment binds the request: mend it, then commit)");
    return std::get<fair::CanonicalDuel>(canonical);
}

struct FairCommitOptions {
    bool player = false;
    std::optional<std::string> word;
};

int RunFairCommitCommand(const FairCommitOptions& options, std::istream& in, std::ostream& out,
                         std::ostream& err) {
    OrderedJson result;
    if (options.player || options.word) {
        const std::string word = options.word ? TakeWord("--word", *options.word) : fair::NewWord();
        const fair::Salt salt = fair::NewSalt();
        result["word"] = word;
        result["salt"] = fair::ToHex(salt);
        result["commitment"] = fair::ToHex(fair::PlayerCommitment(salt, word));
        if (options.word)
            err << kProgram << ": warning: a chosen word can be guessed, and whoever guesses it can "
                << "choose the ending; `fair commit --player` draws one\n";
    } else {
        const fair::CanonicalDuel duel = CommittedDuel(ReadFairRequest(in));
        const fair::Secret secret = fair::NewSecret();
        result["secret"] = fair::ToHex(secret);
        result["commitment"] = fair::ToHex(fair::RefereeCommitment(secret, duel));
    }
    out << Dump(result) << '\n';
    return kExitOk;
}

// Step 2 of the order of posts: the secret the referee revealed, checked
// against the commitment posted before and the thread's request.
int RunFairCheckSecretCommand(const std::string& secretHex, const std::string& commitmentHex, std::istream& in,
                              std::ostream& out) {
    const fair::Secret secret = TakeHex32("--secret", secretHex);
    const fair::Digest posted = TakeHex32("--commitment", commitmentHex);
    const fair::CanonicalDuel duel = CommittedDuel(ReadFairRequest(in));
    const fair::Digest computed = fair::RefereeCommitment(secret, duel);
    OrderedJson result;
    result["verified"] = computed == posted;
    result["differs"] = computed == posted ? OrderedJson::array() : OrderedJson::array({"commitment"});
    result["commitment"] = fair::ToHex(computed);
    result["request"] = RequestJson(fair::CanonicalRequest(duel));
    out << Dump(result) << '\n';
    return computed == posted ? kExitOk : kExitNotVerified;
}

struct FairDuelOptions {
    std::string secret;
    std::string word1;
    std::string word2;
    std::optional<std::string> salt1;
    std::optional<std::string> salt2;
    std::optional<std::string> commitment;
    std::array<std::optional<std::string>, 2> playerCommitments;
};

void PutCommitments(OrderedJson& result, const fair::Commitments& commitments) {
    result["commitment"] = fair::ToHex(commitments.referee);
    if (commitments.player1) result["commitment1"] = fair::ToHex(*commitments.player1);
    if (commitments.player2) result["commitment2"] = fair::ToHex(*commitments.player2);
}

// Step 4 of the order of posts, for anyone who holds what was posted. With
// the posted commitments it fights only a duel that opens them.
int RunFairDuelCommand(const FairDuelOptions& options, std::istream& in, std::ostream& out) {
    fair::FairDuel fair;
    fair.secret = TakeHex32("--secret", options.secret);
    fair.word1 = TakeWord("--word1", options.word1);
    fair.word2 = TakeWord("--word2", options.word2);
    if (options.salt1) fair.salt1 = TakeHex32("--salt1", *options.salt1);
    if (options.salt2) fair.salt2 = TakeHex32("--salt2", *options.salt2);
    std::optional<fair::Digest> commitment;
    if (options.commitment) commitment = TakeHex32("--commitment", *options.commitment);
    // A salt comes with its player's posted commitment, and only then: one
    // duel, one verification.
    std::array<std::optional<fair::Digest>, 2> playerCommitments;
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string salt = "--salt" + std::to_string(k + 1);
        const std::string posted = "--commitment" + std::to_string(k + 1);
        const bool hasSalt = (k == 0 ? options.salt1 : options.salt2).has_value();
        if (hasSalt && !options.playerCommitments[k])
            throw BadInput(std::string(salt).append(" needs ").append(posted).append(
                ", the commitment that player posted: a verification carries a salt exactly when that player's "
                "commitment is in play"));
        if (!hasSalt && options.playerCommitments[k])
            throw BadInput(std::string(posted).append(" needs ").append(salt).append(", which opens it with the word"));
        if (options.playerCommitments[k]) playerCommitments[k] = TakeHex32(posted, *options.playerCommitments[k]);
    }
    const DuelRequest request = ReadFairRequest(in);

    OrderedJson result;
    auto canonical = fair::Canonicalise(request);
    if (const auto* refusal = std::get_if<std::string>(&canonical)) {
        // The duel button's refusal: no readings, no verification.
        DuelScreenTexts refused;
        refused.ErrorText = *refusal;
        PutResults(result, refused);
        out << Dump(result) << '\n';
        return kExitOk;
    }
    fair.duel = std::get<fair::CanonicalDuel>(canonical);
    const fair::Commitments commitments = fair::NativeCommitments(fair);
    const std::vector<std::string> differs =
        fair::DifferingCommitments(fair, commitments, commitment, playerCommitments[0], playerCommitments[1]);
    if (!differs.empty()) {
        result["differs"] = differs;
        PutCommitments(result, commitments);
        out << Dump(result) << '\n';
        return kExitNotVerified;
    }
    const DuelScreenTexts texts = fair::RunFairDuel(fair.duel, fair::NativeReadings(fair));
    PutResults(result, texts);
    PutCommitments(result, commitments);
    result["verification"] = fair::FormatVerification(fair);
    out << Dump(result) << '\n';
    return kExitOk;
}

int RunFairVerifyCommand(std::istream& in, std::ostream& out) {
    const Json object = ReadRequestObject(in);
    static constexpr std::array<const char*, 4> kKeys{"verification", "commitment", "commitment1", "commitment2"};
    for (const auto& item : object.items())
        if (std::find(kKeys.begin(), kKeys.end(), item.key()) == kKeys.end() && !FindDuelResult(item.key()))
            throw BadInput("unknown key " + Quoted(item.key()));
    auto optionalText = [&](const char* key) -> std::optional<std::string> {
        const auto found = object.find(key);
        if (found == object.end()) return std::nullopt;
        if (!found->is_string()) throw BadInput("the value of " + Quoted(key) + " must be a string");
        return found->get<std::string>();
    };
    auto text = [&](const char* key) {
        std::optional<std::string> value = optionalText(key);
        if (!value) throw BadInput(std::string("the input lacks ") + Quoted(key));
        return std::move(*value);
    };
    auto digest = [&](const char* key) { return TakeHex32("the value of " + Quoted(key), text(key)); };
    auto optionalDigest = [&](const char* key) -> std::optional<fair::Digest> {
        if (!optionalText(key)) return std::nullopt;
        return digest(key);
    };
    const std::string verification = text("verification");
    fair::Posted posted;
    posted.commitment = digest("commitment");
    posted.commitment1 = optionalDigest("commitment1");
    posted.commitment2 = optionalDigest("commitment2");
    for (const DuelResult& result : kDuelResults) posted.texts.*result.text = text(result.name);

    auto parsed = fair::ParseVerification(verification);
    if (const auto* refusal = std::get_if<fair::VerificationRefusal>(&parsed))
        throw BadInput(VerificationReason(*refusal));
    const fair::FairDuel& fair = std::get<fair::FairDuel>(parsed);
    const fair::Commitments commitments = fair::NativeCommitments(fair);
    const fair::Readings readings = fair::NativeReadings(fair);
    const fair::FairCheck check = fair::CheckFairDuel(fair, commitments, readings, posted);

    OrderedJson result;
    result["verified"] = check.Verified();
    result["differs"] = check.differs;
    result["commitment"] = fair::ToHex(commitments.referee);
    if (commitments.player1) result["commitment1"] = fair::ToHex(*commitments.player1);
    if (commitments.player2) result["commitment2"] = fair::ToHex(*commitments.player2);
    result["word1"] = fair.word1;
    result["word2"] = fair.word2;
    result["request"] = RequestJson(fair::CanonicalRequest(fair.duel));
    result["duel"] = CanonicalJson(fair.duel);
    OrderedJson replayed;
    PutResults(replayed, check.replayed);
    result["replayed"] = replayed;
    // Each reseed's reading as 16 hexadecimal digits, for checkers with
    // their own tools (a duel uses as many as it has moves).
    OrderedJson hexReadings = OrderedJson::array();
    for (const std::uint64_t reading : readings) {
        std::array<std::uint8_t, 8> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(reading >> (56 - 8 * i));
        hexReadings.push_back(fair::ToHex(bytes));
    }
    result["readings"] = hexReadings;
    out << Dump(result) << '\n';
    return check.Verified() ? kExitOk : kExitNotVerified;
}

// The complaint about a command line the parser refused: the arguments it
// did not expect, each quoted; otherwise the parser's own words.
std::string ParseComplaint(const CLI::App& app, const CLI::ParseError& error) {
    if (dynamic_cast<const CLI::ExtrasError*>(&error) == nullptr) return error.what();
    const std::vector<std::string> extras = app.remaining(true);
    if (extras.empty()) return error.what();
    std::string complaint = extras.size() == 1 ? "unexpected argument " : "unexpected arguments ";
    for (std::size_t i = 0; i < extras.size(); ++i) complaint += (i == 0 ? "" : ", ") + Quoted(extras[i]);
    return complaint;
}

// Runs a command: bad input becomes one line on standard error and status
// 2, a failure of the program itself status 3.
template <typename Run>
int Guarded(std::ostream& err, Run&& run) {
    try {
        return run();
    } catch (const BadInput& error) {
        Complain(err, error.what());
        return kExitBadInput;
    } catch (const ReadFailure& error) {
        Complain(err, error.what());
        return kExitFailure;
    } catch (const std::exception& error) {
        Complain(err, std::string("internal error: ") + error.what());
        return kExitFailure;
    }
}

// The one home of the plain commands' command line: their names, help
// texts and which of the two options each takes. The parser (RunCli) is
// built from it and ReadPlainCommandLine reads the same command lines from
// it without the parser, so a command or option named here is named for
// both.
constexpr std::string_view kClockOption = "--clock";
constexpr std::string_view kJsonOption = "--json";
constexpr std::string_view kFairCommand = "fair";
constexpr const char* kClockHelp = "Comma-separated clock readings for the dice; the last one repeats";

struct PlainCommand {
    std::string_view name;
    Command command;
    const char* help;
    const char* clockHelp;  // --clock's help text; nullptr: the command takes no --clock
    const char* jsonHelp;   // --json's help text; nullptr: the command takes no --json
};

constexpr std::array<PlainCommand, 4> kPlainCommands{{
    {"duel", Command::Duel,
     "Fight one duel request read from standard input as a JSON object of the duel screen's fields",
     kClockHelp, "Print {@OUTPUTS@} as JSON"},
    {"scheme", Command::Scheme, "Print a random attack scheme of 100 digits", kClockHelp, nullptr},
    {"calc", Command::Calc,
     "Turn forum parameters read from standard input as a JSON object into combat values", nullptr,
     R"(Print the six results, or {"Message"}, as JSON)"},
    {"odds", Command::Odds,
     "Exact chances of each duel ending under fair dice, for a duel request read like `duel` reads it",
     nullptr, "Print the chances as JSON"},
}};

// A help text with @OUTPUTS@ standing for the duel screen's outputs as JSON
// keys: "InfoBM1", "InfoBM2", "ErrorText".
std::string WithOutputs(std::string help) {
    std::string keys;
    for (const DuelResult& result : kDuelResults) keys.append(keys.empty() ? "\"" : ", \"").append(result.name) += '"';
    if (const auto at = help.find("@OUTPUTS@"); at != std::string::npos) help.replace(at, 9, keys);
    return help;
}

// Runs a plain command once its command line has been read.
int RunPlainCommand(Command command, const CommandOptions& options, std::istream& in, std::ostream& out) {
    switch (command) {
        case Command::Duel: return RunDuelCommand(options.clock, options.json, in, out);
        case Command::Scheme: return RunSchemeCommand(options.clock, out);
        case Command::Calc: return RunCalcCommand(options.json, in, out);
        case Command::Odds: return RunOddsCommand(options.json, in, out);
    }
    return kExitBadInput;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    CLI::App app{"Saberline 2.0: the duel referee and the characteristics calculator without a window.",
                 kProgram};
    app.require_subcommand(1);
    app.set_version_flag("--version", VersionText(kProgram), "Print the name, version and licence, and exit");
    app.footer(
        "Each command answers --help. Exit status: 0 when the command ran (a request\n"
        "the referee refuses included), 1 when a fair command finds that what was\n"
        "posted does not verify, 2 for bad input or a usage error (one line on\n"
        "standard error, nothing on standard output), 3 when the program itself\n"
        "fails.");

    std::array<CommandOptions, kPlainCommands.size()> plainOptions;
    std::array<CLI::App*, kPlainCommands.size()> plainApps{};
    std::array<CLI::Option*, kPlainCommands.size()> jsonFlags{};
    for (std::size_t i = 0; i < kPlainCommands.size(); ++i) {
        const PlainCommand& plain = kPlainCommands[i];
        plainApps[i] = app.add_subcommand(std::string(plain.name), plain.help);
        if (plain.clockHelp)
            plainApps[i]->add_option(std::string(kClockOption), plainOptions[i].clock, plain.clockHelp);
        if (plain.jsonHelp)
            jsonFlags[i] =
                plainApps[i]->add_flag(std::string(kJsonOption), plainOptions[i].json, WithOutputs(plain.jsonHelp));
    }
    // The duel's forum post, which the plain command line leaves to the parser.
    static_assert(kPlainCommands[0].command == Command::Duel && kPlainCommands[0].jsonHelp != nullptr);
    CLI::App* duel = plainApps[0];
    const CommandOptions& duelOptions = plainOptions[0];
    bool duelBBCode = false;
    std::optional<std::string> duelAddress;
    duel->add_flag("--bbcode", duelBBCode,
                   "Print the result as a forum post in BBCode: each log in [code] under its caption in bold, "
                   "the message, and with --address the duel's link in [url]")
        ->excludes(jsonFlags[0]);
    duel->add_option("--address", duelAddress,
                     "With --bbcode: the address the referee's page is published at (http:// or https://), "
                     "for the duel's link that replays the duel there");

    CLI::App* fair = app.add_subcommand(
        std::string(kFairCommand),
        "Duels anyone can verify: commit to a secret and the request, commit to drawn words, reveal, fight, check");
    fair->require_subcommand(1);
    FairCommitOptions commitOptions;
    CLI::App* fairCommit = fair->add_subcommand(
        "commit",
        R"(The referee's new secret and its commitment to the request read like `duel` reads it, {"secret", "commitment"}; with --player, a player's drawn word and its commitment, {"word", "salt", "commitment"})");
    fairCommit->add_flag("--player", commitOptions.player,
                         "A player's commitment: a word drawn from 64 random bits, a fresh salt and their hash");
    fairCommit->add_option(
        "--word", commitOptions.word,
        "A player's commitment to a word of their own choosing (a decimal number) instead of a drawn one; "
        "a chosen word can be guessed");
    std::string checkSecret;
    std::string checkCommitment;
    CLI::App* fairCheckSecret = fair->add_subcommand(
        "check-secret",
        R"(Check the secret the referee revealed against the commitment posted before and the request read like `duel` reads it: {"verified", "differs", "commitment", "request"}; exit 1 if it does not open the commitment)");
    fairCheckSecret->add_option("--secret", checkSecret, "The secret the referee revealed, 64 hexadecimal digits")
        ->required();
    fairCheckSecret->add_option("--commitment", checkCommitment, "The referee's commitment as posted")->required();
    FairDuelOptions fairOptions;
    CLI::App* fairDuel = fair->add_subcommand(
        "duel",
        "Fight a duel request read like `duel` reads it, with the dice drawn from the secret and the words; "
        "anyone holding what was posted can");
    fairDuel->add_option("--secret", fairOptions.secret, "The secret of `fair commit`, 64 hexadecimal digits")
        ->required();
    fairDuel
        ->add_option(
            "--word1", fairOptions.word1,
            "Duellist 1's player's word: a decimal number without sign or leading zeros, at most 20 digits")
        ->required();
    fairDuel->add_option("--word2", fairOptions.word2, "Duellist 2's player's word, likewise")->required();
    fairDuel->add_option(
        "--salt1", fairOptions.salt1,
        "The salt of duellist 1's player's commitment (`fair commit --player`), 64 hexadecimal digits; "
        "needs --commitment1");
    fairDuel->add_option("--salt2", fairOptions.salt2,
                         "The salt of duellist 2's player's commitment, likewise; needs --commitment2");
    fairDuel->add_option("--commitment", fairOptions.commitment,
                         "The referee's commitment as posted: fight only if the secret and request open it");
    fairDuel->add_option("--commitment1", fairOptions.playerCommitments[0],
                         "Duellist 1's player's commitment as posted: fight only if word and salt open it");
    fairDuel->add_option("--commitment2", fairOptions.playerCommitments[1],
                         "Duellist 2's player's commitment as posted, likewise");
    CLI::App* fairVerify = fair->add_subcommand(
        "verify",
        WithOutputs(R"(Check {"verification", "commitment", @OUTPUTS@} as posted, with "commitment1", "commitment2" exactly when the players posted theirs; exit 1 if they disagree)"));

    // A first word that is no option and no command: say so plainly rather
    // than that a command is missing.
    if (!args.empty() && !args.front().empty() && args.front().front() != '-') {
        const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
        if (std::none_of(commands.begin(), commands.end(),
                         [&](const CLI::App* command) { return command->check_name(args.front()); })) {
            Complain(err, "unknown command " + Quoted(args.front()) + " (try " + kProgram + " --help)");
            return kExitBadInput;
        }
    }

    if (args.size() >= 2 && fair->check_name(args[0]) && !args[1].empty() && args[1].front() != '-') {
        const auto commands = fair->get_subcommands([](const CLI::App*) { return true; });
        if (std::none_of(commands.begin(), commands.end(),
                         [&](const CLI::App* command) { return command->check_name(args[1]); })) {
            Complain(err, "unknown command " + Quoted(args[0] + " " + args[1]) + " (try " + kProgram + " fair --help)");
            return kExitBadInput;
        }
    }

    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error, out, err);
        Complain(err, ParseComplaint(app, error) + " (try " + kProgram + " --help)");
        return kExitBadInput;
    }

    return Guarded(err, [&] {
        if (duel->parsed() && duelBBCode) return RunDuelPostCommand(duelOptions.clock, duelAddress, in, out);
        if (duel->parsed() && duelAddress) throw BadInput("--address goes with --bbcode");
        for (std::size_t i = 0; i < kPlainCommands.size(); ++i)
            if (plainApps[i]->parsed())
                return RunPlainCommand(kPlainCommands[i].command, plainOptions[i], in, out);
        if (fairCommit->parsed()) return RunFairCommitCommand(commitOptions, in, out, err);
        if (fairCheckSecret->parsed()) return RunFairCheckSecretCommand(checkSecret, checkCommitment, in, out);
        if (fairDuel->parsed()) return RunFairDuelCommand(fairOptions, in, out);
        if (fairVerify->parsed()) return RunFairVerifyCommand(in, out);
        return kExitBadInput;  // not reached: one subcommand is required
    });
}

int RunCommand(Command command, const CommandOptions& options, std::istream& in, std::ostream& out,
               std::ostream& err) {
    return Guarded(err, [&] { return RunPlainCommand(command, options, in, out); });
}

std::optional<PlainCommandLine> ReadPlainCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) return std::nullopt;
    const auto* plain = std::find_if(kPlainCommands.begin(), kPlainCommands.end(),
                                     [&](const PlainCommand& p) { return args.front() == p.name; });
    if (plain == kPlainCommands.end()) return std::nullopt;
    // A word the parser would take for a command rather than a value.
    auto isCommand = [](const std::string& word) {
        return word == kFairCommand || std::any_of(kPlainCommands.begin(), kPlainCommands.end(),
                                                   [&](const PlainCommand& p) { return word == p.name; });
    };
    PlainCommandLine line{plain->command, {}};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == kJsonOption && plain->jsonHelp && !line.options.json) {
            line.options.json = true;
            continue;
        }
        std::optional<std::string> list;
        if (arg == kClockOption && i + 1 < args.size()) list = args[++i];
        else if (arg.size() > kClockOption.size() && arg.compare(0, kClockOption.size(), kClockOption) == 0 &&
                 arg[kClockOption.size()] == '=')
            list = arg.substr(kClockOption.size() + 1);
        if (!list || !plain->clockHelp || line.options.clock || list->empty() || list->front() == '-' ||
            isCommand(*list))
            return std::nullopt;
        line.options.clock = std::move(list);
    }
    return line;
}

}  // namespace saberline::cli
