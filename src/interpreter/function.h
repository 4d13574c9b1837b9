// The payload of a Function value: parameter names and a private copy of the
// definition's body. Made once per definition and then shared, since bodies
// never change.
#pragma once

#include <string>
#include <vector>

#include "interpreter/value.h"
#include "lexer/symbol.h"
#include "parser/ast.h"

namespace tovik {

struct FunctionObject : Object {
  std::vector<std::string> params;
  std::vector<Symbol> param_symbols;
  std::vector<Stmt> body;
  FunctionObject() : Object(ValueKind::Function) {}
};

inline const FunctionObject &Value::as_function() const {
  return *static_cast<const FunctionObject *>(bits_.object);
}

// A Function value with copies of a definition's parameters and body.
Value make_function(const std::vector<std::string> &params,
                    const std::vector<Stmt> &body);

} // namespace tovik
