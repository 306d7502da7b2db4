// DEF bodies beginning with "*": 16-bit DLL functions, called by the helper
// program TILM16 through a parameter file and a marker file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "areas.h"
#include "argreader.h"
#include "chars.h"
#include "dll_calls.h"
#include "errors.h"
#include "file_slots.h"
#include "fnargs.h"
#include "interrupt.h"
#include "mainwindow.h"
#include "process.h"
#include "ticks.h"
#include "winpath.h"

namespace tilmor {
namespace {

// The tick count, raised above the number used last.
uint64_t UniqueNumber() {
  static uint64_t last = 0;
  uint64_t n = GetTickCount64();
  if (n <= last) n = last + 1;
  last = n;
  return n;
}

void PutLe(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
}

uint32_t GetLe(const std::string& data, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i)
    if (at + i < data.size()) v |= static_cast<uint32_t>(static_cast<uint8_t>(data[at + i])) << (8 * i);
  return v;
}

// The area whose block starts at that address.
Area* AreaAtAddress(Interp& in, int32_t value) {
  Area* a = AreaContaining(in, static_cast<uint32_t>(value));
  return a && a->address == static_cast<uint32_t>(value) ? a : nullptr;
}

bool ReadWhole(const std::string& path, std::string* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  out->clear();
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
  std::fclose(f);
  return true;
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Programs started for earlier calls that went on after their marker.
std::vector<int>& Unreaped() {
  static std::vector<int> pids;
  return pids;
}

}  // namespace

void CallThroughTilm16(Interp& in, const std::string& body, int argCount) {
  for (auto it = Unreaped().begin(); it != Unreaped().end();)
    it = win::ProcessEnded(*it) ? Unreaped().erase(it) : it + 1;

  in.param = body.substr(1);
  std::string dll = ReadText(in, ',');
  std::string fn = ReadText(in, ',');
  std::string desc = ReadText(in, ',');
  std::string rest = Trim(std::string_view(in.param));
  std::string resultType = !rest.empty() && rest[0] == '"' ? ReadText(in, ' ') : rest;
  SetLongResult(in, 0);
  if (static_cast<int>(desc.size()) != argCount) return RuntimeError(in, 245);
  for (char c : desc)
    if (c != '%' && c != '&' && c != '#') return RuntimeError(in, 246);

  char digits[16];
  std::snprintf(digits, sizeof digits, "%07llu", static_cast<unsigned long long>(UniqueNumber() % 10000000u));
  std::string name = std::string("P") + digits + ".$";
  std::string full = win::FullPathName(name);
  std::string host = win::HostPath(full);

  // Per parameter: "%" 2 bytes, "&" 4 bytes, "#" the area's size and bytes.
  std::string data;
  std::vector<std::pair<size_t, Area*>> areas;
  for (int i = 0; i < argCount; ++i) {
    int32_t v = in.slots[static_cast<size_t>(i + 1)].lval;
    if (desc[static_cast<size_t>(i)] == '%') {
      PutLe(data, static_cast<uint32_t>(v), 2);
    } else if (desc[static_cast<size_t>(i)] == '&') {
      PutLe(data, static_cast<uint32_t>(v), 4);
    } else {
      Area* a = AreaAtAddress(in, v);
      areas.emplace_back(data.size(), a);
      uint32_t size = a ? static_cast<uint32_t>(a->size) : 0;
      PutLe(data, size, 4);
      if (a) data.append(reinterpret_cast<const char*>(a->block), size);
    }
  }
  size_t resultSlot = data.size();
  int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
    if (fd >= 0) close(fd);
    unlink(host.c_str());
    return Warning(in, 247, dll);
  }
  close(fd);

  std::string line = "TILM16 " + dll + "|" + fn + "|" + desc + "|" + resultType + " " + full;
  uint32_t error = 0;
  int pid = win::StartWatched(line, SelfDirectory(in), false, &error);
  std::string marker = host + "!";
  // The files go and the helper is reaped however the call ends, a quit
  // while waiting included.
  struct Cleanup {
    const std::string &host, &marker;
    int& pid;
    ~Cleanup() {
      unlink(marker.c_str());
      unlink(host.c_str());
      if (pid > 0) Unreaped().push_back(pid);
    }
  } cleanup{host, marker, pid};
  bool arrived = false;
  if (pid > 0) {
    // The helper writes the marker when it is done; when it ends without
    // one, nothing more will come.
    for (;;) {
      if (Exists(marker)) {
        arrived = true;
        break;
      }
      if (win::ProcessEnded(pid)) {
        arrived = Exists(marker);
        pid = 0;
        break;
      }
      if (win::InterruptRequested()) throw ProgramEnd{kExitAborted};
      PumpMessages(in);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  if (!arrived) return Warning(in, 247, dll);

  std::string back;
  ReadWhole(host, &back);
  for (auto& [at, a] : areas) {
    uint32_t size = GetLe(back, at);
    if (!a || at + 4 > back.size()) continue;
    size_t n = std::min<size_t>({size, static_cast<size_t>(a->size) + 1, back.size() - at - 4});
    std::copy(back.begin() + static_cast<std::ptrdiff_t>(at + 4),
              back.begin() + static_cast<std::ptrdiff_t>(at + 4 + n), a->block);
  }
  int32_t result = static_cast<int32_t>(GetLe(back, resultSlot));
  SetLongResult(in, resultType == "%" || resultType == "&" ? result : 0);
}

}  // namespace tilmor
