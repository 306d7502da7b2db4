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

const bool g_fastPaths = !Flag("TILMOR_NOFAST");
const bool g_shadowChecks = Flag("TILMOR_SHADOW");

}  // namespace tilmor
