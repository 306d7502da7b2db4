// The switches of the fast paths, read once from the environment.
#include <cstdlib>

#include "decode.h"

namespace tilmor {
namespace {

bool Flag(const char* name) {
  const char* v = std::getenv(name);
  return v && *v && *v != '0';
}

}  // namespace

bool FastPathsOn() {
  static const bool on = !Flag("TILMOR_NOFAST");
  return on;
}

bool ShadowChecks() {
  static const bool on = Flag("TILMOR_SHADOW");
  return on;
}

}  // namespace tilmor
