// The text form of a value that may still be a number: formatted only when
// something reads it, with the width and decimals in force when the value
// was read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tilmor {

class LazyText {
 public:
  LazyText() = default;
  LazyText(std::string s) : s_(std::move(s)) {}
  LazyText& operator=(const std::string& s) {
    s_ = s;
    kind_ = kReady;
    return *this;
  }
  LazyText& operator=(std::string&& s) {
    s_ = std::move(s);
    kind_ = kReady;
    return *this;
  }
  LazyText& operator=(std::string_view s) {
    s_.assign(s.data(), s.size());
    kind_ = kReady;
    return *this;
  }
  LazyText& operator=(const char* s) { return *this = std::string_view(s); }

  void SetWhole(int32_t v, int32_t width) {
    kind_ = kWhole;
    whole_ = v;
    width_ = width;
  }
  void SetFloat(double v, int32_t width, int32_t decimals) {
    kind_ = kFloat;
    float_ = v;
    width_ = width;
    decimals_ = decimals;
  }

  const std::string& str() const {
    if (kind_ != kReady) Materialize();
    return s_;
  }
  operator const std::string&() const { return str(); }
  operator std::string_view() const { return str(); }

  bool empty() const { return str().empty(); }
  size_t size() const { return str().size(); }
  const char* c_str() const { return str().c_str(); }
  const char* data() const { return str().data(); }
  char operator[](size_t i) const { return str()[i]; }
  char back() const { return str().back(); }
  char front() const { return str().front(); }
  std::string substr(size_t pos, size_t n = std::string::npos) const { return str().substr(pos, n); }
  size_t find(char c, size_t from = 0) const { return str().find(c, from); }
  void clear() {
    s_.clear();
    kind_ = kReady;
  }
  LazyText& operator+=(std::string_view s) {
    str();
    s_.append(s.data(), s.size());
    return *this;
  }
  friend bool operator==(const LazyText& a, std::string_view b) { return a.str() == b; }
  friend std::string operator+(const LazyText& a, std::string_view b) {
    std::string s = a.str();
    s.append(b.data(), b.size());
    return s;
  }

 private:
  void Materialize() const;
  enum : uint8_t { kReady, kWhole, kFloat };
  mutable std::string s_;
  mutable uint8_t kind_ = kReady;
  int32_t whole_ = 0;
  int32_t width_ = 0;
  int32_t decimals_ = 0;
  double float_ = 0.0;
};

}  // namespace tilmor
