// The variable tables: last appended wins, cut-back uncovers hidden names,
// 499 entries at most.
#include <gtest/gtest.h>

#include "variables.h"

namespace tilmor {
namespace {

TEST(VarTable, LastAppendedWinsAndCutBackUncoversHiddenEntries) {
  VarTable<int32_t> t;
  ASSERT_TRUE(t.Append("A%"));
  *t.Find("A%") = 1;
  ASSERT_TRUE(t.Append("B%"));
  int mark = t.count();
  ASSERT_TRUE(t.Append("A%"));  // a procedure's own A%
  *t.Find("A%") = 2;
  EXPECT_EQ(*t.Find("A%"), 2);
  EXPECT_EQ(t.count(), 3);
  t.CutBack(mark);
  EXPECT_EQ(*t.Find("A%"), 1);  // the outer one again, unchanged
  EXPECT_NE(t.Find("B%"), nullptr);
  t.CutBack(1);
  EXPECT_EQ(t.Find("B%"), nullptr);
  EXPECT_EQ(*t.Find("A%"), 1);
  t.CutBack(0);
  EXPECT_EQ(t.Find("A%"), nullptr);
  EXPECT_EQ(t.Find("a%"), nullptr) << "names compare exactly; callers upper-case";
}

TEST(VarTable, HoldsAtMost499Entries) {
  VarTable<std::string> t;
  for (int i = 0; i < kMaxVariables; ++i) ASSERT_TRUE(t.Append("S" + std::to_string(i) + "$"));
  EXPECT_TRUE(t.full());
  EXPECT_FALSE(t.Append("X$"));
  EXPECT_EQ(t.Find("X$"), nullptr);
  EXPECT_EQ(t.count(), kMaxVariables);
  t.CutBack(kMaxVariables - 1);
  EXPECT_TRUE(t.Append("X$"));
  EXPECT_NE(t.Find("X$"), nullptr);
}

TEST(VarTable, ManyShadowsOfOneNameStayOrdered) {
  VarTable<double> t;
  for (int i = 0; i < 100; ++i) {
    t.Append("F!");
    *t.Find("F!") = i;
  }
  for (int i = 99; i >= 0; --i) {
    EXPECT_EQ(*t.Find("F!"), i);
    t.CutBack(i);
  }
  EXPECT_EQ(t.Find("F!"), nullptr);
}

}  // namespace
}  // namespace tilmor
