#include <array>
#include <cmath>
#include <limits>

#include "interpreter/builtins/builtins.h"
#include "support/name_table.h"

namespace tovik {

namespace {

using BuiltinFn = Value (*)(Args, GraphicsContext &);

constexpr std::array<BuiltinFn, kBuiltinCount> kFunctions = {
#define TOVIK_BUILTIN_FN(name, least, kinds, effect) &builtin_##name,
    TOVIK_BUILTINS(TOVIK_BUILTIN_FN)
#undef TOVIK_BUILTIN_FN
};

constexpr std::array<std::string_view, kBuiltinCount> kNames = {
#define TOVIK_BUILTIN_NAME(name, least, kinds, effect) #name,
    TOVIK_BUILTINS(TOVIK_BUILTIN_NAME)
#undef TOVIK_BUILTIN_NAME
};

using enum ArgumentKind;

constexpr std::array<CallableFacts, kBuiltinCount> kFacts = {
#define TOVIK_BUILTIN_FACTS(name, least, kinds, effect)                      \
  CallableFacts{least, kAnyNumberOfArguments, TOVIK_ARGUMENT_KINDS kinds},
    TOVIK_BUILTINS(TOVIK_BUILTIN_FACTS)
#undef TOVIK_BUILTIN_FACTS
};

constexpr std::array<BuiltinEffect, kBuiltinCount> kEffects = {
#define TOVIK_BUILTIN_EFFECT(name, least, kinds, effect) BuiltinEffect::effect,
    TOVIK_BUILTINS(TOVIK_BUILTIN_EFFECT)
#undef TOVIK_BUILTIN_EFFECT
};

} // namespace

std::optional<BuiltinId> find_builtin(std::string_view name) {
  if (std::optional<size_t> i = position_of(kNames, name)) return static_cast<BuiltinId>(*i);
  return std::nullopt;
}

std::string_view builtin_name(BuiltinId id) {
  return kNames[static_cast<size_t>(id)];
}

const CallableFacts &builtin_facts(BuiltinId id) {
  return kFacts[static_cast<size_t>(id)];
}

BuiltinEffect builtin_effect(BuiltinId id) {
  return kEffects[static_cast<size_t>(id)];
}

bool is_acting_builtin(std::string_view name) {
  std::optional<BuiltinId> id = find_builtin(name);
  return id && builtin_effect(*id) == BuiltinEffect::Acts;
}

Value call_builtin_id(BuiltinId id, Args args, GraphicsContext &graphics) {
  return kFunctions[static_cast<size_t>(id)](args, graphics);
}

std::optional<Value> call_builtin(std::string_view name, Args args,
                                  GraphicsContext &graphics) {
  std::optional<BuiltinId> id = find_builtin(name);
  if (!id) return std::nullopt;
  return call_builtin_id(*id, args, graphics);
}

int64_t saturate_to_integer(double d) {
  if (std::isnan(d)) return 0;
  // 2^63 is exactly representable; anything at or above it saturates.
  if (d >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (d < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}

double to_real(const Value &v) {
  if (v.is(ValueKind::Float)) return v.as_float();
  if (v.is(ValueKind::Number)) return static_cast<double>(v.as_number());
  return 0.0;
}

} // namespace tovik
