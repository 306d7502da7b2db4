// The one process-wide list of strings behind list dialogs, ADDSTRING,
// memo reading and SQL results: at most 10000 entries of 255 characters.
#pragma once

#include <string>
#include <vector>

namespace tilmor {

constexpr int kMaxItems = 10000;

class ItemList {
 public:
  // False when the list is full; the text is cut to 255 characters.
  bool Add(std::string text) {
    if (full()) return false;
    if (text.size() > 255) text.resize(255);
    items_.push_back(std::move(text));
    return true;
  }
  void Clear() { items_.clear(); }
  bool full() const { return static_cast<int>(items_.size()) >= kMaxItems; }
  int size() const { return static_cast<int>(items_.size()); }
  // The index of the last entry, -1 when empty (%GETCOUNT).
  int LastIndex() const { return size() - 1; }
  const std::string* At(int i) const {
    return i >= 0 && i < size() ? &items_[static_cast<size_t>(i)] : nullptr;
  }
  bool Set(int i, std::string text) {
    if (i < 0 || i >= size()) return false;
    if (text.size() > 255) text.resize(255);
    items_[static_cast<size_t>(i)] = std::move(text);
    return true;
  }
  const std::vector<std::string>& items() const { return items_; }

 private:
  std::vector<std::string> items_;
};

}  // namespace tilmor
