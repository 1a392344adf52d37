// The page's calls into the core by name: each binding is a function of
// texts and values that returns a value; Bind<&F> reads its arguments from
// the call's JSON array in order.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <type_traits>
#include <utility>

#include "Value.h"

namespace saberline::web {

struct Binding {
    const char* name;
    Value (*call)(const Value& arguments);
};

template <typename T>
T Argument(const Value& value) {
    if constexpr (std::is_same_v<T, std::string>)
        return value.isString() ? value.text() : std::string();
    else
        return value;
}

template <typename Result, typename... Parameters, std::size_t... I>
Value Apply(Result (*function)(Parameters...), const Value& arguments, std::index_sequence<I...> /*order*/) {
    return Value(function(Argument<std::decay_t<Parameters>>(arguments[I])...));
}

template <auto function>
Value Bind(const Value& arguments) {
    return Apply(function, arguments, std::make_index_sequence<[]<typename R, typename... P>(R (*)(P...)) {
                     return sizeof...(P);
                 }(function)>());
}

// The fair duel's bindings (FairBindings.cpp), beside the page's own.
extern const std::span<const Binding> kFairBindings;

}  // namespace saberline::web
