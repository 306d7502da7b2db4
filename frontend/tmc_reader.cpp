#include "tmc_reader.h"

#include "chars.h"
#include "tmc_format.h"

namespace tilmor::tmc {
namespace {

uint8_t At(std::string_view s, size_t i) { return static_cast<uint8_t>(s[i]); }

bool IsTypeChar(uint8_t c) { return c == '$' || c == '%' || c == '&' || c == '!'; }

int LineAt(std::string_view s, size_t i) { return At(s, i) | (At(s, i + 1) << 8); }

class Decoder {
 public:
  Decoder(const std::vector<std::string>& contents, int n) : contents_(contents), n_(n) {}

  bool Record(std::string& line) {
    std::string_view c = contents_[static_cast<size_t>(n_ - 1)];
    if (c.empty()) return false;
    if (At(c, 0) != kCase && At(c, 0) != kCaseNot) return Statement(c.substr(0), line);

    std::string_view body = c.substr(1);
    size_t end;
    if (!ConditionEnd(body, end)) return false;
    std::string cond, rest;
    if (!Text(body.substr(0, end), cond) || !Statement(body.substr(end), rest)) return false;
    line = At(c, 0) == kCase ? "CASE" : "CASENOT";
    Join(line, cond);
    Join(line, rest);
    return true;
  }

  // Encoded parameter text back to text.
  bool Text(std::string_view s, std::string& out) const {
    size_t i = 0;
    while (i < s.size()) {
      uint8_t c = At(s, i);
      if (c == '"') {
        size_t close = s.find('"', i + 1);
        if (close == std::string_view::npos) return false;
        out.append(s.substr(i, close - i + 1));
        i = close + 1;
      } else if (c == '@') {
        if (i + 1 >= s.size()) return false;
        uint8_t code = At(s, i + 1);
        if (code == kUserRef) {
          if (i + 3 >= s.size()) return false;
          int line = LineAt(s, i + 2);
          if (line < 1 || line > n_) return false;
          out += "@FN" + std::to_string(line);
          i += 4;
        } else {
          const char* name = FunctionName(code);
          if (!name) return false;
          out += '@';
          out += name;
          i += 2;
        }
        // The writer always follows a function with its "(".
        if (i >= s.size() || s[i] != '(') return false;
      } else if (IsTypeChar(c) && i + 1 < s.size()) {
        const char* name = SystemVariableName(At(s, i + 1));
        if (name && static_cast<uint8_t>(name[0]) == c) {
          out += name;
          i += 2;
        } else {
          out += static_cast<char>(c);
          ++i;
        }
      } else {
        out += static_cast<char>(c);
        ++i;
      }
    }
    return true;
  }

 private:
  static void Join(std::string& line, const std::string& part) {
    if (part.empty()) return;
    if (!line.empty()) line += ' ';
    line += part;
  }

  // The condition of a CASE record ends after its first ":" at depth 0
  // outside strings; without one the record ends in the empty statement.
  static bool ConditionEnd(std::string_view s, size_t& end) {
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
      uint8_t c = At(s, i);
      if (depth == 0 && c == ':') {
        end = i + 1;
        return end < s.size();  // the statement byte follows
      }
      if (c == '"') {
        size_t q = s.find('"', i + 1);
        if (q == std::string_view::npos) return false;
        i = q;
      } else if (c == '@' && i + 1 < s.size() && At(s, i + 1) == kUserRef) {
        i += 3;  // the line number's bytes are no characters
      } else if (c == '(') {
        ++depth;
      } else if (c == ')') {
        --depth;
      }
    }
    if (s.empty() || At(s, s.size() - 1) != kNoOp) return false;
    end = s.size() - 1;
    return true;
  }

  bool Statement(std::string_view s, std::string& line) const {
    if (s.empty()) return false;
    uint8_t code = At(s, 0);
    std::string_view rest = s.substr(1);
    std::string params;
    switch (code) {
      case kNoOp:
        line.clear();
        return rest.empty();
      case kEndif:
        line = "ENDIF";
        return rest.empty();
      case kCallForm:
      case kLabel:
        return Text(rest, line);
      case kDef:
        line = "DEF";
        break;
      case kUserRef: {
        if (rest.size() < 2) return false;
        int target = LineAt(rest, 0);
        rest = rest.substr(2);
        if (target < 1 || target >= n_) return false;
        std::string_view proc = contents_[static_cast<size_t>(target - 1)];
        if (proc.empty() || At(proc, 0) != CommandCode("PROC")) return false;
        Decoder at(contents_, target);
        std::string name;
        if (!at.Text(proc.substr(1), name)) return false;
        line = Trim(name);
        if (line.empty()) return false;  // a PROC line without name is never called
        break;
      }
      default: {
        const char* name = CommandName(code);
        if (!name) return false;
        line = name;
        break;
      }
    }
    if (!Text(rest, params)) return false;
    Join(line, params);
    return true;
  }

  const std::vector<std::string>& contents_;
  int n_;
};

}  // namespace

bool SplitRecords(std::string_view body, uint8_t key, std::vector<std::string>& contents) {
  contents.clear();
  size_t i = 0;
  while (i < body.size()) {
    size_t len = At(body, i);
    ++i;
    // The writer never writes an empty record: every line has its command byte.
    if (len == 0 || len > body.size() - i) return false;
    if (contents.size() >= static_cast<size_t>(kMaxLines)) return false;
    std::string c(body.substr(i, len));
    for (char& ch : c) ch = static_cast<char>(static_cast<uint8_t>(ch) ^ key);
    contents.push_back(std::move(c));
    i += len;
  }
  return true;
}

bool DecodeRecord(const std::vector<std::string>& contents, int n, std::string& line) {
  line.clear();
  if (n < 1 || static_cast<size_t>(n) > contents.size()) return false;
  return Decoder(contents, n).Record(line);
}

ReadResult ReadProgram(std::string_view bytes) {
  ReadResult r;
  if (bytes.size() < kSignatureOffset + kSignature.size() ||
      bytes.substr(kSignatureOffset, kSignature.size()) != kSignature) {
    r.error = 905;
    return r;
  }
  r.error = 906;
  if (bytes.size() < kHeaderSize) return r;
  r.key = KeyOf(bytes.substr(0, kHeaderSize));
  std::vector<std::string> contents;
  if (!SplitRecords(bytes.substr(kHeaderSize), r.key, contents)) return r;
  r.lines.slots.reserve(contents.size() + 1);
  for (int n = 1; n <= static_cast<int>(contents.size()); ++n) {
    std::string line;
    if (!DecodeRecord(contents, n, line)) {
      r.lines = LineTable{};
      return r;
    }
    r.lines.slots.push_back(std::move(line));
  }
  r.ok = true;
  r.error = 0;
  return r;
}

}  // namespace tilmor::tmc
