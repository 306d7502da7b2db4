// The pieces the fast paths are built from must give what the slow forms
// gave: number formatting, lazily formatted texts, the moving parameter
// text and the variable tables with name ids.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "chars.h"
#include "lazytext.h"
#include "numbers.h"
#include "paramtext.h"
#include "variables.h"

namespace {

using namespace tilmor;

// The formatting as it was first written: printf after a tie test by
// repeated halving.
std::string ReferenceFormatFloat(double v, int width, int decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > 200) decimals = 200;
  std::string s;
  if (std::isnan(v)) {
    s = "NAN";
  } else if (std::isinf(v)) {
    s = v > 0 ? "INF" : "-INF";
  } else {
    int e2;
    double m = std::frexp(v, &e2);
    if (m != 0) {
      double mant = std::ldexp(m, 53);
      int e = e2 - 53;
      while (std::fmod(mant, 2.0) == 0) {
        mant /= 2;
        ++e;
      }
      if (e + decimals == -1) v = std::nextafter(v, v > 0 ? INFINITY : -INFINITY);
    }
    int n = std::snprintf(nullptr, 0, "%.*f", decimals, v);
    s.resize(static_cast<size_t>(n) + 1);
    std::snprintf(s.data(), s.size(), "%.*f", decimals, v);
    s.resize(static_cast<size_t>(n));
  }
  s = PadLeft(s, width);
  Cut255(s);
  return s;
}

TEST(FastFormatTest, FloatsAgreeWithPrintfOnMillionsOfValues) {
  std::mt19937_64 rng(20261208);
  std::uniform_int_distribution<int> dec(0, 12), wid(0, 20), scale(-12, 12);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  int checked = 0;
  for (int i = 0; i < 2'000'000; ++i) {
    double v;
    switch (i % 4) {
      case 0: v = unit(rng) * std::pow(10.0, scale(rng)); break;
      case 1: {  // exact binary fractions: the ties
        v = static_cast<double>(static_cast<int64_t>(rng() % 2000001) - 1000000) / (1 << (rng() % 12));
        break;
      }
      case 2: {  // any bit pattern that is a finite number
        uint64_t bits = rng();
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v) || std::fabs(v) > 1e30) v = unit(rng);
        break;
      }
      default: v = std::round(unit(rng) * 1e6) / 1000.0; break;
    }
    int d = dec(rng), w = wid(rng);
    ASSERT_EQ(FormatFloat(v, w, d), ReferenceFormatFloat(v, w, d)) << v << " " << w << " " << d;
    ++checked;
  }
  EXPECT_EQ(checked, 2'000'000);
}

TEST(FastFormatTest, FloatEdges) {
  for (double v : std::initializer_list<double>{0.0, -0.0, 0.5, -0.5, 1.5, 2.5, 0.125, -0.125, 1e300, -1e300, 5e-324, 2.2250738585072014e-308,
                   9007199254740993.0, 0.045, 1.005, double(INFINITY), -double(INFINITY), double(NAN)}) {
    for (int d : {0, 1, 2, 3, 6, 15, 200, 201, -1}) {
      for (int w : {0, 12, 300}) EXPECT_EQ(FormatFloat(v, w, d), ReferenceFormatFloat(v, w, d)) << v << " " << d;
    }
  }
  // Halves go away from zero.
  EXPECT_EQ(FormatFloat(0.5, 0, 0), "1");
  EXPECT_EQ(FormatFloat(-2.5, 0, 0), "-3");
  EXPECT_EQ(FormatFloat(0.125, 0, 2), "0.13");
}

TEST(FastFormatTest, LazyTextKeepsTheFormatOfItsMoment) {
  LazyText t;
  int width = 5, decimals = 2;
  t.SetWhole(42, width);
  t.SetFloat(1.5, width, decimals);
  width = 0;  // a later NUMWIDTH changes nothing already read
  decimals = 6;
  EXPECT_EQ(t.str(), " 1.50");
  LazyText copy = t;
  t = std::string("neu");
  EXPECT_EQ(copy.str(), " 1.50");
  EXPECT_EQ(t.str(), "neu");
  t.SetWhole(-7, 3);
  EXPECT_EQ(t.size(), 3u);
  EXPECT_EQ(t + "!", " -7!");
  t.clear();
  EXPECT_TRUE(t.empty());
}

TEST(FastParamTextTest, CutsTheFrontOfStableAndOwnedTexts) {
  const std::string line = "  A%, \"x\" ;B";
  ParamText p;
  p.SetStable(line, nullptr);
  p.TrimFront();
  EXPECT_EQ(p.offset(), 2u);
  EXPECT_EQ(p.find(','), 2u);
  p.erase(0, 3);
  p.Trim();
  EXPECT_EQ(p.view(), "\"x\" ;B");
  ParamText saved = p;
  p.clear();
  EXPECT_TRUE(p.empty());
  EXPECT_EQ(saved.view(), "\"x\" ;B");

  // An owned copy survives the text it came from and its own moves.
  ParamText owned;
  {
    std::string temp = "eins, zwei  ";
    owned = temp;
  }
  owned.erase(0, 5);
  ParamText moved = std::move(owned);
  ParamText copied = moved;
  moved.Trim();
  EXPECT_EQ(moved.view(), "zwei");
  EXPECT_EQ(copied.view(), " zwei  ");
  EXPECT_EQ(copied.decoded(), nullptr);
}

TEST(FastVariablesTest, LastAppendedWinsAndCutBackRestores) {
  VarTable<int32_t> t;
  int a = NameIds::Id("FAST_A%"), b = NameIds::Id("FAST_B%");
  EXPECT_EQ(NameIds::Id("FAST_A%"), a);
  EXPECT_EQ(NameIds::Name(a), "FAST_A%");
  EXPECT_EQ(t.Find(a), nullptr);
  ASSERT_TRUE(t.Append(a));
  *t.Find(a) = 1;
  ASSERT_TRUE(t.Append(b));
  *t.Find(b) = 2;
  ASSERT_TRUE(t.Append(a));  // a second declaration hides the first
  EXPECT_EQ(*t.Find(a), 0);
  *t.Find(a) = 3;
  EXPECT_EQ(*t.Find("FAST_A%"), 3);
  t.CutBack(2);
  EXPECT_EQ(*t.Find(a), 1);
  EXPECT_EQ(*t.Find(b), 2);
  t.CutBack(0);
  EXPECT_EQ(t.Find(a), nullptr);
  EXPECT_EQ(t.Find("FAST_NEVER%"), nullptr);
  EXPECT_EQ(NameIds::Known("FAST_NEVER%"), -1);
  for (int i = 0; i < kMaxVariables; ++i) ASSERT_TRUE(t.Append(b));
  EXPECT_FALSE(t.Append(a));
}

}  // namespace
