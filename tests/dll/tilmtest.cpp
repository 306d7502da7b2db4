// A small shared library for the tests of DLL calls: its functions show
// which arguments arrived in which order, read and write memory the
// program passes, and count their calls while the library stays loaded.
#include <cstdint>
#include <cstring>

extern "C" {

int tm_add(int a, int b) { return a + b; }

int tm_neg(int a) { return -a; }

int tm_none(void) { return 4711; }

// Each argument weighted by its position: a wrong order or a lost
// argument gives another sum.
int tm_sum12(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8, int a9, int a10,
             int a11, int a12) {
  return a1 + 2 * a2 + 3 * a3 + 4 * a4 + 5 * a5 + 6 * a6 + 7 * a7 + 8 * a8 + 9 * a9 + 10 * a10 +
         11 * a11 + 12 * a12;
}

// More than 32 bits come back; the caller keeps the low half.
long long tm_wide(void) { return 0x123456789LL; }

// A long parameter: a negative 32-bit value must arrive sign-extended.
long tm_long(long v) { return v < 0 ? 1 : 0; }

int tm_strlen(const char* s) { return s ? static_cast<int>(std::strlen(s)) : -1; }

// Writes n letters A, B, C ... and a zero into buf.
int tm_fill(char* buf, int n) {
  for (int i = 0; i < n; ++i) buf[i] = static_cast<char>('A' + i % 26);
  buf[n] = 0;
  return n;
}

// Adds 1 to the 32-bit value at p; the new value.
int tm_inc(int32_t* p) { return ++*p; }

static int g_calls = 0;
int tm_calls(void) { return ++g_calls; }

}
