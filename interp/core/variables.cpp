// The process-wide table of variable names and their ids.
#include "variables.h"

namespace tilmor {
namespace {

struct ViewHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct Names {
  std::unordered_map<std::string, int, ViewHash, std::equal_to<>> ids;
  std::vector<std::string> names;
};

Names& TheNames() {
  static Names n;
  return n;
}

}  // namespace

int NameIds::Id(std::string_view name) {
  Names& n = TheNames();
  auto [it, added] = n.ids.try_emplace(std::string(name), static_cast<int>(n.names.size()));
  if (added) n.names.emplace_back(name);
  return it->second;
}

int NameIds::Known(std::string_view name) {
  Names& n = TheNames();
  auto it = n.ids.find(name);
  return it == n.ids.end() ? -1 : it->second;
}

const std::string& NameIds::Name(int id) { return TheNames().names[static_cast<size_t>(id)]; }

}  // namespace tilmor
