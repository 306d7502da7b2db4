// The bus names of DDE servers and whether a session bus is there.
#include <sys/stat.h>

#include <cstdlib>

#include "dde/dde.h"

namespace win {

std::string DdeServiceName(const std::string& raw) {
  size_t a = raw.find_first_not_of(' '), b = raw.find_last_not_of(' ');
  std::string app = a == std::string::npos ? std::string() : raw.substr(a, b - a + 1);
  std::string name;
  for (char c : app) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    name += ok ? c : '_';
  }
  if (name.empty()) return {};
  // A part of a bus name must not begin with a digit.
  if (name[0] >= '0' && name[0] <= '9') name.insert(name.begin(), '_');
  return "org.tilmor.dde." + name;
}

bool SessionBusAvailable() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || !*runtime) return false;
  struct stat st;
  std::string bus = std::string(runtime) + "/bus";
  return stat(bus.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace win
