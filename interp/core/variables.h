// The five variable kinds. Each table is an ordered list of (name, value)
// entries; a name denotes the entry appended last, so variables declared in
// a procedure hide outer ones until the procedure's return cuts the table
// back. Lookups are hashed: each name keeps the stack of its entry numbers.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tilmor {

constexpr int kMaxVariables = 499;

template <typename T>
class VarTable {
 public:
  struct Entry {
    std::string name;
    T value{};
  };

  int count() const { return static_cast<int>(entries_.size()); }
  bool full() const { return count() >= kMaxVariables; }

  // Appends an entry with the initial value; false when the table is full.
  bool Append(const std::string& name) {
    if (full()) return false;
    entries_.push_back(Entry{name, T{}});
    index_[name].push_back(static_cast<int>(entries_.size()) - 1);
    return true;
  }
  // The entry appended last under this name, or nullptr.
  T* Find(const std::string& name) {
    auto it = index_.find(name);
    if (it == index_.end() || it->second.empty()) return nullptr;
    return &entries_[static_cast<size_t>(it->second.back())].value;
  }
  // Removes every entry appended after the table held `n` entries.
  void CutBack(int n) {
    if (n < 0) n = 0;
    while (count() > n) {
      auto it = index_.find(entries_.back().name);
      it->second.pop_back();
      if (it->second.empty()) index_.erase(it);
      entries_.pop_back();
    }
  }
  void Clear() { CutBack(0); }
  const std::vector<Entry>& entries() const { return entries_; }
  std::vector<Entry>& mutable_entries() { return entries_; }

 private:
  std::vector<Entry> entries_;
  std::unordered_map<std::string, std::vector<int>> index_;
};

// An area variable: a raw block of size+1 bytes.
struct Area {
  uint8_t* block = nullptr;  // nullptr: not dimensioned
  int32_t size = 0;
  uint32_t address = 0;  // the block's address as programs see it
};

struct Variables {
  VarTable<int32_t> ints;
  VarTable<int32_t> longs;
  VarTable<double> floats;
  VarTable<std::string> strings;
  VarTable<Area> areas;
};

}  // namespace tilmor
