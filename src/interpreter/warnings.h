// Runtime warnings (-w): the places where the language quietly did what the
// user most likely did not mean (an operator or a builtin giving null, an
// unbound name, a missing element, a missing module) reported on standard
// error as "FILE:LINE:COL: warning: MESSAGE", each place and kind once.
//
// A run with warnings behaves exactly as one without. Compiling picks the
// general evaluators when warnings are on (warning_evaluators.cpp), and they
// call in here on the paths that give null; with warnings off nothing here
// is reached and the fast evaluators stay as they are.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "interpreter/value.h"
#include "lexer/symbol.h"
#include "lexer/token.h"

namespace tovik {

struct Interpreter;
struct ExecExpr;
struct ExecStmt;
struct FunctionObject;
enum class BuiltinId : uint8_t;

// Process-wide switch; set once before a script or the interactive loop runs.
extern bool warnings_enabled;

struct Place {
  uint32_t line = 0;
  uint32_t column = 0;
};

// Code belongs to the source it was compiled from: the script, a module
// file, one input of the interactive loop. While a scope is alive, code
// compiled and run is that source's. A fresh source (each interactive input)
// is a new one even under a name seen before, so its places never merge
// with an earlier input's. A source entered while warnings are held (a
// module first loaded by the hoisting pass) is not held: it runs only once.
class WarningSource {
public:
  explicit WarningSource(std::string_view name, bool fresh = false);
  ~WarningSource();
  WarningSource(const WarningSource &) = delete;
  WarningSource &operator=(const WarningSource &) = delete;

private:
  size_t outer_; // the depth of the scopes open before this one
  bool outer_holding_;
};

// A function defined in a module runs in the importer's interpreter, but
// its warnings name its own file: definitions remember their source, and a
// call enters it for the length of the call. The call also remembers how
// many arguments it got: a parameter left without one has been warned of
// at the call and is not reported again where the body reads it.
void note_function_source(const Value &function);
class FunctionSourceScope {
public:
  FunctionSourceScope(const FunctionObject &function, size_t given);
  ~FunctionSourceScope();
  FunctionSourceScope(const FunctionSourceScope &) = delete;
  FunctionSourceScope &operator=(const FunctionSourceScope &) = delete;

private:
  size_t outer_; // the depth of the scopes open before this one
};

// A script's top-level `let`s and `def`s are bound in a first pass before
// anything runs; without `main` they run again in order, and what the first
// pass met (a function defined further down and not bound yet) was no
// mistake of the script. Warnings of that pass are held back: released when
// the first pass was the only one, dropped otherwise (the second pass
// reports what is still wrong).
class WarningHold {
public:
  WarningHold();
  ~WarningHold(); // drops what was not released
  void release();
  WarningHold(const WarningHold &) = delete;
  WarningHold &operator=(const WarningHold &) = delete;
};

// Counts every event, repeats included: a null that already gave a warning
// while it was computed is not reported again where it is used.
uint64_t warning_events();

// A warning found in the script's text before it runs (-w reports what
// --check finds); the run reports nothing more at its place.
void warn_before_run(Place place, std::string_view message);

// The events.
void warn_binary(Place place, TokenKind op, const Value &left, const Value &right);
void warn_unary(Place place, TokenKind op, const Value &operand);
void warn_division_by_zero(Place place, TokenKind op);
void warn_unbound(const Interpreter &interp, Place place, Symbol symbol);
void warn_index(Place place, const Value &object, const Value &index);
void warn_call_of_nothing(const Interpreter &interp, const ExecExpr &call,
                          const Value &callee);
// Called when a builtin gave null; says nothing when its arguments were fine
// (print, draw and the like always give null). `explained` is set when the
// arguments' own evaluation already warned.
void warn_builtin_null(const ExecExpr &call, BuiltinId id,
                       std::span<const Value> args, bool explained);
// The same for a call that reached the library (warning_library.cpp).
// `window` tells whether a window exists, for the functions that need one.
enum class LibraryId : uint8_t;
void warn_library_null(const ExecExpr &call, LibraryId id,
                       std::span<const Value> args, bool explained,
                       bool window);
void warn_missing_arguments(const ExecExpr &call, const FunctionObject &function,
                            size_t given);
void warn_missing_module(Place place, const std::string &name);

// Where a node's warnings point: an operator's own token, a member or index
// at its key, anything else at its first token.
Place operator_place(const ExecExpr &e);
Place index_place(const ExecExpr &e);
Place node_place(const ExecExpr &e);
Place statement_place(const ExecStmt &s);

// The line that ends a run when places repeated: how many and how often.
// Nothing when nothing repeated.
void report_warning_summary();

// The kind of a value as messages name it: "number", "dictionary", ...
// Not type_name(): that is what scripts see from typeof() ("dict", and
// "unknown" for functions, colours and shapes), while a warning names every
// kind in full.
std::string_view value_kind_name(const Value &value);

} // namespace tovik
