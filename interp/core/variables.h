// The five variable kinds. Each table is an ordered list of (name, value)
// entries; a name denotes the entry appended last, so variables declared in
// a procedure hide outer ones until the procedure's return cuts the table
// back. Names are interned once into small ids; each entry links to the
// previous entry of its name, so lookup and cut-back take constant time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tilmor {

constexpr int kMaxVariables = 499;

// Upper-cased variable names and their ids, for the whole process.
class NameIds {
 public:
  static int Id(std::string_view name);    // interns a new name
  static int Known(std::string_view name);  // -1 for a name never interned
  static const std::string& Name(int id);
};

template <typename T>
class VarTable {
 public:
  struct Entry {
    int id;
    int prev;  // the previous entry of the same name, -1 none
    T value{};
  };

  int count() const { return static_cast<int>(entries_.size()); }
  bool full() const { return count() >= kMaxVariables; }

  // Appends an entry with the initial value; false when the table is full.
  bool Append(int id) {
    if (full()) return false;
    if (static_cast<size_t>(id) >= head_.size()) head_.resize(static_cast<size_t>(id) + 64, -1);
    entries_.push_back(Entry{id, head_[static_cast<size_t>(id)], T{}});
    head_[static_cast<size_t>(id)] = count() - 1;
    return true;
  }
  bool Append(const std::string& name) { return Append(NameIds::Id(name)); }

  // The entry appended last under this name, or nullptr.
  T* Find(int id) {
    if (id < 0 || static_cast<size_t>(id) >= head_.size()) return nullptr;
    int e = head_[static_cast<size_t>(id)];
    return e < 0 ? nullptr : &entries_[static_cast<size_t>(e)].value;
  }
  T* Find(const std::string& name) { return Find(NameIds::Known(name)); }

  // Removes every entry appended after the table held `n` entries.
  void CutBack(int n) {
    if (n < 0) n = 0;
    while (count() > n) {
      const Entry& e = entries_.back();
      head_[static_cast<size_t>(e.id)] = e.prev;
      entries_.pop_back();
    }
  }
  void Clear() { CutBack(0); }
  const std::vector<Entry>& entries() const { return entries_; }
  std::vector<Entry>& mutable_entries() { return entries_; }

 private:
  std::vector<Entry> entries_;
  std::vector<int> head_;  // by name id: the last entry, -1 none
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
