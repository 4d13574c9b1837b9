#include "check/names.h"
#include "check/meaning.h"
#include "check/walk.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "graphics/library.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "lexer/scanner.h"
#include "parser/parser.h"
#include "support/halt.h"
#include "support/closest_name.h"
#include "support/source.h"

namespace tovik {

namespace {

bool is_graphics_name(std::string_view short_name) {
  for (std::string_view full : kGraphicsFunctionNames)
    if (full.substr(kGraphicsPrefix.size()) == short_name) return true;
  return false;
}

// What a module file offers: its exported names, and the parameter counts
// of its functions.
struct ModuleInfo {
  bool found = false;
  std::set<std::string> exports;
  std::map<std::string, size_t> functions;
  std::set<std::string> visible; // functions whose running can be seen
};

struct Names {
  std::map<std::string, std::vector<size_t>> defs; // name -> parameter counts
  std::set<std::string> bound;                      // every name anything binds
  std::map<std::string, std::string> modules;      // visible name -> module
  std::map<std::string, ModuleInfo> module_files;  // module -> what it offers
  std::set<std::string> used;                       // every module a `use` names
  std::set<std::string> dict_keys;                  // every key a dictionary literal has
  std::vector<std::string_view> variable_names;    // for suggestions
  std::vector<std::string_view> callable_names;
};

void collect(const std::vector<Stmt> &stmts, Names &names);

// Calls visit(name) for each name a statement binds where it stands: the
// variable of a let, assignment, loop or catch, a definition's name, and
// the items a use imports.
template <typename Visit> void for_each_bound_name(const Stmt &s, Visit &&visit) {
  switch (s.kind) {
  case StmtKind::Let:
  case StmtKind::Assign:
  case StmtKind::CompoundAssign:
  case StmtKind::For:
  case StmtKind::Try:
  case StmtKind::Function:
    visit(s.name);
    break;
  case StmtKind::Use:
    if (s.items)
      for (const std::string &item : *s.items) visit(item);
    break;
  default:
    break;
  }
}

void collect_one(const Stmt &s, Names &names) {
  check_stack();
  for_each_own_expr(s, [&](const Expr &root) {
    for_each_expr(root, [&](const Expr &e) {
      for (const DictEntry &entry : e.entries) names.dict_keys.insert(entry.first);
    });
  });
  for_each_bound_name(s, [&](const std::string &name) { names.bound.insert(name); });
  if (s.kind == StmtKind::Function) {
    names.defs[s.name].push_back(s.params.size());
    for (const std::string &p : s.params) names.bound.insert(p);
  } else if (s.kind == StmtKind::Use) {
    if (!s.name.empty() && s.name != "sdl2") names.used.insert(s.name);
    if (!s.items) names.modules[s.alias ? *s.alias : s.name] = s.name;
  }
  collect(s.body, names);
  collect(s.else_body, names);
  for (const MatchArm &arm : s.arms) collect(arm.body, names);
}

void collect(const std::vector<Stmt> &stmts, Names &names) {
  for (const Stmt &s : stmts) collect_one(s, names);
}

// The functions of `program` whose running can be seen: one of their
// definitions prints, reads or draws, declares or writes a global, loads a
// module, or calls something that does or that is not known here.
std::set<std::string> visible_functions(const std::vector<Stmt> &program) {
  std::map<std::string, std::vector<const Stmt *>> defs;
  std::set<std::string> globals;
  std::vector<const Stmt *> all_defs;
  auto gather = [&](auto &&self, const std::vector<Stmt> &list) -> void {
    for (const Stmt &s : list) {
      check_stack();
      if (s.kind == StmtKind::Function) {
        defs[s.name].push_back(&s);
        all_defs.push_back(&s);
      }
      if (s.kind == StmtKind::Global) globals.insert(s.name);
      self(self, s.body);
      self(self, s.else_body);
      for (const MatchArm &arm : s.arms) self(self, arm.body);
    }
  };
  gather(gather, program);

  std::set<std::string> visible;
  std::map<std::string, std::set<std::string>> callers; // callee -> functions calling it
  for (const Stmt *def : all_defs) {
    bool seen = false;
    std::set<std::string> callees;
    for_each_in_scope(def->body, [&](const Stmt &s) {
      if (s.kind == StmtKind::Global || s.kind == StmtKind::Use) seen = true;
      if (s.kind != StmtKind::Function && globals.count(s.name) &&
          (s.kind == StmtKind::Let || s.kind == StmtKind::Assign ||
           s.kind == StmtKind::CompoundAssign || s.kind == StmtKind::For ||
           s.kind == StmtKind::Try))
        seen = true;
      for_each_own_expr(s, [&](const Expr &root) {
        for_each_expr(root, [&](const Expr &e) {
          if (e.kind != ExprKind::Call) return;
          if (find_builtin(e.text)) {
            // Those that only compute or observe, `random` included: computed
            // twice, the second value replaces the first and nobody can tell.
            if (is_acting_builtin(e.text)) seen = true;
          } else if (defs.count(e.text)) {
            callees.insert(e.text);
          } else {
            seen = true; // a module, a value called, a name unknown here
          }
        });
      });
    });
    if (seen) visible.insert(def->name);
    for (const std::string &callee : callees) callers[callee].insert(def->name);
  }
  std::vector<std::string> pending(visible.begin(), visible.end());
  while (!pending.empty()) {
    std::string name = std::move(pending.back());
    pending.pop_back();
    for (const std::string &caller : callers[name])
      if (visible.insert(caller).second) pending.push_back(caller);
  }
  return visible;
}

ModuleInfo read_module(const std::string &name) {
  ModuleInfo info;
  std::string text;
  if (!read_source_file(name + ".tvk", text).empty()) return info;
  info.found = true;
  std::vector<Token> tokens = tokenize(text);
  std::vector<Stmt> program = parse_program(tokens);
  // Everything its top level binds is exported, loop and catch variables
  // and imported items included, and so is what its top-level blocks bind:
  // blocks open no scope.
  for_each_in_scope(program, [&](const Stmt &s) {
    for_each_bound_name(s, [&](const std::string &bound) { info.exports.insert(bound); });
    if (s.kind == StmtKind::Function) info.functions[s.name] = s.params.size();
  });
  info.visible = visible_functions(program);
  return info;
}

bool is_equality(TokenKind op) { return op == TokenKind::Equal || op == TokenKind::NotEqual; }

bool is_comparison(TokenKind op) {
  return is_equality(op) || op == TokenKind::Less || op == TokenKind::Greater ||
         op == TokenKind::LessEqual || op == TokenKind::GreaterEqual;
}

// Whether an expression surely gives a boolean, so that `==` with it on the
// right compares two booleans: `(a < b) == (c < d)` is fine.
bool gives_boolean(const Expr &e) {
  if (e.kind == ExprKind::Boolean) return true;
  if (e.kind == ExprKind::UnaryOp) return e.op.kind == TokenKind::Not;
  return e.kind == ExprKind::BinaryOp &&
         (is_comparison(e.op.kind) || e.op.kind == TokenKind::And || e.op.kind == TokenKind::Or);
}

// The builtin a member called in method style stands for: itself, or the
// builtin other languages name so (`append` for push).
std::string builtin_named(const std::string &member) {
  if (find_builtin(member)) return member;
  std::string builtin = closest_function(member, {});
  return find_builtin(builtin) ? builtin : "";
}

std::string method_message(const std::string &object, const std::string &member,
                           const std::string &builtin) {
  std::string out = "'" + object + "." + member + "(...)' calls no method: builtins take the " +
                    "value first, as in " + builtin + "(" + object + ", ...)";
  if (builtin == "push")
    out += "; push gives a new array, so keep it: " + object + " = push(" + object + ", ...)";
  return out;
}

struct Checker {
  Names &names;
  CheckWarnings &out;

  void warn(uint32_t line, uint32_t column, std::string_view code, std::string message) {
    out.push_back({line, column, code, std::move(message)});
  }

  // Each distinct name is compared with the candidates once, and only the
  // first few dozen get a suggestion, so a huge script stays linear. The
  // key tells what was looked for: "(" before a function's name, the
  // module before an item's.
  std::map<std::string, std::string, std::less<>> suggested;

  std::string suggestion(std::string key, std::string_view name,
                         const std::vector<std::string_view> &among, bool function = false) {
    auto it = suggested.find(key);
    if (it == suggested.end()) {
      std::string best;
      if (suggested.size() < 50)
        best = function ? closest_function(name, among) : closest_name(name, among);
      it = suggested.emplace(std::move(key), best.empty() ? "" : "; did you mean '" + best + "'?")
               .first;
    }
    return it->second;
  }

  // The module files in the working directory, read once when needed.
  std::vector<std::string> module_files;
  bool listed_module_files = false;

  std::vector<std::string_view> module_file_names() {
    if (!listed_module_files) {
      listed_module_files = true;
      module_files = module_files_here();
    }
    return {module_files.begin(), module_files.end()};
  }

  void arity(const Expr &call, std::string_view name, size_t params) {
    size_t args = call.items.size();
    if (args == params) return;
    std::string has = std::to_string(params), gets = std::to_string(args);
    std::string head = join({"'", name, "' has ", has, params == 1 ? " parameter" : " parameters",
                             " but gets ", gets, args == 1 ? " argument" : " arguments"});
    if (args < params)
      warn(call.line, call.column, "W302", head + ": the missing ones read as null");
    else
      warn(call.line, call.column, "W303", head + ": the extra ones are ignored");
  }

  void dotted_call(const Expr &call, size_t dot) {
    std::string prefix = call.text.substr(0, dot);
    std::string member = call.text.substr(dot + 1);
    auto visible = names.modules.find(prefix);
    std::string module = visible != names.modules.end() ? visible->second : prefix;
    if (module == "sdl2") {
      if (!is_graphics_name(member))
        warn(call.line, call.column, "W301",
             "the graphics module has no function '" + member + "'");
      return;
    }
    if (visible == names.modules.end()) {
      std::string builtin = builtin_named(member);
      if (!builtin.empty() && names.bound.count(prefix)) {
        warn(call.line, call.column, "W307", method_message(prefix, member, builtin));
        return;
      }
      warn(call.line, call.column, "W301",
           "'" + call.text + "' calls into '" + prefix +
               "', which is no module this script uses: the call gives null");
      return;
    }
    const ModuleInfo &info = names.module_files[module];
    if (!info.found) return; // the `use` has its own warning
    auto fn = info.functions.find(member);
    if (fn != info.functions.end()) {
      arity(call, call.text, fn->second);
      return;
    }
    if (!info.exports.count(member)) {
      std::vector<std::string_view> items(info.exports.begin(), info.exports.end());
      warn(call.line, call.column, "W301",
           "module '" + module + "' defines no '" + member + "'" +
               suggestion(module + "." + member, member, items));
    }
  }

  // A call of a builtin or a library function, counted against its row.
  void counted_call(const Expr &call, std::string_view callee, const CallableFacts &facts) {
    const size_t args = call.items.size();
    const std::string name(callee);
    if (args < facts.least)
      warn(call.line, call.column, "W304",
           "'" + name + "' needs at least " + std::to_string(facts.least) + " argument" +
               (facts.least == 1 ? "" : "s") + ": with fewer it gives null");
    else if (facts.most != kAnyNumberOfArguments && args > facts.most)
      warn(call.line, call.column, "W303",
           "'" + name + "' takes " + std::to_string(facts.most) + " argument" +
               (facts.most == 1 ? "" : "s") + " but gets " + std::to_string(args) +
               ": the extra ones are ignored");
  }

  void call(const Expr &call) {
    size_t dot = call.text.find('.');
    if (dot != std::string::npos) return dotted_call(call, dot);
    const std::string &name = call.text;
    if (std::optional<BuiltinId> id = find_builtin(name))
      return counted_call(call, name, builtin_facts(*id));
    auto def = names.defs.find(name);
    if (def != names.defs.end()) {
      // Only a name with one definition has one parameter list to compare.
      if (def->second.size() == 1) arity(call, name, def->second[0]);
      return;
    }
    // A library function answers where nothing the script binds is a
    // function, which a variable of that name seldom holds.
    if (std::optional<LibraryId> id = find_library(name))
      return counted_call(call, name, library_facts(*id));
    if (names.bound.count(name)) return; // a variable may hold a function
    for (const auto &[module, info] : names.module_files)
      if (info.functions.count(name)) return;
    if (name == "call") {
      warn(call.line, call.column, "W301",
           "only a name can be called: this call gives null");
      return;
    }
    if (std::string_view hint = foreign_function_hint(name); !hint.empty()) {
      warn(call.line, call.column, "W301", std::string(hint));
      return;
    }
    warn(call.line, call.column, "W301",
         "'" + name + "' is not defined: no builtin and no 'def' has this name" +
             suggestion("(" + name, name, names.callable_names, true));
  }

  bool unbound(const Expr &e) {
    return e.kind == ExprKind::Identifier && !names.bound.count(e.text) && !find_builtin(e.text);
  }

  // What kind of literal an operand is ("" when it is not one); a negated
  // number counts as a literal.
  static std::string_view literal_kind(const Expr &e) {
    const Expr &inner =
        e.kind == ExprKind::UnaryOp && e.op.kind == TokenKind::Minus && e.left ? *e.left : e;
    switch (inner.kind) {
    case ExprKind::Number: return "an integer";
    case ExprKind::Float: return "a float";
    case ExprKind::String: return &inner == &e ? "a string" : "";
    case ExprKind::Boolean: return &inner == &e ? "a boolean" : "";
    default: return "";
    }
  }

  // Operands of different kinds never combine, so two literals of
  // different kinds under an arithmetic operator always give null.
  void binary(const Expr &e) {
    TokenKind op = e.op.kind;
    if (is_comparison(op) && is_comparison(e.left->op.kind) && e.left->kind == ExprKind::BinaryOp &&
        (!is_equality(op) || !gives_boolean(*e.right))) {
      warn(e.op.line, e.op.column, "W503",
           "comparisons do not chain: this compares the boolean on its left with what is on "
           "its right, which gives null; write 'a < b and b < c'");
      return;
    }
    bool arithmetic = op == TokenKind::Plus || op == TokenKind::Minus || op == TokenKind::Star ||
                      op == TokenKind::Slash || op == TokenKind::Percent ||
                      op == TokenKind::Power;
    if (!arithmetic) return;
    std::string_view left = literal_kind(*e.left), right = literal_kind(*e.right);
    if (left.empty() || right.empty() || left == right) return;
    bool numbers = (left == "an integer" || left == "a float") &&
                   (right == "an integer" || right == "a float");
    if (numbers) {
      warn(e.op.line, e.op.column, "W501",
           token_spelling(op) +
               " between an integer and a float always gives null: write both alike (2.0, not 2)");
    } else if (left == "a string" || right == "a string") {
      warn(e.op.line, e.op.column, "W501",
           join({token_spelling(op), " between ", left, " and ", right,
                 " always gives null: concat(\"n = \", 5) joins text and numbers"}));
    } else {
      warn(e.op.line, e.op.column, "W501",
           join({token_spelling(op), " between ", left, " and ", right, " always gives null"}));
    }
  }

  // Every node of the expression, without recursion (see for_each_expr).
  void expr(const Expr &root) {
    std::set<const Expr *> compared_with_null;
    for_each_expr(root, [&](const Expr &e) {
      switch (e.kind) {
      case ExprKind::Identifier:
        if (!unbound(e)) break;
        if (compared_with_null.count(&e)) {
          warn(e.line, e.column, "W502",
               "there is no null literal: '" + e.text +
                   "' is an unbound name, so this comparison is itself null; "
                   "test typeof(v) == \"null\"");
          break;
        }
        // `null` is how scripts write null; only comparing with it is a mistake.
        if (e.text == "null") break;
        warn(e.line, e.column, "W305",
             "'" + e.text + "' is never assigned, so it reads as null" +
                 suggestion(e.text, e.text, names.variable_names));
        break;
      case ExprKind::BinaryOp: {
        binary(e);
        if (e.op.kind != TokenKind::Equal && e.op.kind != TokenKind::NotEqual) break;
        for (const Expr *side : {e.left.get(), e.right.get()})
          if (side->kind == ExprKind::Identifier &&
              (side->text == "null" || side->text == "nil" || side->text == "None"))
            compared_with_null.insert(side);
        break;
      }
      case ExprKind::Call:
        call(e);
        break;
      case ExprKind::Index:
        member_length(e);
        break;
      default:
        break;
      }
    });
  }

  // `xs.length`: no value has members but dictionaries, and no dictionary
  // of this script has that key.
  void member_length(const Expr &e) {
    const Expr &key = *e.right;
    if (key.kind != ExprKind::String || e.left->kind != ExprKind::Identifier) return;
    if ((key.text != "length" && key.text != "size") || names.dict_keys.count(key.text)) return;
    warn(e.line, e.column, "W307",
         "values have no '." + key.text + "': len(" + e.left->text + ") gives the length of "
         "a string, an array or a dictionary");
  }

  void stmts(const std::vector<Stmt> &list) {
    for (const Stmt &s : list) stmt(s);
  }

  void stmt(const Stmt &s) {
    check_stack();
    if (s.kind == StmtKind::Use && !s.name.empty() && s.name != "sdl2" &&
        !names.module_files[s.name].found)
      warn(s.line, s.column, "W306",
           "there is no module file '" + s.name +
               ".tvk' in the working directory: this 'use' does nothing" +
               suggestion("use " + s.name, s.name, module_file_names()));
    bool has_expr = s.kind == StmtKind::Let || s.kind == StmtKind::Assign ||
                    s.kind == StmtKind::CompoundAssign || s.kind == StmtKind::If ||
                    s.kind == StmtKind::While || s.kind == StmtKind::For ||
                    s.kind == StmtKind::Match || s.kind == StmtKind::Expr ||
                    (s.kind == StmtKind::Return && s.has_expr);
    if (has_expr) expr(s.expr);
    stmts(s.body);
    stmts(s.else_body);
    for (const MatchArm &arm : s.arms) {
      if (arm.pattern.kind == PatternKind::Value) expr(arm.pattern.value);
      stmts(arm.body);
    }
  }
};

// A call whose running twice can be seen: a builtin that reads, writes or
// draws, a function of the script or a module that can be seen to run, or
// anything not known here.
bool is_visible_call(const Expr &e, const Names &names, const std::set<std::string> &visible) {
  if (e.kind != ExprKind::Call) return false;
  if (find_builtin(e.text)) return is_acting_builtin(e.text);
  size_t dot = e.text.find('.');
  if (dot == std::string::npos) {
    // Library functions compute, except those that read, write or wait.
    if (!names.defs.count(e.text) && find_library(e.text)) {
      static const std::set<std::string_view> kLibraryEffects = {
          "read_line", "read_file", "write_file", "sleep", "clock"};
      return kLibraryEffects.count(e.text) > 0;
    }
    return !names.defs.count(e.text) || visible.count(e.text);
  }
  auto module = names.modules.find(e.text.substr(0, dot));
  if (module == names.modules.end()) return true;
  auto info = names.module_files.find(module->second);
  if (info == names.module_files.end() || !info->second.found) return true;
  std::string item = e.text.substr(dot + 1);
  return !info->second.functions.count(item) || info->second.visible.count(item);
}

bool calls_visibly(const Expr &root, const Names &names, const std::set<std::string> &visible) {
  bool seen = false;
  for_each_expr(root, [&](const Expr &e) { seen = seen || is_visible_call(e, names, visible); });
  return seen;
}

// Whether the hoisting pass leaves a function bound to `main`, which then
// runs alone: yes for a `def main`, or a `let main` of a function defined
// above it; unknown for a `let main` of anything else.
enum class Entry { None, Main, Unknown };

Entry entry_of(const std::vector<Stmt> &program) {
  Entry entry = Entry::None;
  std::set<std::string> defined;
  for (const Stmt &s : program) {
    if (s.kind == StmtKind::Function) defined.insert(s.name);
    if (s.name != "main") continue;
    if (s.kind == StmtKind::Function) entry = Entry::Main;
    if (s.kind == StmtKind::Let)
      entry = s.expr.kind == ExprKind::Identifier && defined.count(s.expr.text) ? Entry::Main
                                                                               : Entry::Unknown;
  }
  return entry;
}

// `main()` written at the end, as other languages need: main runs once
// either way, which is what was meant.
bool calls_main(const Stmt &s) {
  return s.kind == StmtKind::Expr && s.expr.kind == ExprKind::Call && s.expr.text == "main";
}

void check_program_shape(const std::vector<Stmt> &program, const Names &names,
                         CheckWarnings &out) {
  Entry entry = entry_of(program);
  std::set<std::string> visible = visible_functions(program);
  for (const Stmt &s : program) {
    // A lone ";" reads as the statement 0, which does nothing anyway.
    bool nothing = s.kind == StmtKind::Expr && s.expr.kind == ExprKind::Number;
    if (entry == Entry::Main && s.kind != StmtKind::Let && s.kind != StmtKind::Function &&
        !calls_main(s) && !nothing)
      out.push_back({s.line, s.column, "W401",
                     "this never runs: a script that defines 'main' runs only 'main', after "
                     "its top-level 'let' and 'def'"});
    if (entry == Entry::None && s.kind == StmtKind::Let && calls_visibly(s.expr, names, visible))
      out.push_back({s.line, s.column, "W402",
                     "this top-level 'let' runs twice, and its calls with it: once before "
                     "the script starts and once in order"});
  }
}

} // namespace


void check_tree(const std::vector<Stmt> &program, CheckWarnings &out) {
  Names names;
  collect(program, names);
  for (const std::string &module : names.used) names.module_files[module] = read_module(module);
  for (const std::string &n : names.bound) names.variable_names.push_back(n);
  // A misspelt keyword (`retrun x`, `whiel n < 3`) reads as a name.
  for (std::string_view k : keyword_spellings()) names.variable_names.push_back(k);
  for (const auto &[n, counts] : names.defs) names.callable_names.push_back(n);
  for (int i = 0; i < kBuiltinCount; ++i)
    names.callable_names.push_back(builtin_name(static_cast<BuiltinId>(i)));
  for (std::string_view name : library_names()) names.callable_names.push_back(name);
  Checker checker{names, out, {}, {}, false};
  checker.stmts(program);
  check_program_shape(program, names, out);
  check_meaning(program, !names.used.empty(), out);
}

} // namespace tovik
