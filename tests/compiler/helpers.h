// Shared pieces of the compiler tests: a scratch directory, a recording
// compiler surface, expected files written as hex.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "../common/scratch_dir.h"
#include "compiler.h"
#include "loader.h"
#include "prepare.h"
#include "tmc_format.h"

namespace tmctest {

namespace fs = std::filesystem;

inline std::string ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

// Hex bytes and '...' runs of literal characters; "#" starts a comment.
inline std::string ParseHex(const std::string& text) {
  std::string out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    for (size_t i = 0; i < line.size();) {
      char c = line[i];
      if (c == '#') break;
      if (c == '\'') {
        size_t close = line.find('\'', i + 1);
        if (close == std::string::npos) throw std::runtime_error("open quote in: " + line);
        out += line.substr(i + 1, close - i - 1);
        i = close + 1;
      } else if (std::isxdigit(static_cast<unsigned char>(c))) {
        out += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
        i += 2;
      } else {
        ++i;
      }
    }
  }
  return out;
}

// Runs a test inside a fresh directory with its own Windows directory.
class ScratchDir : public testsupport::ScratchDir {
 public:
  ScratchDir() : testsupport::ScratchDir("tmc_test", Windows::Subdirectory) {}
  void Write(const std::string& name, const std::string& text) const { WriteBytes(path() + "/" + name, text); }
};

struct Box {
  std::string text, title;
  UINT type;
};

// Records what the compiler shows.
class FakeUi : public tilmor::comp::CompilerUi {
 public:
  void OpenProgress() override { ++opened; }
  void TextAt(int column, int row, const std::string& text) override { texts.emplace_back(column, row, text); }
  void CloseProgress() override { ++closed; }
  std::string ChooseSource() override {
    ++dialogs;
    return chosen;
  }
  void Box(const std::string& text, const std::string& title, UINT type) override {
    boxes.push_back({text, title, type});
  }

  int opened = 0, closed = 0, dialogs = 0;
  std::string chosen;  // the dialog's answer; "" cancels
  std::vector<std::tuple<int, int, std::string>> texts;
  std::vector<tmctest::Box> boxes;
};

// Prepares and encodes every line the way the compiler does; the contents,
// or the failing line and its error.
struct Encoded {
  std::vector<std::string> contents;
  int errorLine = 0;
  std::string error;
};

inline tilmor::LineTable Table(const std::vector<std::string>& lines) {
  tilmor::LineTable t;
  for (const std::string& l : lines) t.slots.push_back(l);
  return t;
}

inline Encoded EncodeAll(const tilmor::LineTable& table) {
  Encoded e;
  tilmor::tmc::Encoder encoder(table);
  bool op = false;
  for (int n = 1; n <= table.count(); ++n) {
    tilmor::PreparedLine prep = tilmor::PrepareLine(table[n], op);
    if (tilmor::IsOperatorModeSwitch(prep.cmd)) op = prep.cmd[2] == '+';
    std::string content;
    if (!encoder.EncodeLine(n, prep, content, e.error)) {
      e.errorLine = n;
      return e;
    }
    e.contents.push_back(content);
  }
  return e;
}

inline Encoded EncodeAll(const std::vector<std::string>& lines) { return EncodeAll(Table(lines)); }

}  // namespace tmctest
