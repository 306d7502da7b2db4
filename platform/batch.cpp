#include "batch.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <sstream>

#include "codepage.h"
#include "wintypes.h"

namespace win {
namespace {

bool g_batch = false;
std::deque<BatchAction> g_actions;

int AnswerId(const std::string& word) {
  static const struct {
    const char* name;
    int id;
  } kNames[] = {{"OK", IDOK},       {"CANCEL", IDCANCEL}, {"YES", IDYES},      {"NO", IDNO},
                {"ABORT", IDABORT}, {"RETRY", IDRETRY},   {"IGNORE", IDIGNORE}};
  std::string up;
  for (char c : word) up += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  for (const auto& n : kNames)
    if (up == n.name) return n.id;
  if (!word.empty() && word.find_first_not_of("0123456789") == std::string::npos && word.size() < 9)
    return std::stoi(word);
  return -1;
}

// A quoted text; `typing` also takes the escapes \r, \t and \b, `lines`
// also \n for a line break (CR LF) in a multi-line edit.
bool ParseQuoted(std::string_view s, std::string& out, bool typing = false, bool lines = false) {
  if (s.size() < 2 || s.front() != '"' || s.back() != '"') return false;
  out.clear();
  for (size_t i = 1; i + 1 < s.size(); ++i) {
    char c = s[i];
    if (c == '\\' && i + 2 < s.size() && (s[i + 1] == '"' || s[i + 1] == '\\')) {
      out += s[++i];
    } else if (typing && c == '\\' && i + 2 < s.size() && (s[i + 1] == 'r' || s[i + 1] == 't' || s[i + 1] == 'b')) {
      char e = s[++i];
      out += e == 'r' ? '\r' : e == 't' ? '\t' : '\b';
    } else if (lines && c == '\\' && i + 2 < s.size() && s[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else if (c == '"') {
      return false;
    } else {
      out += c;
    }
  }
  return true;
}

// Whole numbers separated by blanks; false unless exactly `count` of them.
bool ParseNumbers(std::string_view s, int count, int* out, std::string* rest = nullptr) {
  std::istringstream in{std::string(s)};
  for (int i = 0; i < count; ++i) {
    long v;
    if (!(in >> v) || v < -100000 || v > 100000000) return false;
    out[i] = static_cast<int>(v);
  }
  std::string tail;
  std::getline(in, tail);
  size_t a = tail.find_first_not_of(" \t");
  if (rest) {
    *rest = a == std::string::npos ? "" : tail.substr(a);
    return true;
  }
  return a == std::string::npos;
}

void WriteAll(FILE* f, const std::string& s) {
  std::fwrite(s.data(), 1, s.size(), f);
  std::fflush(f);
}

}  // namespace

bool HasDisplay() {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* v = std::getenv(name);
    if (v && *v) return true;
  }
  return false;
}

void SetBatchMode(bool on) { g_batch = on; }
bool IsBatchMode() { return g_batch; }

namespace {
unsigned long long g_batchClock = 0;
}  // namespace

unsigned long long BatchClock() { return g_batchClock; }
void AdvanceBatchClock(unsigned long long ms) { g_batchClock += ms; }

bool ParseBatchScript(std::string_view text, std::string* error) {
  std::deque<BatchAction> actions;
  std::istringstream in{std::string(text)};
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t a = line.find_first_not_of(" \t");
    if (a == std::string::npos || line[a] == '#') continue;
    size_t b = line.find_last_not_of(" \t");
    std::string_view body = std::string_view(line).substr(a, b - a + 1);
    size_t sp = body.find_first_of(" \t");
    std::string word(body.substr(0, sp));
    std::string_view rest;
    if (sp != std::string_view::npos) {
      rest = body.substr(sp);
      rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    }
    BatchAction act;
    bool ok = true;
    if (word == "answer") {
      act.kind = ActionKind::Answer;
      act.answer = AnswerId(std::string(rest));
      ok = act.answer >= 0;
    } else if (word == "file") {
      act.kind = ActionKind::File;
      act.value = Utf8ToCp1252(rest);
      ok = !rest.empty();
    } else if (word == "text") {
      act.kind = ActionKind::Text;
      std::string v;
      ok = ParseQuoted(rest, v);
      act.value = Utf8ToCp1252(v);
    } else if (word == "cancel") {
      act.kind = ActionKind::Cancel;
      ok = rest.empty();
    } else if (word == "type") {
      std::string v;
      ok = ParseQuoted(rest, v, true);
      // Each character is one input action of its own.
      std::string chars = Utf8ToCp1252(v);
      for (size_t k = 0; ok && k + 1 < chars.size(); ++k) {
        BatchAction c;
        c.kind = ActionKind::Type;
        c.value = std::string(1, chars[k]);
        actions.push_back(std::move(c));
      }
      act.kind = ActionKind::Type;
      act.value = chars.empty() ? std::string() : std::string(1, chars.back());
      if (chars.empty()) continue;
    } else if (word == "key") {
      act.kind = ActionKind::Key;
      ok = ParseNumbers(rest, 1, &act.x) && act.x > 0 && act.x < 256;
    } else if (word == "click") {
      int xy[2];
      std::string button;
      ok = ParseNumbers(rest, 2, xy, &button) && (button.empty() || button == "left" || button == "right");
      act.kind = ActionKind::Click;
      act.x = xy[0], act.y = xy[1];
      act.right = button == "right";
    } else if (word == "move" || word == "resize") {
      int xy[2];
      ok = ParseNumbers(rest, 2, xy);
      act.kind = word == "move" ? ActionKind::Move : ActionKind::Resize;
      act.x = xy[0], act.y = xy[1];
    } else if (word == "close") {
      act.kind = ActionKind::Close;
      ok = rest.empty();
    } else if (word == "wait") {
      act.kind = ActionKind::Wait;
      ok = ParseNumbers(rest, 1, &act.x) && act.x >= 0;
    } else if (word == "press") {
      act.kind = ActionKind::Press;
      ok = ParseNumbers(rest, 1, &act.id);
    } else if (word == "settext") {
      act.kind = ActionKind::SetText;
      std::string quoted;
      std::string v;
      ok = ParseNumbers(rest, 1, &act.id, &quoted) && ParseQuoted(quoted, v, true, true);
      act.value = Utf8ToCp1252(v);
    } else if (word == "select" || word == "dblclick" || word == "scroll") {
      act.kind = word == "select" ? ActionKind::Select : word == "dblclick" ? ActionKind::DblClick : ActionKind::Scroll;
      int v[2];
      ok = ParseNumbers(rest, 2, v) && (act.kind == ActionKind::Scroll || v[1] >= 0);
      act.id = v[0], act.index = v[1];
    } else if (word == "choose") {
      act.kind = ActionKind::Choose;
      std::string v;
      if (!rest.empty() && rest.front() == '"') {
        ok = ParseQuoted(rest, v);
        act.value = Utf8ToCp1252(v);
        act.byText = true;
      } else {
        ok = ParseNumbers(rest, 1, &act.index) && act.index >= 0;
      }
    } else if (word == "menu") {
      act.kind = ActionKind::Menu;
      act.none = rest == "none";
      ok = act.none || ParseNumbers(rest, 1, &act.id);
    } else if (word == "dir") {
      act.kind = ActionKind::Dir;
      act.value = Utf8ToCp1252(rest);
      ok = !rest.empty();
    } else {
      ok = false;
    }
    if (!ok) {
      if (error) *error = "script line " + std::to_string(number) + ": " + line;
      return false;
    }
    actions.push_back(std::move(act));
  }
  g_actions = std::move(actions);
  return true;
}

bool LoadBatchScript(const std::string& path, std::string* error) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    if (error) *error = "cannot read script " + path;
    return false;
  }
  std::ostringstream ss;
  ss << f.rdbuf();
  return ParseBatchScript(ss.str(), error);
}

void ClearBatchScript() { g_actions.clear(); }

bool IsInputAction(ActionKind k) { return k >= ActionKind::Type; }

std::optional<BatchAction> TakeInputAction() {
  for (auto it = g_actions.begin(); it != g_actions.end(); ++it) {
    if (!IsInputAction(it->kind)) continue;
    BatchAction act = std::move(*it);
    g_actions.erase(it);
    return act;
  }
  return std::nullopt;
}

const BatchAction* PeekNextAction() { return g_actions.empty() ? nullptr : &g_actions.front(); }

std::optional<BatchAction> TakeNextAction() {
  if (g_actions.empty()) return std::nullopt;
  BatchAction act = std::move(g_actions.front());
  g_actions.pop_front();
  return act;
}

std::string DescribeAction(const BatchAction& a) {
  auto quoted = [](const std::string& v) {
    std::string out = "\"";
    for (char c : Cp1252ToUtf8(v)) {
      if (c == '\r') continue;
      if (c == '\n') out += "\\n";
      else if (c == '"' || c == '\\') out += std::string("\\") + c;
      else out += c;
    }
    return out + "\"";
  };
  auto n = [](int v) { return std::to_string(v); };
  switch (a.kind) {
    case ActionKind::Answer: return "answer " + n(a.answer);
    case ActionKind::File: return "file " + Cp1252ToUtf8(a.value);
    case ActionKind::Text: return "text " + quoted(a.value);
    case ActionKind::Cancel: return "cancel";
    case ActionKind::Choose: return "choose " + (a.byText ? quoted(a.value) : n(a.index));
    case ActionKind::Dir: return "dir " + Cp1252ToUtf8(a.value);
    case ActionKind::Type: return "type " + quoted(a.value);
    case ActionKind::Key: return "key " + n(a.x);
    case ActionKind::Click: return "click " + n(a.x) + " " + n(a.y) + (a.right ? " right" : "");
    case ActionKind::Move: return "move " + n(a.x) + " " + n(a.y);
    case ActionKind::Resize: return "resize " + n(a.x) + " " + n(a.y);
    case ActionKind::Close: return "close";
    case ActionKind::Wait: return "wait " + n(a.x);
    case ActionKind::Press: return "press " + n(a.id);
    case ActionKind::SetText: return "settext " + n(a.id) + " " + quoted(a.value);
    case ActionKind::Select: return "select " + n(a.id) + " " + n(a.index);
    case ActionKind::DblClick: return "dblclick " + n(a.id) + " " + n(a.index);
    case ActionKind::Scroll: return "scroll " + n(a.id) + " " + n(a.index);
    case ActionKind::Menu: return a.none ? "menu none" : "menu " + n(a.id);
  }
  return {};
}

void ReportUnfitAction(const BatchAction& a) { WriteAll(stderr, "[BATCH] " + DescribeAction(a) + "\n"); }

std::optional<BatchAction> TakeBatchAction(std::initializer_list<ActionKind> fits) {
  for (auto it = g_actions.begin(); it != g_actions.end(); ++it) {
    if (IsInputAction(it->kind)) continue;
    bool fit = it->kind == ActionKind::Cancel;
    for (ActionKind k : fits) fit = fit || it->kind == k;
    if (fit) {
      BatchAction act = std::move(*it);
      g_actions.erase(it);
      return act;
    }
  }
  return std::nullopt;
}

void WriteConsoleText(std::string_view text) {
  WriteAll(stdout, Cp1252ToUtf8(text));
}

std::string FormatBoxLine(std::string_view title, std::string_view text) {
  std::string flat;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      flat += " | ";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      flat += c;
    }
  }
  return "[" + Cp1252ToUtf8(title) + "] " + Cp1252ToUtf8(flat) + "\n";
}

void WriteBoxLine(std::string_view title, std::string_view text) {
  WriteAll(stderr, FormatBoxLine(title, text));
}

}  // namespace win
