#include "filefilter.h"

#include "toolcommands.h"

namespace ide {
namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t p = s.find(sep, start);
    parts.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) break;
    start = p + 1;
  }
  return parts;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

}  // namespace

std::vector<FilterEntry> ParseFilter(const std::string& filter) {
  std::vector<FilterEntry> out;
  std::vector<std::string> parts = Split(filter, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FilterEntry e;
    e.description = parts[i];
    for (const std::string& p : Split(parts[i + 1], ';'))
      if (!p.empty()) e.patterns.push_back(p);
    out.push_back(e);
  }
  return out;
}

std::string QtFilter(const std::string& filter) {
  std::string out;
  for (const FilterEntry& e : ParseFilter(filter)) {
    std::string patterns;
    for (const std::string& p : e.patterns) {
      std::vector<std::string> forms{p == "*.*" ? "*" : p};
      if (p != "*.*") {
        for (const std::string& f : {Lower(p), Upper(p)})
          if (f != forms[0]) forms.push_back(f);
      }
      for (const std::string& f : forms) patterns += (patterns.empty() ? "" : " ") + f;
    }
    std::string description = e.description;
    // "Tilmor-Dateien (*.tmf)": Qt takes the last parentheses as the patterns.
    size_t open = description.rfind('(');
    if (open != std::string::npos && description.back() == ')') description = description.substr(0, open);
    while (!description.empty() && description.back() == ' ') description.pop_back();
    if (!out.empty()) out += ";;";
    out += description + " (" + patterns + ")";
  }
  return out;
}

std::string WithDefaultExtension(const std::string& name, const std::string& defaultExt) {
  if (name.empty() || defaultExt.empty()) return name;
  if (FileNamePart(name).find('.') != std::string::npos) return name;
  return name + "." + defaultExt;
}

}  // namespace ide
