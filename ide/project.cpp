#include "project.h"

#include <fstream>
#include <sstream>

#include "winpath.h"

namespace ide {

ProjectFile ParseProject(const std::string& text) {
  ProjectFile p;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;  // no file has an empty name
    if (line[0] == '$') {
      std::string value = line.size() > 3 ? line.substr(3) : std::string();
      if (line.size() > 1 && line[1] == 'P')
        p.workdir = value;
      else if (line.size() > 1 && line[1] == '3')
        p.runtime = value;
      continue;
    }
    p.files.push_back(line);
  }
  return p;
}

std::string FormatProject(const std::string& runtime, const std::string& workdir,
                          const std::vector<std::string>& files) {
  std::string out = "$3=" + runtime + "\r\n$P=" + workdir + "\r\n";
  for (const std::string& f : files) out += f + "\r\n";
  return out;
}

std::optional<std::string> ReadProjectText(const std::string& name) {
  std::string host = win::HostPath(name);
  if (host.empty() || !win::FileExists(name)) return std::nullopt;
  std::ifstream f(host, std::ios::binary);
  if (!f) return std::nullopt;
  std::ostringstream s;
  s << f.rdbuf();
  if (f.bad()) return std::nullopt;
  return s.str();
}

bool WriteProjectText(const std::string& name, const std::string& text) {
  std::string host = win::HostPath(name);
  if (host.empty()) return false;
  std::ofstream f(host, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  f << text;
  f.close();
  return !f.fail();
}

}  // namespace ide
