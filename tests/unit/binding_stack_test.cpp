#include <gtest/gtest.h>

#include "interpreter/binding_stack.h"

namespace tovik {
namespace {

uint32_t references(const Value &v) { return v.object()->refcount; }

// `count` entries, one per symbol from 0, each holding `held`.
void fill(BindingStack &stack, const Value &held, Symbol count) {
  stack.reserve(count);
  for (Symbol s = 0; s < count; ++s) stack.push(s, -1, nullptr, held);
}

TEST(BindingStack, GrowingKeepsEntriesAndTheirReferences) {
  Value held = Value::array({Value::number(7)});
  BindingStack stack;
  fill(stack, held, 2);
  EXPECT_EQ(references(held), 3u);
  stack.reserve(1000);
  ASSERT_EQ(stack.size(), 2u);
  EXPECT_GE(stack.room(), 998u);
  EXPECT_EQ(references(held), 3u); // none leaked or dropped on the way
  EXPECT_EQ(stack[1].symbol, 1u);
  EXPECT_EQ(stack[1].value.object(), held.object());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(stack.data()) % alignof(LocalBinding), 0u);
}

TEST(BindingStack, TruncatingAndDestroyingLetValuesGo) {
  Value held = Value::string(std::string(64, 'x'));
  {
    BindingStack stack;
    fill(stack, held, 4);
    EXPECT_EQ(references(held), 5u);
    stack.truncate(1);
    EXPECT_EQ(stack.size(), 1u);
    EXPECT_EQ(references(held), 2u);
    EXPECT_EQ(stack.from(0).size(), 1u);
  }
  EXPECT_EQ(references(held), 1u);
}

} // namespace
} // namespace tovik
