// The duel screen's fields as the page's script hands them over: an object
// { BP1: text, ..., ShAtack2: text, TypeBattle: 1 | 2 | 3 }. Shared by the
// page's bindings and the fair duel's.
#pragma once

#include "Value.h"

#include <string>

#include "Duel.h"

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

}  // namespace saberline::web
