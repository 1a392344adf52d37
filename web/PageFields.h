// The duel screen's fields as the page's script hands them over: an object
// { BP1: text, ..., ShAtack2: text, TypeBattle: 1 | 2 | 3 }, and the texts
// and odds worked out from them. Shared by the page's bindings, the fair duel's and
// the page's facts.
#pragma once

#include "Value.h"

#include <string>

#include "Duel.h"
#include "Odds.h"

namespace saberline::web {

// A field's text; a missing or non-text value reads as empty.
inline std::string Text(const Value& object, const char* key) {
    const Value value = object[key];
    return value.isString() ? value.text() : std::string();
}

inline DuelRequest ReadDuelRequest(const Value& fields) {
    DuelRequest request = DuelRequest::StartUp();
    for (const DuelField& field : kDuelFields) FieldText(request, field) = Text(fields, field.name);
    const int type = fields["TypeBattle"].isNumber() ? fields["TypeBattle"].integer() : 1;
    request.type = type == 2 ? DuelType::ColdWeapons : type == 3 ? DuelType::Mixed : DuelType::Pistols;
    return request;
}

inline Value WriteDuelRequest(const DuelRequest& request) {
    DuelRequest copy = request;
    Value fields = Value::object();
    for (const DuelField& field : kDuelFields) fields.set(field.name, FieldText(copy, field));
    fields.set("TypeBattle", static_cast<int>(request.type));
    return fields;
}

// The duel button's texts, under the names of the duel screen's outputs.
inline Value WriteScreenTexts(const DuelScreenTexts& shown) {
    Value texts = Value::object();
    for (const DuelResult& result : kDuelResults) texts.set(result.name, shown.*result.text);
    return texts;
}

// The same texts as the page shows or a thread posted them; a missing one
// reads as empty.
inline DuelScreenTexts ReadScreenTexts(const Value& shown) {
    DuelScreenTexts texts;
    for (const DuelResult& result : kDuelResults) texts.*result.text = Text(shown, result.name);
    return texts;
}

// The exact odds as the odds' figures show them: the five texts, the numbers
// behind them, how the duel stands by the end of each move (byMove, one
// [duellist 1, duellist 2, both fell, going] for each move), the one-line
// summary of those and the move it names (decidedBy, 0 for none), or the
// duel button's refusal.
inline Value WriteDuelOdds(const DuelOdds& odds) {
    Value result = Value::object();
    result.set("ErrorText", odds.ErrorText);
    if (!odds.ErrorText.empty()) return result;
    Value values = Value::object();
    for (const OddsFigure& figure : kOddsFigures) {
        result.set(figure.control, FigureText(figure, odds));
        values.set(figure.control, odds.*figure.value);
    }
    result.set("values", values);
    Value byMove = Value::array();
    for (const MoveOdds& move : odds.byMove) {
        Value entry = Value::array();
        for (const double chance : {move.duellist1, move.duellist2, move.bothFell, move.going}) entry.push(chance);
        byMove.push(entry);
    }
    result.set("byMove", byMove);
    result.set("summary", OddsSummary(odds));
    result.set("decidedBy", DecidedByMove(odds, kOddsSummaryCertainty));
    return result;
}

}  // namespace saberline::web
