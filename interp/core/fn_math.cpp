// Math functions: @ABS .. @RGB, @ROUND, and the random generator that
// RANDOMIZE seeds.
#include <cmath>
#include <ctime>

#include "commands.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "numbers.h"

namespace tilmor {
namespace {

// The runtime's linear congruential generator: without RANDOMIZE every run
// draws the same sequence.
uint32_t g_seed = 0;

uint32_t NextRandom(uint32_t range) {
  g_seed = g_seed * 0x08088405u + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(g_seed) * range) >> 32);
}

void Math(Interp& in, double f) { SetResultFloat(in, f, TruncToInt32(f)); }

// Reads x, or raises 200 and yields 0 when `bad` says its value is invalid.
template <typename F, typename Bad>
void Unary(Interp& in, F f, Bad bad) {
  NumArg x = ReadNum(in, ')');
  if (bad(x.fval)) {
    RuntimeError(in, 200);
    return Math(in, 0.0);
  }
  Math(in, f(x.fval));
}

bool Never(double) { return false; }

void Abs(Interp& in) {
  NumArg x = ReadNum(in, ')');
  SetResultFloat(in, std::fabs(x.fval),
                 static_cast<int32_t>(x.lval < 0 ? 0u - static_cast<uint32_t>(x.lval) : static_cast<uint32_t>(x.lval)));
}

void Pow(Interp& in) {
  NumArg a = ReadNum(in, ','), b = ReadNum(in, ')');
  if (a.fval <= 0) {
    RuntimeError(in, 200);
    return Math(in, 0.0);
  }
  Math(in, std::exp(b.fval * std::log(a.fval)));
}

void Pi(Interp& in) { Math(in, 3.141592653589793); }

void Int(Interp& in) {
  NumArg x = ReadNum(in, ')');
  SetResultLong(in, kLong, TruncToInt32(x.fval));
}

void Rnd(Interp& in) {
  NumArg n = ReadNum(in, ')');
  int32_t r = n.lval > 0 ? static_cast<int32_t>(NextRandom(static_cast<uint32_t>(n.lval))) : 0;
  SetResultFloat(in, static_cast<int16_t>(r & 0xFFFF), r);
}

void Rgb(Interp& in) {
  NumArg r = ReadNum(in, ','), g = ReadNum(in, ','), b = ReadNum(in, ')');
  int32_t top = in.trueColor ? 255 : 31;
  auto limit = [top](int32_t c) { return c < 0 ? 0 : c > top ? top : c; };
  int32_t shift = in.trueColor ? 256 : 32;
  SetResultLong(in, kInteger, limit(r.ival) + shift * limit(g.ival) + shift * shift * limit(b.ival));
}

void Round(Interp& in) {
  NumArg x = ReadNum(in, ','), n = ReadNum(in, ')');
  double scale = std::pow(10.0, n.ival);
  // nearbyint rounds halves to the even neighbour in the default mode.
  Math(in, std::nearbyint(x.fval * scale) / scale);
}

}  // namespace

void CmdRandomize(Interp&, int) {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  g_seed = static_cast<uint32_t>(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

void RegisterMathFunctions() {
  RegisterFunction("ABS", Abs);
  RegisterFunction("SIN", [](Interp& in) { Unary(in, [](double x) { return std::sin(x); }, Never); });
  RegisterFunction("COS", [](Interp& in) { Unary(in, [](double x) { return std::cos(x); }, Never); });
  RegisterFunction("ARCTAN", [](Interp& in) { Unary(in, [](double x) { return std::atan(x); }, Never); });
  RegisterFunction("TAN", [](Interp& in) {
    Unary(in, [](double x) { return std::tan(x); }, [](double x) { return std::cos(x) == 0; });
  });
  RegisterFunction("COT", [](Interp& in) {
    Unary(in, [](double x) { return std::cos(x) / std::sin(x); }, [](double x) { return std::sin(x) == 0; });
  });
  RegisterFunction("EXP", [](Interp& in) { Unary(in, [](double x) { return std::exp(x); }, Never); });
  // The logarithm of 0 has no value either; it is refused like a negative one.
  RegisterFunction("LN", [](Interp& in) { Unary(in, [](double x) { return std::log(x); }, [](double x) { return x <= 0; }); });
  RegisterFunction("LG", [](Interp& in) { Unary(in, [](double x) { return std::log10(x); }, [](double x) { return x <= 0; }); });
  RegisterFunction("POW", Pow);
  RegisterFunction("SQR", [](Interp& in) { Unary(in, [](double x) { return x * x; }, Never); });
  RegisterFunction("SQRT", [](Interp& in) { Unary(in, [](double x) { return std::sqrt(x); }, [](double x) { return x < 0; }); });
  RegisterFunction("PI", Pi);
  RegisterFunction("INT", Int);
  RegisterFunction("RND", Rnd);
  RegisterFunction("RGB", Rgb);
  RegisterFunction("ROUND", Round);
}

}  // namespace tilmor
