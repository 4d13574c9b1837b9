// Operators whose operand is itself an operator on two leaves, as in
// `total + i * j` or `x % 2 == 0`: the inner operator is computed in the
// outer one's code, so the pair costs no call, no value handed back and,
// when the other operand is a leaf too, no saved registers. Only the
// common cases get code of their own (the arithmetic operators inside and
// out, the comparisons outside); the rest go the general way.
#include <bit>
#include <type_traits>

#include "interpreter/arithmetic.h"
#include "interpreter/operands.h"
#include "interpreter/evaluation_mode.h"
#include "interpreter/warnings.h"

namespace tovik {

namespace {

// The operands a pair is built from. Each `get` gives a value or a
// reference to one, read in the order the parent asks.
template <Shape S> struct Leaf {
  [[gnu::always_inline]] static decltype(auto) get(Interpreter &interp,
                                                   const ExecExpr &e) {
    return read_operand<S>(interp, e);
  }
};

// An integer literal that is neither 0 nor -1, on the right of `/` or `%`:
// the division then needs neither of its special cases.
struct Divisor {
  [[gnu::always_inline]] static Value get(Interpreter &, const ExecExpr &e) {
    const int64_t n = e.number;
    if (n == 0 || n == -1) __builtin_unreachable();
    return Value::number(n);
  }
};

// An operator on two leaves. Nothing in it can rebind or release a
// variable, so a leaf read before it may stay a reference.
template <TokenKind Op, typename L, typename R> struct Inner {
  [[gnu::always_inline]] static Value get(Interpreter &interp,
                                          const ExecExpr &e) {
    decltype(auto) a = L::get(interp, *e.left);
    decltype(auto) b = R::get(interp, *e.right);
    return combine<Op>(a, b);
  }
};

// Anything else, through its own evaluator. Used only beside an Inner
// operand, which a later evaluation cannot disturb: its value is made.
struct Evaluated {
  [[gnu::always_inline]] static Value get(Interpreter &interp,
                                          const ExecExpr &e) {
    return evaluate(interp, e);
  }
};

template <typename T> constexpr bool kIsInner = false;
template <TokenKind Op, typename L, typename R>
constexpr bool kIsInner<Inner<Op, L, R>> = true;

template <TokenKind Op, typename L, typename R>
[[gnu::always_inline]] inline ValueTransfer pair_value(Interpreter &interp,
                                                       const ExecExpr &e) {
  if constexpr (kIsInner<L> && !std::is_same_v<R, Evaluated>) {
    ValueTransfer a = L::get(interp, *e.left).release();
    decltype(auto) b = R::get(interp, *e.right);
    return combine_held<Op, true>(a, b);
  } else if constexpr (kIsInner<R> && !std::is_same_v<L, Evaluated>) {
    decltype(auto) a = L::get(interp, *e.left);
    ValueTransfer b = R::get(interp, *e.right).release();
    return combine_held<Op, false>(b, a);
  } else {
    return Inner<Op, L, R>::get(interp, e).release();
  }
}

template <TokenKind Op, typename L, typename R>
ValueTransfer evaluate_pair(Interpreter &interp, const ExecExpr &e) {
  return pair_value<Op, L, R>(interp, e);
}

template <TokenKind Op, typename L, typename R>
bool test_pair(Interpreter &interp, const ExecExpr &e) {
  return is_truthy(Value::adopt(pair_value<Op, L, R>(interp, e)));
}

template <typename T> struct Tag {
  using type = T;
};

constexpr bool divides(TokenKind op) {
  return op == TokenKind::Slash || op == TokenKind::Percent;
}

// Calls `k(Tag<operand>)` for a leaf; null for anything else. A safe
// integer divisor is told apart when `op` divides.
template <typename Chosen, typename K>
Chosen pick_leaf(const ExecExpr &e, TokenKind op, K k) {
  switch (shape_of(e)) {
  case Shape::Variable: return k(Tag<Leaf<Shape::Variable>>{});
  case Shape::Literal: return k(Tag<Leaf<Shape::Literal>>{});
  case Shape::Integer:
    if (divides(op) && e.number != 0 && e.number != -1)
      return k(Tag<Divisor>{});
    return k(Tag<Leaf<Shape::Integer>>{});
  case Shape::Other: break;
  }
  return nullptr;
}

// The inner operators with code of their own: + - * on a variable and a
// variable or literal (either way round), / and % of a variable by a
// variable or a literal integer.
template <TokenKind Op, typename Chosen, typename K>
Chosen pick_inner_for(const ExecExpr &e, K k) {
  using V = Leaf<Shape::Variable>;
  const Shape l = shape_of(*e.left), r = shape_of(*e.right);
  if constexpr (divides(Op)) {
    if (l != Shape::Variable) return nullptr;
    if (r == Shape::Variable) return k(Tag<Inner<Op, V, V>>{});
    if (r == Shape::Integer && e.right->number != 0 && e.right->number != -1)
      return k(Tag<Inner<Op, V, Divisor>>{});
    return nullptr;
  } else {
    if (l == Shape::Variable) {
      switch (r) {
      case Shape::Variable: return k(Tag<Inner<Op, V, V>>{});
      case Shape::Integer: return k(Tag<Inner<Op, V, Leaf<Shape::Integer>>>{});
      case Shape::Literal: return k(Tag<Inner<Op, V, Leaf<Shape::Literal>>>{});
      case Shape::Other: return nullptr;
      }
    }
    if (r != Shape::Variable) return nullptr;
    if (l == Shape::Integer) return k(Tag<Inner<Op, Leaf<Shape::Integer>, V>>{});
    if (l == Shape::Literal) return k(Tag<Inner<Op, Leaf<Shape::Literal>, V>>{});
    return nullptr;
  }
}

template <typename Chosen, typename K>
Chosen pick_inner(const ExecExpr &e, K k) {
  if (e.kind != ExprKind::BinaryOp) return nullptr;
  switch (e.op.kind) {
  case TokenKind::Plus: return pick_inner_for<TokenKind::Plus, Chosen>(e, k);
  case TokenKind::Minus: return pick_inner_for<TokenKind::Minus, Chosen>(e, k);
  case TokenKind::Star: return pick_inner_for<TokenKind::Star, Chosen>(e, k);
  case TokenKind::Slash: return pick_inner_for<TokenKind::Slash, Chosen>(e, k);
  case TokenKind::Percent: return pick_inner_for<TokenKind::Percent, Chosen>(e, k);
  default: return nullptr;
  }
}

// `Make<A, B>()` for the operand pair of `e` with an inner operator on one
// side and a leaf, or (when `kEvaluatedBeside`) anything, on the other.
template <typename Chosen, bool kEvaluatedBeside, typename Make>
Chosen pick_pair(const ExecExpr &e, Make make) {
  const ExecExpr &l = *e.left, &r = *e.right;
  const TokenKind op = e.op.kind;
  if (Chosen chosen = pick_inner<Chosen>(l, [&](auto a) -> Chosen {
        using A = typename decltype(a)::type;
        if (Chosen leaf = pick_leaf<Chosen>(r, op, [&](auto b) -> Chosen {
              return make.template operator()<A, typename decltype(b)::type>();
            }))
          return leaf;
        if constexpr (kEvaluatedBeside)
          return make.template operator()<A, Evaluated>();
        return nullptr;
      }))
    return chosen;
  return pick_inner<Chosen>(r, [&](auto b) -> Chosen {
    using B = typename decltype(b)::type;
    if (Chosen leaf = pick_leaf<Chosen>(l, op, [&](auto a) -> Chosen {
          return make.template operator()<typename decltype(a)::type, B>();
        }))
      return leaf;
    if constexpr (kEvaluatedBeside)
      return make.template operator()<Evaluated, B>();
    return nullptr;
  });
}

template <TokenKind Op> Evaluator fused_evaluator_for(const ExecExpr &e) {
  auto make = []<typename A, typename B>() -> Evaluator {
    return evaluate_pair<Op, A, B>;
  };
  return pick_pair<Evaluator, true>(e, make);
}

template <TokenKind Op> Condition fused_condition_for(const ExecExpr &e) {
  return pick_pair<Condition, false>(e, []<typename A, typename B>() -> Condition {
    return test_pair<Op, A, B>;
  });
}

} // namespace

Evaluator fused_evaluator(const ExecExpr &e) {
  // Warnings look at each operator's operands as it is evaluated.
  if (general_evaluators_only()) return nullptr;
  switch (e.op.kind) {
  case TokenKind::Plus: return fused_evaluator_for<TokenKind::Plus>(e);
  case TokenKind::Minus: return fused_evaluator_for<TokenKind::Minus>(e);
  case TokenKind::Star: return fused_evaluator_for<TokenKind::Star>(e);
  case TokenKind::Slash: return fused_evaluator_for<TokenKind::Slash>(e);
  case TokenKind::Percent: return fused_evaluator_for<TokenKind::Percent>(e);
  default: return nullptr;
  }
}

Condition fused_condition(const ExecExpr &e) {
  if (general_evaluators_only()) return nullptr;
  switch (e.op.kind) {
  case TokenKind::Equal: return fused_condition_for<TokenKind::Equal>(e);
  case TokenKind::NotEqual: return fused_condition_for<TokenKind::NotEqual>(e);
  case TokenKind::Less: return fused_condition_for<TokenKind::Less>(e);
  case TokenKind::Greater: return fused_condition_for<TokenKind::Greater>(e);
  case TokenKind::LessEqual: return fused_condition_for<TokenKind::LessEqual>(e);
  case TokenKind::GreaterEqual:
    return fused_condition_for<TokenKind::GreaterEqual>(e);
  default: return nullptr;
  }
}

} // namespace tovik
