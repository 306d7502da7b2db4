// Windows file-dialog filters ("Text|*.txt;*.asc|Alle|*.*") in Qt's form.
#pragma once

#include <string>
#include <vector>

namespace ide {

struct FilterEntry {
  std::string description;
  std::vector<std::string> patterns;  // as written
};

std::vector<FilterEntry> ParseFilter(const std::string& filter);

// "Description (patterns)" entries joined by ";;". Patterns match in either
// case as on Windows ("*.tmf" also "*.TMF"), "*.*" matches every name. A
// description's own parentheses at its end give way to the patterns.
std::string QtFilter(const std::string& filter);

// The extension a save dialog adds: `defaultExt` unless the name already
// has one.
std::string WithDefaultExtension(const std::string& name, const std::string& defaultExt);

}  // namespace ide
