// libFuzzer target: arbitrary bytes as a compiled file for the reader, and
// as source lines for the writer. Neither may crash, and whatever the writer
// writes the reader must accept.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chars.h"
#include "loader.h"
#include "prepare.h"
#include "tmc_format.h"
#include "tmc_reader.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void Reader(std::string_view bytes) {
  tilmor::tmc::ReadResult r = tilmor::tmc::ReadProgram(bytes);
  Check(r.ok ? r.error == 0 && r.lines.count() <= tilmor::kMaxLines
             : (r.error == 905 || r.error == 906) && r.lines.count() == 0);
}

void Writer(std::string_view bytes) {
  tilmor::LineTable table;
  size_t i = 0;
  while (i <= bytes.size() && table.count() < 2000) {
    size_t e = bytes.find('\n', i);
    if (e == std::string_view::npos) e = bytes.size();
    std::string line(bytes.substr(i, std::min<size_t>(e - i, tilmor::kMaxLineLength)));
    table.slots.push_back(tilmor::Trim(line));
    i = e + 1;
  }
  tilmor::tmc::Encoder encoder(table);
  std::string file = tilmor::tmc::MakeHeader(nullptr);
  bool op = false;
  for (int n = 1; n <= table.count(); ++n) {
    tilmor::PreparedLine prep = tilmor::PrepareLine(table[n], op);
    if (tilmor::IsOperatorModeSwitch(prep.cmd)) op = prep.cmd[2] == '+';
    std::string content, error;
    if (!encoder.EncodeLine(n, prep, content, error)) {
      Check(!error.empty());
      break;
    }
    Check(!content.empty() && content.size() <= tilmor::tmc::kMaxContent);
    file += tilmor::tmc::MakeRecord(content, 0);
  }
  Check(tilmor::tmc::ReadProgram(file).ok);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Reader(bytes);
  Writer(bytes);
  return 0;
}
