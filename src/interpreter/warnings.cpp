// The warning sink: sources, the once-per-place rule, the output and the
// summary. The events' messages are made in warning_messages.cpp.
#include "interpreter/warnings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "interpreter/builtins/builtins.h"
#include "interpreter/evaluation_mode.h"
#include "interpreter/exec_tree.h"
#include "interpreter/function.h"
#include "interpreter/warning_sink.h"

namespace tovik {

bool warnings_enabled = false;
bool reference_mode = false;

namespace {

// A source is known by a 64-bit identity, which no session can use up (one
// per interactive input included), and named by an index into the few
// distinct names: a file's path, or "<stdin>" for every input of the loop,
// so the names do not grow with the inputs. A named source's identity is
// its name's index; a fresh source's counts up from 2^32, past every index.
constexpr uint64_t kNoSource = UINT64_MAX;
constexpr uint64_t kFirstFreshSource = uint64_t{1} << 32;

struct Source {
  uint64_t id = kNoSource;
  uint32_t name = 0;
};

// (source, line, column, kind): a place warned of, in full.
struct PlaceKey {
  uint64_t source = 0;
  uint32_t line = 0;
  uint32_t column = 0;
  WarningKind kind{};
  bool operator==(const PlaceKey &) const = default;
};

struct PlaceKeyHash {
  size_t operator()(const PlaceKey &k) const {
    uint64_t h = k.source * 0x9E3779B97F4A7C15u;
    h ^= (static_cast<uint64_t>(k.line) << 32 | k.column) + 0x632BE59BD9B4E019u +
         (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(k.kind) + (h << 6) + (h >> 2);
    return static_cast<size_t>(h);
  }
};

using PlaceCounts = std::unordered_map<PlaceKey, uint64_t, PlaceKeyHash>;

PlaceKey place_key(const Source &source, Place place, WarningKind kind) {
  return {source.id, place.line, place.column, kind};
}

struct SinkState {
  std::vector<std::string> names;
  std::unordered_map<std::string, uint32_t> name_index;
  uint64_t next_fresh = kFirstFreshSource;
  Source current;
  // The sources the open scopes replaced, innermost last.
  std::vector<Source> outer;
  // Function payload -> the source its definition was compiled from. An
  // address freed and reused belongs to a new definition, which notes it
  // again when it is compiled.
  std::unordered_map<const void *, Source> function_sources;
  // Each place -> times seen after the first.
  PlaceCounts seen;
  // Each place warned of before the run: the run's own warnings there would
  // say the same again.
  std::unordered_set<PlaceKey, PlaceKeyHash> static_places;
  // While a hold is on: its own once-per-place table and the lines it keeps.
  bool holding = false;
  PlaceCounts held_seen;
  std::vector<std::pair<PlaceKey, std::string>> held;
  PlaceKey last_key;
  // The calls in progress under warnings, innermost last.
  std::vector<std::pair<const FunctionObject *, size_t>> calls;
  uint64_t events = 0;
  uint64_t repeats = 0;
  uint64_t repeated_places = 0;
  bool decided_flush = false;
  bool flush_first = false;
};

SinkState &state() {
  static SinkState s;
  return s;
}

Source source_named(std::string_view name, bool fresh) {
  SinkState &s = state();
  auto [it, added] = s.name_index.try_emplace(
      std::string(name), static_cast<uint32_t>(s.names.size()));
  if (added) s.names.emplace_back(name);
  uint32_t index = it->second;
  return {fresh ? s.next_fresh++ : index, index};
}

void enter_source(Source source) {
  SinkState &s = state();
  s.outer.push_back(s.current);
  s.current = source;
}

void leave_source(size_t depth) {
  SinkState &s = state();
  s.current = s.outer[depth];
  s.outer.resize(depth);
}

// Buffered standard output is written out before a warning when the two
// can meet: on a terminal, or when both streams go to one file or pipe
// (`2>&1`). The text then reads in the order it was produced.
bool stdout_meets_stderr() {
  if (isatty(STDOUT_FILENO)) return true;
  struct stat out, err;
  if (fstat(STDOUT_FILENO, &out) != 0 || fstat(STDERR_FILENO, &err) != 0)
    return false;
  return out.st_dev == err.st_dev && out.st_ino == err.st_ino;
}

void write_stderr(const std::string &line) {
  SinkState &s = state();
  if (!s.decided_flush) {
    s.flush_first = stdout_meets_stderr();
    s.decided_flush = true;
  }
  if (s.flush_first) flush_output();
  std::fwrite(line.data(), 1, line.size(), stderr);
}

} // namespace

WarningSource::WarningSource(std::string_view name, bool fresh)
    : outer_(state().outer.size()), outer_holding_(state().holding) {
  enter_source(source_named(name, fresh));
  state().holding = false;
}

WarningSource::~WarningSource() {
  leave_source(outer_);
  state().holding = outer_holding_;
}

void note_function_source(const Value &function) {
  SinkState &s = state();
  if (function.is(ValueKind::Function))
    s.function_sources[&function.as_function()] = s.current;
}

FunctionSourceScope::FunctionSourceScope(const FunctionObject &function, size_t given)
    : outer_(state().outer.size()) {
  SinkState &s = state();
  auto it = s.function_sources.find(&function);
  enter_source(it != s.function_sources.end() ? it->second : s.current);
  s.calls.emplace_back(&function, given);
}

FunctionSourceScope::~FunctionSourceScope() {
  SinkState &s = state();
  leave_source(outer_);
  s.calls.pop_back();
}

bool is_missing_parameter(Symbol symbol) {
  SinkState &s = state();
  if (s.calls.empty()) return false;
  auto [function, given] = s.calls.back();
  for (size_t i = given; i < function->param_symbols.size(); ++i)
    if (function->param_symbols[i] == symbol) return true;
  return false;
}

uint64_t warning_events() { return state().events; }

void count_explained_event() { ++state().events; }

bool first_time(WarningKind kind, Place place) {
  SinkState &s = state();
  ++s.events;
  // The general evaluators run without warnings in reference mode.
  if (!warnings_enabled) return false;
  if (!s.static_places.empty() &&
      s.static_places.count(place_key(s.current, place, WarningKind::Static)))
    return false;
  PlaceKey key = place_key(s.current, place, kind);
  auto [it, inserted] = (s.holding ? s.held_seen : s.seen).try_emplace(key, 0);
  if (inserted) {
    s.last_key = key;
    return true;
  }
  if (s.holding) {
    ++it->second;
    return false;
  }
  if (it->second++ == 0) ++s.repeated_places;
  ++s.repeats;
  return false;
}

WarningHold::WarningHold() { state().holding = true; }

void WarningHold::release() {
  SinkState &s = state();
  if (!s.holding) return;
  s.holding = false;
  for (auto &[key, line] : s.held) {
    // Seen once and `again` more times while held.
    uint64_t again = s.held_seen[key];
    auto [it, inserted] = s.seen.try_emplace(key, 0);
    if (inserted)
      write_stderr(line);
    else
      ++again; // reported before the hold: the held first time is a repeat
    if (again == 0) continue;
    if (it->second == 0) ++s.repeated_places;
    it->second += again;
    s.repeats += again;
  }
  s.held.clear();
  s.held_seen.clear();
}

WarningHold::~WarningHold() {
  SinkState &s = state();
  s.holding = false;
  s.held.clear();
  s.held_seen.clear();
}

void warn_before_run(Place place, std::string_view message) {
  SinkState &s = state();
  if (!s.static_places.insert(place_key(s.current, place, WarningKind::Static)).second) return;
  emit_warning(place, message);
}

void emit_warning(Place place, std::string_view message) {
  SinkState &s = state();
  std::string line = s.current.id == kNoSource ? std::string("<stdin>")
                                                : s.names[s.current.name];
  line += ':';
  line += std::to_string(place.line);
  line += ':';
  line += std::to_string(place.column);
  line += ": warning: ";
  line += message;
  line += '\n';
  if (s.holding)
    s.held.emplace_back(s.last_key, std::move(line));
  else
    write_stderr(line);
}

void report_warning_summary() {
  SinkState &s = state();
  if (s.repeats == 0) return;
  std::string line = "note: ";
  line += s.repeated_places == 1 ? "1 warning above"
                                 : std::to_string(s.repeated_places) + " of the warnings above";
  line += " repeated ";
  line += std::to_string(s.repeats);
  line += s.repeats == 1 ? " more time" : " more times";
  line += " (each place is reported once)\n";
  write_stderr(line);
  // Reported once: an interactive session may end more than one way.
  s.repeats = 0;
  s.repeated_places = 0;
}

Place operator_place(const ExecExpr &e) {
  if (e.op.line != 0) return {e.op.line, e.op.column};
  return node_place(e);
}

Place index_place(const ExecExpr &e) {
  if (e.right && e.right->line != 0) return node_place(*e.right);
  return node_place(e);
}

Place node_place(const ExecExpr &e) { return {e.line, e.column}; }

Place statement_place(const ExecStmt &s) {
  if (s.op.line != 0) return {s.op.line, s.op.column};
  return {s.line, s.column};
}

std::string_view value_kind_name(const Value &value) {
  switch (value.kind()) {
  case ValueKind::Number: return "number";
  case ValueKind::Float: return "float";
  case ValueKind::Boolean: return "boolean";
  case ValueKind::Color: return "color";
  case ValueKind::Null: return "null";
  case ValueKind::String: return "string";
  case ValueKind::Array: return "array";
  case ValueKind::Dict: return "dictionary";
  case ValueKind::Function: return "function";
  case ValueKind::BuiltinFunction: return "graphics function";
  case ValueKind::Rect: return "rect";
  case ValueKind::Circle: return "circle";
  case ValueKind::Triangle: return "triangle";
  case ValueKind::Error: return "error";
  }
  return "value";
}

} // namespace tovik
