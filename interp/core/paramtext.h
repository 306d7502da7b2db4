// The parameter text of the current line. Arguments are cut off its front
// over and over, so it is a view that moves forward: into a text that stays
// put for the whole run (a prepared line, a DEF body; such a text has a
// decode cache), or into its own copy for a text made on the fly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tilmor {

struct DecodedText;

class ParamText {
 public:
  ParamText() = default;
  ParamText(const ParamText& o) { Assign(o); }
  ParamText& operator=(const ParamText& o) {
    if (this != &o) Assign(o);
    return *this;
  }
  ParamText(ParamText&& o) noexcept { Assign(o); }
  ParamText& operator=(ParamText&& o) noexcept {
    if (this != &o) Assign(o);
    return *this;
  }
  ParamText& operator=(std::string_view s) {
    own_.assign(s.data(), s.size());
    p_ = own_.data();
    n_ = own_.size();
    owned_ = true;
    base_ = nullptr;
    dec_ = nullptr;
    return *this;
  }
  ParamText& operator=(const std::string& s) { return *this = std::string_view(s); }
  ParamText& operator=(const char* s) { return *this = std::string_view(s); }

  // Points at a text that stays put; `dec` caches how its arguments read.
  void SetStable(const std::string& s, DecodedText* dec) {
    p_ = s.data();
    n_ = s.size();
    owned_ = false;
    base_ = s.data();
    dec_ = dec;
  }

  std::string_view view() const { return {p_, n_}; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(p_, n_); }

  bool empty() const { return n_ == 0; }
  size_t size() const { return n_; }
  char operator[](size_t i) const { return p_[i]; }
  char front() const { return p_[0]; }
  char back() const { return p_[n_ - 1]; }
  const char* data() const { return p_; }
  size_t find(char c, size_t from = 0) const { return view().find(c, from); }
  size_t find_first_of(const char* set) const { return view().find_first_of(set); }
  std::string substr(size_t pos, size_t n = std::string::npos) const { return std::string(view().substr(pos, n)); }

  // Only the front is ever cut off.
  void erase(size_t pos, size_t n) {
    if (pos != 0) return;
    if (n > n_) n = n_;
    p_ += n;
    n_ -= n;
  }
  void clear() {
    p_ += n_;
    n_ = 0;
  }
  // Cuts the end: the text is no longer the one its cache describes.
  void resize(size_t n) {
    if (n < n_) {
      n_ = n;
      dec_ = nullptr;
    }
  }
  void TrimFront() {
    while (n_ > 0 && static_cast<unsigned char>(*p_) < 33) ++p_, --n_;
  }
  void Trim() {
    TrimFront();
    if (n_ > 0 && static_cast<unsigned char>(p_[n_ - 1]) < 33) {
      while (n_ > 0 && static_cast<unsigned char>(p_[n_ - 1]) < 33) --n_;
      dec_ = nullptr;
    }
  }

  DecodedText* decoded() const { return dec_; }
  // Position of the front within the stable text.
  uint32_t offset() const { return static_cast<uint32_t>(p_ - base_); }

 private:
  void Assign(const ParamText& o) {
    if (o.owned_) {
      size_t off = static_cast<size_t>(o.p_ - o.own_.data());
      own_ = o.own_;
      p_ = own_.data() + off;
      n_ = o.n_;
      owned_ = true;
      base_ = nullptr;
      dec_ = nullptr;
    } else {
      p_ = o.p_;
      n_ = o.n_;
      owned_ = false;
      base_ = o.base_;
      dec_ = o.dec_;
    }
  }

  std::string own_;
  const char* p_ = "";
  size_t n_ = 0;
  bool owned_ = false;
  const char* base_ = nullptr;
  DecodedText* dec_ = nullptr;
};

// The command word of the current line: usually the prepared line's own,
// kept for the run, so setting it per line copies nothing.
class CommandWord {
 public:
  CommandWord() = default;
  CommandWord(const CommandWord& o) { *this = o; }
  CommandWord& operator=(const CommandWord& o) {
    if (this == &o) return *this;
    if (o.p_ == &o.own_) return *this = o.own_;
    p_ = o.p_;
    return *this;
  }
  CommandWord& operator=(std::string s) {
    own_ = std::move(s);
    p_ = &own_;
    return *this;
  }
  void SetStable(const std::string& s) { p_ = &s; }

  const std::string& str() const { return *p_; }
  operator const std::string&() const { return *p_; }
  operator std::string_view() const { return *p_; }
  bool empty() const { return p_->empty(); }
  size_t size() const { return p_->size(); }
  char operator[](size_t i) const { return (*p_)[i]; }
  friend bool operator==(const CommandWord& a, std::string_view b) { return std::string_view(*a.p_) == b; }

 private:
  std::string own_;
  const std::string* p_ = &own_;
};

inline bool operator==(const ParamText& a, std::string_view b) { return a.view() == b; }

inline void TrimInPlace(ParamText& p) { p.Trim(); }

}  // namespace tilmor
