// The payload of a Function value: parameter names and the definition's
// compiled body. Made once per definition when it is compiled and then
// shared, since bodies never change.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "interpreter/exec_tree.h"
#include "interpreter/pass_through.h"
#include "interpreter/value.h"
#include "lexer/symbol.h"

namespace tovik {

struct FunctionObject : Object {
  std::vector<std::string> params;
  std::vector<Symbol> param_symbols;
  // The highest of param_symbols (0 when there are none): a call makes sure
  // the slot table reaches it once, instead of once per parameter.
  Symbol last_param_symbol = 0;
  uint32_t param_count = 0; // param_symbols.size(), kept for the call path
  std::vector<ExecStmt> body;
  // The body ends in `return e`: the call itself evaluates e after the
  // statements before it, so the value needs no trip through `return_value`.
  bool ends_in_return = false;
  // The body as written, for the value's debug form: a part of the syntax
  // tree it was compiled from, which this keeps alive.
  std::shared_ptr<const std::vector<Stmt>> source;
  // Set when the body only hands its first parameter to push, concat or
  // `+` (pass_through.h).
  PassThrough pass_through;
  FunctionObject() : Object(ValueKind::Function) {}
};

inline const FunctionObject &Value::as_function() const {
  return *static_cast<const FunctionObject *>(payload());
}

// A Function value for a definition: a copy of its parameters, its body as
// written, and its compiled body.
Value make_function(const std::vector<std::string> &params,
                    std::shared_ptr<const std::vector<Stmt>> source,
                    std::vector<ExecStmt> body);

} // namespace tovik
