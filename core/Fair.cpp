#include "Fair.h"

#include <algorithm>
#include <map>

#include "IntText.h"
#include "Items.h"

namespace saberline::fair {

namespace {

void AppendBigEndian32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFFu));
}

void AppendInt(std::string& out, std::int32_t value) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(value));
}

void AppendPiece(std::string& out, std::string_view piece) {
    AppendBigEndian32(out, static_cast<std::uint32_t>(piece.size()));
    out.append(piece);
}

char TypeDigit(DuelType type) { return static_cast<char>('0' + static_cast<int>(type)); }

bool HasColdMoves(DuelType type) { return type != DuelType::Pistols; }
bool HasPistolMoves(DuelType type) { return type != DuelType::ColdWeapons; }

// Firearm or cold-weapon points that a duel type never reads: validation
// still wants at least 1.
constexpr std::int32_t kUnreadPoints = 1;
// A scheme place that no move reads.
constexpr char kUnreadDigit = '1';

// The shortest text whose cyclic repetition to 100 digits gives `digits` at
// the cold moves of the duel type; places no move reads hold kUnreadDigit.
std::string SchemeText(DuelType type, const std::vector<std::int32_t>& digits) {
    if (digits.empty()) return {};
    std::array<char, kMaxMoves> read{};  // by move - 1; 0 where no move reads
    std::size_t next = 0;
    for (int n = 1; n <= kMaxMoves && next < digits.size(); ++n)
        if (WeaponOfMove(type, n) == Weapon::ColdWeapon)
            read[static_cast<std::size_t>(n - 1)] = static_cast<char>('0' + digits[next++]);
    for (std::size_t period = 1;; ++period) {  // a period of 100 always fits
        std::string text(period, '\0');
        bool fits = true;
        for (std::size_t at = 0; at < read.size() && fits; ++at) {
            if (read[at] == 0) continue;
            char& place = text[at % period];
            if (place == 0) place = read[at];
            fits = place == read[at];
        }
        if (!fits) continue;
        std::replace(text.begin(), text.end(), '\0', kUnreadDigit);
        return text;
    }
}

bool IsLowerHex64(std::string_view text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// The characters of a verification's values: hexadecimal and decimal digits,
// letters and '-'.
bool IsValueCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
}

// A piece of the verification as a refusal may show it: at most 40 bytes,
// anything but printable ASCII shown as '?'.
std::string Printable(std::string_view text) {
    std::string shown;
    for (const char c : text.substr(0, 40)) shown.push_back(c >= ' ' && c < 0x7F ? c : '?');
    return shown;
}

VerificationRefusal Refuse(VerificationProblem problem, std::string_view item = {}) {
    VerificationRefusal refusal;
    refusal.problem = problem;
    refusal.item = Printable(item);
    return refusal;
}

constexpr const char* kSecretKey = "secret";
constexpr const char* kTypeKey = "TypeBattle";

bool IsKnownKey(std::string_view key) {
    if (key == kRulesKey || key == kSecretKey || key == kTypeKey) return true;
    for (const char* name : kWordKeys)
        if (key == name) return true;
    for (const char* name : kSaltKeys)
        if (key == name) return true;
    return std::any_of(kDuelFields.begin(), kDuelFields.end(),
                       [&](const DuelField& f) { return key == f.name; });
}

// Whether `text` holds `part`, ASCII letters in either case.
bool HoldsIgnoringCase(std::string_view text, std::string_view part) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace

std::string_view VersionFamily() {
    const std::string_view version = kVersion;
    return version.substr(0, version.rfind('-') + 1);
}

std::string WordTag() { return std::string(kVersion) + "-word"; }
std::string RefereeTag() { return std::string(kVersion) + "-referee"; }

std::optional<std::array<std::uint8_t, 32>> Hex32(std::string_view hex) {
    std::array<std::uint8_t, 32> bytes{};
    if (hex.size() != bytes.size() * 2) return std::nullopt;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = items::HexValue(hex[2 * i]);
        const int low = items::HexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}

WordProblem CheckWord(std::string_view word) {
    if (word.empty()) return WordProblem::Empty;
    if (std::any_of(word.begin(), word.end(), [](char c) { return static_cast<unsigned char>(c) > 0x7F; }))
        return WordProblem::NotAscii;
    if (std::any_of(word.begin(), word.end(), [](char c) { return c < '0' || c > '9'; }))
        return WordProblem::NotDigit;
    if (word.size() > 1 && word.front() == '0') return WordProblem::LeadingZero;
    if (word.size() > kMaxWordDigits) return WordProblem::TooLong;
    return WordProblem::None;
}

std::string DrawnWord(std::span<const std::uint8_t, kWordBytes> bytes) {
    std::uint64_t value = 0;
    for (const std::uint8_t byte : bytes) value = (value << 8) | byte;
    return std::to_string(value);
}

std::variant<CanonicalDuel, std::string> Canonicalise(const DuelRequest& request) {
    const Validation prepared = PrepareDuel(request);
    if (!prepared.message.empty()) return prepared.message;
    CanonicalDuel duel;
    duel.type = request.type;
    for (std::size_t d = 0; d < 2; ++d) {
        const Duellist& record = prepared.duellists[d];
        CanonicalDuellist& read = duel.duellists[d];
        read.health = record.health;
        read.armour = record.armour;
        if (HasPistolMoves(duel.type)) read.firearm = record.firearm;
        if (!HasColdMoves(duel.type)) continue;
        read.cold = record.cold;
        read.parrying.assign(record.strong.begin(), record.strong.end());
        if (record.nobleCostume) read.parrying.push_back(record.fourth);
        std::sort(read.parrying.begin(), read.parrying.end());
        for (int n = 1; n <= kMaxMoves; ++n)
            if (WeaponOfMove(duel.type, n) == Weapon::ColdWeapon)
                read.scheme.push_back(AttackDigit(record.scheme, n));
    }
    return duel;
}

std::string DuelBytes(const CanonicalDuel& duel) {
    std::string bytes;
    AppendInt(bytes, static_cast<std::int32_t>(duel.type));
    for (const CanonicalDuellist& read : duel.duellists) {
        AppendInt(bytes, read.health);
        if (read.firearm) AppendInt(bytes, *read.firearm);
        if (read.cold) AppendInt(bytes, *read.cold);
        AppendInt(bytes, read.armour);
        if (!HasColdMoves(duel.type)) continue;
        AppendInt(bytes, static_cast<std::int32_t>(read.parrying.size()));
        for (const std::int32_t side : read.parrying) AppendInt(bytes, side);
        for (const std::int32_t digit : read.scheme) AppendInt(bytes, digit);
    }
    return bytes;
}

DuelRequest CanonicalRequest(const CanonicalDuel& duel) {
    DuelRequest request;
    request.type = duel.type;
    for (std::size_t d = 0; d < 2; ++d) {
        const CanonicalDuellist& read = duel.duellists[d];
        DuellistFields& fields = request.duellists[d];
        fields.health = IntToText(read.health);
        fields.firearm = IntToText(read.firearm.value_or(kUnreadPoints));
        fields.cold = IntToText(read.cold.value_or(kUnreadPoints));
        fields.armour = IntToText(read.armour);
        for (std::size_t s = 0; s < read.parrying.size() && s < fields.strong.size(); ++s)
            fields.strong[s] = IntToText(read.parrying[s]);
        fields.scheme = SchemeText(duel.type, read.scheme);
    }
    return request;
}

std::string MessagePrefix(const FairDuel& duel) {
    std::string message;
    AppendPiece(message, kVersion);
    AppendInt(message, kRulesVersion);
    message += DuelBytes(duel.duel);
    AppendPiece(message, duel.word1);
    AppendPiece(message, duel.word2);
    return message;
}

std::string ReseedMessage(std::string_view prefix, std::uint32_t reseed) {
    std::string message(prefix);
    AppendBigEndian32(message, reseed);
    return message;
}

std::uint64_t ReadingFromMac(std::span<const std::uint8_t, kDigestBytes> mac) {
    std::uint64_t reading = 0;
    for (std::size_t i = 0; i < 8; ++i) reading = (reading << 8) | mac[i];
    return reading;
}

DuelScreenTexts RunFairDuel(const CanonicalDuel& duel, const Readings& readings) {
    // A duel takes at most one reseed per move, so the list is never used up.
    ListClock clock(std::vector<std::uint64_t>(readings.begin(), readings.end()));
    Dice dice(clock);
    return RunDuelRequest(CanonicalRequest(duel), dice);
}

std::string WordCommitmentMessage(const Salt& salt, std::string_view word) {
    std::string message;
    AppendPiece(message, WordTag());
    message.append(salt.begin(), salt.end());
    AppendPiece(message, word);
    return message;
}

std::string RefereeCommitmentMessage(const Secret& secret, const CanonicalDuel& duel) {
    std::string message;
    AppendPiece(message, RefereeTag());
    AppendInt(message, kRulesVersion);
    message.append(secret.begin(), secret.end());
    message += DuelBytes(duel);
    return message;
}

std::string FormatVerification(const FairDuel& duel) {
    std::string text = kVersion;
    auto add = [&](std::string_view key, std::string_view value) { items::Append(text, key, value); };
    add(kRulesKey, IntToText(kRulesVersion));
    add(kSecretKey, ToHex(duel.secret));
    add(kWordKeys[0], duel.word1);
    add(kWordKeys[1], duel.word2);
    if (duel.salt1) add(kSaltKeys[0], ToHex(*duel.salt1));
    if (duel.salt2) add(kSaltKeys[1], ToHex(*duel.salt2));
    add(kTypeKey, std::string(1, TypeDigit(duel.duel.type)));
    DuelRequest request = CanonicalRequest(duel.duel);
    for (const DuelField& field : kDuelFields) add(field.name, FieldText(request, field));
    return text;
}

std::string LinkFragment(const FairDuel& duel) { return kLinkPrefix + FormatVerification(duel); }

std::variant<FairDuel, VerificationRefusal> ParseVerification(std::string_view text) {
    const std::string_view prefix = kLinkPrefix;
    if (text.substr(0, prefix.size()) == prefix) {
        text.remove_prefix(prefix.size());
    } else if (const std::size_t hash = text.find("#" + std::string(prefix));
               hash != std::string_view::npos) {
        // What stands before '#' is the page's address: never a text that
        // a reader could take for the verification.
        const std::string_view family = VersionFamily();
        if (HoldsIgnoringCase(text.substr(0, hash), family.substr(0, family.size() - 1)))
            return Refuse(VerificationProblem::AddressHoldsVerification);
        text.remove_prefix(hash + 1 + prefix.size());
    }
    const std::size_t firstAmpersand = std::min(text.find('&'), text.size());
    const std::string_view version = text.substr(0, firstAmpersand);
    if (version != kVersion) {
        if (version.substr(0, VersionFamily().size()) == VersionFamily())
            return Refuse(VerificationProblem::WrongVersion, version);
        return Refuse(VerificationProblem::NotAVerification);
    }
    // The rules' version before anything else: other rules may read other
    // items, and their duels end otherwise.
    const std::string_view rest = text.substr(std::min(firstAmpersand + 1, text.size()));
    const std::string rulesItem = std::string(kRulesKey) + "=";
    if (rest.substr(0, rulesItem.size()) == rulesItem) {
        const std::string_view rules = rest.substr(rulesItem.size(), rest.find('&') - rulesItem.size());
        if (rules != IntToText(kRulesVersion)) return Refuse(VerificationProblem::WrongRules, rules);
    }

    std::map<std::string, std::string, std::less<>> values;
    if (firstAmpersand < text.size()) {
        for (const auto& [key, value] : items::Split(text.substr(firstAmpersand + 1))) {
            if (!value) return Refuse(VerificationProblem::ItemWithoutEquals, key);
            if (!IsKnownKey(key)) return Refuse(VerificationProblem::UnknownItem, key);
            if (!std::all_of(value->begin(), value->end(), IsValueCharacter))
                return Refuse(VerificationProblem::BadCharacter, key);
            if (!values.emplace(key, *value).second) return Refuse(VerificationProblem::RepeatedItem, key);
        }
    }
    auto find = [&](std::string_view key) -> const std::string* {
        const auto found = values.find(key);
        return found == values.end() ? nullptr : &found->second;
    };

    const std::string* rules = find(kRulesKey);
    if (!rules) return Refuse(VerificationProblem::MissingItem, kRulesKey);
    if (*rules != IntToText(kRulesVersion)) return Refuse(VerificationProblem::WrongRules, *rules);

    FairDuel fair;
    const std::string* secret = find(kSecretKey);
    if (!secret) return Refuse(VerificationProblem::MissingItem, kSecretKey);
    if (!IsLowerHex64(*secret)) return Refuse(VerificationProblem::SecretBad, kSecretKey);
    fair.secret = *Hex32(*secret);

    for (std::size_t k = 0; k < 2; ++k) {
        const std::string* word = find(kWordKeys[k]);
        if (!word) return Refuse(VerificationProblem::MissingItem, kWordKeys[k]);
        if (const WordProblem problem = CheckWord(*word); problem != WordProblem::None) {
            VerificationRefusal refusal = Refuse(VerificationProblem::WordBad, kWordKeys[k]);
            refusal.word = problem;
            return refusal;
        }
        (k == 0 ? fair.word1 : fair.word2) = *word;
    }
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string* salt = find(kSaltKeys[k]);
        if (!salt) continue;
        if (!IsLowerHex64(*salt)) return Refuse(VerificationProblem::SaltBad, kSaltKeys[k]);
        (k == 0 ? fair.salt1 : fair.salt2) = *Hex32(*salt);
    }

    const std::string* type = find(kTypeKey);
    if (!type) return Refuse(VerificationProblem::MissingItem, kTypeKey);
    if (*type != "1" && *type != "2" && *type != "3") return Refuse(VerificationProblem::TypeBad, kTypeKey);
    DuelRequest request;
    request.type = static_cast<DuelType>((*type)[0] - '0');

    for (const DuelField& field : kDuelFields) {
        const std::string* value = find(field.name);
        if (!value) return Refuse(VerificationProblem::MissingItem, field.name);
        const TextProblem problem = CheckFieldText(*value, static_cast<std::size_t>(field.maxLength), true);
        if (problem != TextProblem::None) {
            VerificationRefusal refusal = Refuse(VerificationProblem::FieldBad, field.name);
            refusal.text = problem;
            return refusal;
        }
        FieldText(request, field) = *value;
    }

    auto canonical = Canonicalise(request);
    if (const auto* message = std::get_if<std::string>(&canonical)) {
        VerificationRefusal refusal = Refuse(VerificationProblem::RequestRefused);
        refusal.message = *message;
        return refusal;
    }
    fair.duel = std::get<CanonicalDuel>(canonical);
    DuelRequest written = CanonicalRequest(fair.duel);
    for (const DuelField& field : kDuelFields)
        if (FieldText(written, field) != FieldText(request, field))
            return Refuse(VerificationProblem::NotCanonical, field.name);
    if (FormatVerification(fair) != text) return Refuse(VerificationProblem::OutOfOrder);
    return fair;
}

std::vector<std::string> DifferingCommitments(const FairDuel& duel, const Commitments& computed,
                                              const std::optional<Digest>& referee,
                                              const std::optional<Digest>& player1,
                                              const std::optional<Digest>& player2) {
    std::vector<std::string> differs;
    if (referee && *referee != computed.referee) differs.emplace_back("commitment");
    auto player = [&](const char* name, const std::optional<Salt>& salt, const std::optional<Digest>& mine,
                      const std::optional<Digest>& theirs) {
        if (salt.has_value() != theirs.has_value() || (theirs && (!mine || *mine != *theirs)))
            differs.emplace_back(name);
    };
    player("commitment1", duel.salt1, computed.player1, player1);
    player("commitment2", duel.salt2, computed.player2, player2);
    return differs;
}

FairCheck CheckFairDuel(const FairDuel& duel, const Commitments& computed, const Readings& readings,
                        const Posted& posted) {
    FairCheck check;
    check.replayed = RunFairDuel(duel.duel, readings);
    check.differs =
        DifferingCommitments(duel, computed, posted.commitment, posted.commitment1, posted.commitment2);
    for (const DuelResult& result : kDuelResults)
        if (check.replayed.*result.text != posted.texts.*result.text) check.differs.emplace_back(result.name);
    return check;
}

}  // namespace saberline::fair
