#include "check/meaning.h"

#include <map>
#include <set>
#include <string>

#include "check/walk.h"
#include "interpreter/builtins/builtins.h"

namespace tovik {

namespace {

struct Place {
  uint32_t line = 0;
  uint32_t column = 0;
};

void warn(CheckWarnings &out, Place at, std::string_view code, std::string message) {
  out.push_back({at.line, at.column, code, std::move(message)});
}

Place place_of(const Stmt &s) { return {s.line, s.column}; }
Place place_of(const Expr &e) { return {e.line, e.column}; }

// An integer literal, negated or not.
bool integer_literal(const Expr &e, int64_t &value) {
  if (e.kind == ExprKind::Number) {
    value = e.number;
    return true;
  }
  if (e.kind == ExprKind::UnaryOp && e.op.kind == TokenKind::Minus && e.left &&
      e.left->kind == ExprKind::Number) {
    value = -e.left->number;
    return true;
  }
  return false;
}

bool number_literal(const Expr &e) {
  int64_t unused;
  if (integer_literal(e, unused)) return true;
  const Expr &inner =
      e.kind == ExprKind::UnaryOp && e.op.kind == TokenKind::Minus && e.left ? *e.left : e;
  return inner.kind == ExprKind::Float;
}

// Names every binding of which is a number literal (or a compound
// assignment): what they hold is surely a number.
std::set<std::string> number_names(const std::vector<Stmt> &program) {
  std::map<std::string, bool> numeric;
  auto note = [&](const std::string &name, bool is_number) {
    auto [it, inserted] = numeric.try_emplace(name, is_number);
    if (!inserted) it->second = it->second && is_number;
  };
  auto walk = [&](auto &&self, const std::vector<Stmt> &list) -> void {
    for (const Stmt &s : list) {
      check_stack();
      switch (s.kind) {
      case StmtKind::Let:
      case StmtKind::Assign: note(s.name, number_literal(s.expr)); break;
      case StmtKind::CompoundAssign: break;
      case StmtKind::Function:
        note(s.name, false);
        for (const std::string &p : s.params) note(p, false);
        break;
      case StmtKind::For:
      case StmtKind::Try:
      case StmtKind::Global: note(s.name, false); break;
      case StmtKind::Use:
        if (s.items)
          for (const std::string &item : *s.items) note(item, false);
        break;
      default: break;
      }
      self(self, s.body);
      self(self, s.else_body);
      for (const MatchArm &arm : s.arms) self(self, arm.body);
    }
  };
  walk(walk, program);
  std::set<std::string> out;
  for (const auto &[name, is_number] : numeric)
    if (is_number) out.insert(name);
  return out;
}

// W403, W404: a `for` over what surely is no array, or over a literal
// range with nothing in it.
void check_loop_value(const Stmt &loop, const std::set<std::string> &numbers,
                      CheckWarnings &out) {
  const Expr &e = loop.expr;
  const char *head = "'for' goes over arrays and ranges only: ";
  if (number_literal(e) || (e.kind == ExprKind::Call && e.text == "len") ||
      (e.kind == ExprKind::Identifier && numbers.count(e.text))) {
    warn(out, place_of(e), "W403",
         std::string(head) + "over a number it runs nothing; write 'for i in 0..n' for the "
                             "numbers 0 to n - 1");
  } else if (e.kind == ExprKind::Dict) {
    warn(out, place_of(e), "W403", std::string(head) + "over a dictionary it runs nothing");
  } else if (e.kind == ExprKind::String) {
    warn(out, place_of(e), "W403",
         std::string(head) + "over a string it runs nothing; 'for i in 0..len(s)' with "
                             "slice(s, i, i + 1) goes over its characters");
  } else if (e.kind == ExprKind::Range) {
    int64_t from, to;
    if (integer_literal(*e.left, from) && integer_literal(*e.right, to) && from >= to)
      warn(out, place_of(e), "W404",
           "this range is empty, so the loop never runs: a..b counts up from a to b - 1" +
               (from > to ? " (reverse(" + std::to_string(to) + ".." +
                                std::to_string(from + 1) + ") counts down from " +
                                std::to_string(from) + ")"
                          : std::string()));
  }
}

// W405: `break` and `continue` outside any loop of their function body.
void check_loop_control(const std::vector<Stmt> &list, int loops, CheckWarnings &out) {
  for (const Stmt &s : list) {
    check_stack();
    if ((s.kind == StmtKind::Break || s.kind == StmtKind::Continue) && loops == 0)
      warn(out, place_of(s), "W405",
           std::string("'") + (s.kind == StmtKind::Break ? "break" : "continue") +
               "' is not inside a loop here: it stops the statements around it and then acts "
               "on whatever loop runs next; use it in a 'while' or 'for', and 'return' to leave "
               "a function");
    if (s.kind == StmtKind::Function) {
      check_loop_control(s.body, 0, out);
      continue;
    }
    int inner = loops + (s.kind == StmtKind::While || s.kind == StmtKind::For);
    check_loop_control(s.body, inner, out);
    check_loop_control(s.else_body, loops, out);
    for (const MatchArm &arm : s.arms) check_loop_control(arm.body, loops, out);
  }
}

// W406: a function whose last statement computes a value and drops it.
void check_dropped_result(const Stmt &def, CheckWarnings &out) {
  if (def.body.empty()) return;
  const Stmt &last = def.body.back();
  if (last.kind != StmtKind::Expr) return;
  const Expr &e = last.expr;
  bool computes = false;
  switch (e.kind) {
  case ExprKind::BinaryOp:
  case ExprKind::UnaryOp:
  case ExprKind::Identifier:
  case ExprKind::Index:
  case ExprKind::String:
  case ExprKind::Float:
  case ExprKind::Boolean:
  case ExprKind::Array:
  case ExprKind::Dict:
  case ExprKind::Range: computes = true; break;
  case ExprKind::Call:
    computes = find_builtin(e.text) && !is_acting_builtin(e.text) &&
               e.text.find('.') == std::string::npos;
    break;
  default: break; // a lone number is what a stray ';' reads as
  }
  if (computes)
    warn(out, place_of(last), "W406",
         "this value is computed and dropped, so '" + def.name +
             "' gives null: write 'return' before it");
}

// The statements of a function body in text order, with how many loops
// hold each, not entering definitions.
struct Visited {
  const Stmt *stmt;
  int loops;
};

void in_order(const std::vector<Stmt> &list, int loops, std::vector<Visited> &out) {
  for (const Stmt &s : list) {
    check_stack();
    out.push_back({&s, loops});
    if (s.kind == StmtKind::Function) continue;
    int inner = loops + (s.kind == StmtKind::While || s.kind == StmtKind::For);
    in_order(s.body, inner, out);
    in_order(s.else_body, loops, out);
    for (const MatchArm &arm : s.arms) in_order(arm.body, loops, out);
  }
}

bool reads(const Stmt &s, const std::string &name) {
  bool found = false;
  for_each_own_expr(s, [&](const Expr &root) {
    for_each_expr(root, [&](const Expr &e) {
      found = found || (e.kind == ExprKind::Identifier && e.text == name);
    });
  });
  // A definition's body may read it later, through dynamic scope.
  if (s.kind == StmtKind::Function) {
    std::vector<Visited> inner;
    in_order(s.body, 0, inner);
    for (const Visited &v : inner) found = found || reads(*v.stmt, name);
  }
  return found;
}

// Whether a statement calls a function of the script or of a module, which
// could read the caller's variables by dynamic scope.
bool calls_user_code(const Stmt &s) {
  bool found = s.kind == StmtKind::Function;
  for_each_own_expr(s, [&](const Expr &root) {
    for_each_expr(root, [&](const Expr &e) {
      found = found || (e.kind == ExprKind::Call && !find_builtin(e.text));
    });
  });
  return found;
}

bool is_assignment_to(const Stmt &s, const std::string &name) {
  return (s.kind == StmtKind::Assign || s.kind == StmtKind::CompoundAssign) && s.name == name;
}

// W407: a parameter assigned and never read again: the caller's value is a
// separate copy and does not change.
void check_parameters(const Stmt &def, const std::set<std::string> &globals,
                      CheckWarnings &out) {
  std::vector<Visited> body;
  in_order(def.body, 0, body);
  for (const std::string &param : def.params) {
    if (globals.count(param)) continue;
    size_t last = body.size();
    for (size_t i = 0; i < body.size(); ++i)
      if (is_assignment_to(*body[i].stmt, param)) last = i;
    if (last == body.size() || body[last].loops > 0) continue;
    bool used_after = false;
    for (size_t i = last + 1; i < body.size() && !used_after; ++i)
      used_after = reads(*body[i].stmt, param) || calls_user_code(*body[i].stmt);
    if (used_after) continue;
    warn(out, place_of(*body[last].stmt), "W407",
         "'" + param + "' is a parameter: this changes only the function's own copy, which "
         "nothing reads after, so the caller will not see it; return the new value instead");
  }
}

// W408: a function assigning a name that only the top level binds, with
// no `global`: the assignment makes a local and the top-level variable
// stays as it was.
void check_top_level_writes(const Stmt &def, const std::set<std::string> &top_level,
                            const std::set<std::string> &globals, CheckWarnings &out) {
  std::set<std::string> local(def.params.begin(), def.params.end());
  for_each_in_scope(def.body, [&](const Stmt &s) {
    if (s.kind == StmtKind::Let || s.kind == StmtKind::For || s.kind == StmtKind::Try ||
        s.kind == StmtKind::Function)
      local.insert(s.name);
    if (s.kind == StmtKind::Use && s.items) local.insert(s.items->begin(), s.items->end());
  });
  std::set<std::string> warned;
  for_each_in_scope(def.body, [&](const Stmt &s) {
    if (s.kind != StmtKind::Assign && s.kind != StmtKind::CompoundAssign) return;
    if (!top_level.count(s.name) || local.count(s.name) || globals.count(s.name)) return;
    if (!warned.insert(s.name).second) return;
    warn(out, place_of(s), "W408",
         "'" + s.name + "' is a top-level variable, but assigning it in a function makes a "
         "new '" + s.name + "' local to '" + def.name + "' and leaves the top-level one as "
         "it was: write 'global " + s.name + "' first");
  });
}

// A drawing builtin does nothing without a window; a drawing function of
// sdl2 gives an error value then, which only a statement that drops it
// (`dropped`) loses.
bool is_drawing(const Expr &call, bool dropped) {
  static const std::set<std::string_view> kDrawing = {"draw", "fill", "clear", "present"};
  static const std::set<std::string_view> kGraphics = {
      "sdl2.clear_screen", "sdl2.render_present", "sdl2.draw_point", "sdl2.draw_line",
      "sdl2.draw_rect",    "sdl2.fill_rect",      "sdl2.draw_circle", "sdl2.fill_circle"};
  if (call.kind != ExprKind::Call) return false;
  return kDrawing.count(call.text) > 0 || (dropped && kGraphics.count(call.text) > 0);
}

bool opens_window(const Expr &e) {
  return (e.kind == ExprKind::Call && (e.text == "window" || e.text == "sdl2.create_window")) ||
         (e.kind == ExprKind::Identifier && e.text == "window");
}

// W410: drawing in a script that never opens a window.
void check_window(const std::vector<Stmt> &program, CheckWarnings &out) {
  const Expr *first_drawing = nullptr;
  bool opened = false;
  auto walk = [&](auto &&self, const std::vector<Stmt> &list) -> void {
    for (const Stmt &s : list) {
      check_stack();
      for_each_own_expr(s, [&](const Expr &root) {
        bool statement = s.kind == StmtKind::Expr;
        for_each_expr(root, [&](const Expr &e) {
          opened = opened || opens_window(e);
          if (!first_drawing && is_drawing(e, statement && &e == &root)) first_drawing = &e;
        });
      });
      self(self, s.body);
      self(self, s.else_body);
      for (const MatchArm &arm : s.arms) self(self, arm.body);
    }
  };
  walk(walk, program);
  if (first_drawing && !opened)
    warn(out, place_of(*first_drawing), "W410",
         "no window is ever opened, so this draws nothing: call window(width, height) first");
}

} // namespace

void check_meaning(const std::vector<Stmt> &program, bool uses_modules, CheckWarnings &out) {
  std::set<std::string> numbers = number_names(program);
  std::set<std::string> globals, top_level;
  std::vector<const Stmt *> defs;
  auto gather = [&](auto &&self, const std::vector<Stmt> &list, bool top) -> void {
    for (const Stmt &s : list) {
      check_stack();
      if (s.kind == StmtKind::Global) globals.insert(s.name);
      if (top && (s.kind == StmtKind::Let || s.kind == StmtKind::Assign ||
                  s.kind == StmtKind::CompoundAssign || s.kind == StmtKind::For))
        top_level.insert(s.name);
      if (s.kind == StmtKind::For) check_loop_value(s, numbers, out);
      if (s.kind == StmtKind::Function) defs.push_back(&s);
      bool inner_top = top && s.kind != StmtKind::Function;
      self(self, s.body, inner_top);
      self(self, s.else_body, inner_top);
      for (const MatchArm &arm : s.arms) self(self, arm.body, inner_top);
    }
  };
  gather(gather, program, true);
  check_loop_control(program, 0, out);
  for (const Stmt *def : defs) {
    if (find_builtin(def->name))
      warn(out, place_of(*def), "W409",
           "'" + def->name + "' is a builtin, and a call of that name always reaches the "
           "builtin: this 'def' is never called; give it another name");
    check_dropped_result(*def, out);
    check_parameters(*def, globals, out);
    check_top_level_writes(*def, top_level, globals, out);
  }
  if (!uses_modules) check_window(program, out);
}

} // namespace tovik
