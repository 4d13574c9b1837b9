// Modules: other script files run once in an interpreter of their own, whose
// globals become the exports, and the built-in graphics module "sdl2".
#include <fstream>
#include <iterator>

#include "graphics/library.h"
#include "interpreter/compile.h"
#include "interpreter/interpreter.h"
#include "interpreter/warnings.h"
#include "lexer/scanner.h"
#include "parser/parser.h"
#include "support/source.h"

namespace tovik {

namespace {

// The modules whose files are running right now, outermost first. A `use` of
// one of them (a module using itself, or two using each other) does nothing,
// as for a module that cannot be loaded: the load further up completes.
std::vector<std::string> &loads_in_progress() {
  static std::vector<std::string> names;
  return names;
}

struct LoadInProgress {
  explicit LoadInProgress(const std::string &name) {
    loads_in_progress().push_back(name);
  }
  // Also on a halt unwinding through the load, so a later session (the
  // interactive loop) can load the module again.
  ~LoadInProgress() { loads_in_progress().pop_back(); }
  LoadInProgress(const LoadInProgress &) = delete;
  LoadInProgress &operator=(const LoadInProgress &) = delete;
};

bool load_in_progress(const std::string &name) {
  for (const std::string &n : loads_in_progress())
    if (n == name) return true;
  return false;
}

Value run_module_file(const std::string &name, const std::string &source) {
  std::vector<ExecStmt> stmts = compile_program(parse_program(tokenize(source)));
  if (debug_enabled)
    trace_debug("Parsed " + std::to_string(stmts.size()) + " statements");

  // Every top-level statement runs, even after a top-level return: there is
  // no hoisting pass and no call of main in a module.
  // Sized to what the module binds, not to every name the process knows:
  // a chain of modules keeps one interpreter alive per link.
  Interpreter module(InterpreterSize::Lean);
  for (const ExecStmt &s : stmts) {
    // A stray break or continue ends with its statement; a return stays
    // pending for the rest of the module (see Interpreter::return_pending).
    if (execute(module, s) == Completion::Return) module.return_pending = true;
  }

  Dict exports;
  for_each_global(module, [&](Symbol symbol, const Value &value) {
    exports.set(symbol_name(symbol), value);
  });
  if (debug_enabled) {
    exports.for_each([](const Dict::Entry &e) {
      trace_debug("Exporting: " + e.key + " = " +
                  (e.value.is(ValueKind::Function) ? "Function" : "Other"));
    });
    trace_debug("Module " + name + " has " + std::to_string(exports.size()) +
                " exports");
  }
  return Value::dict(std::move(exports));
}

} // namespace

Value sdl2_module_exports() {
  Dict exports;
  for (std::string_view full : kGraphicsFunctionNames)
    exports.set(std::string(full.substr(kGraphicsPrefix.size())),
                Value::builtin_function(std::string(full)));
  return Value::dict(std::move(exports));
}

std::optional<Value> load_module(Interpreter &interp, const std::string &name) {
  if (const Value *cached = interp.module_cache.find(name)) return *cached;
  if (name == "sdl2") return sdl2_module_exports();

  if (load_in_progress(name)) {
    if (debug_enabled)
      trace_debug("Module " + name + " is already being loaded");
    return std::nullopt;
  }
  std::string source;
  if (!read_source_file(name + ".tvk", source).empty()) {
    if (debug_enabled)
      trace_debug("Failed to load module: " + name + ".tvk not found");
    return std::nullopt;
  }
  LoadInProgress loading(name);
  Value exports;
  {
    ParkedSlots parked(interp);
    // A module's warnings name its file.
    std::optional<WarningSource> warning_source;
    if (warnings_enabled) warning_source.emplace(name + ".tvk");
    exports = run_module_file(name, source);
  }
  interp.module_cache.set(name, exports);
  return exports;
}

Completion execute_use(Interpreter &interp, const ExecStmt &use) {
  std::optional<Value> exports = load_module(interp, use.name);
  if (!exports) {
    if (warnings_enabled && !load_in_progress(use.name)) [[unlikely]]
      warn_missing_module(statement_place(use), use.name);
    return Completion::Normal;
  }
  if (use.use->items) {
    // Chosen items become globals directly, whatever scope the use runs in.
    for (const std::string &item : *use.use->items)
      if (const Value *value = exports->as_dict().find(item))
        bind_global(interp, intern(item), *value);
    return Completion::Normal;
  }
  const std::optional<std::string> &alias = use.use->alias;
  interp.modules.set(alias ? *alias : use.name, std::move(*exports));
  return Completion::Normal;
}

} // namespace tovik
