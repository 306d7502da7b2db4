// dBase III index files (.NDX): a B-tree of 512-byte pages whose pages pass
// through a cache of 32 pages. Page 0 is the header; a leaf holds keys
// with record numbers, an interior page keys with child pages plus one last
// entry that carries only a child.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cached_file.h"
#include "db_error.h"

namespace tilmor::dbase {

constexpr int kPageSize = 512;
constexpr int kPageCacheSize = 32;
constexpr int kIndexWindow = 16384;
constexpr int kMaxKeyLength = 100;

// A numeric key: the value as 8 bytes of a little-endian IEEE double.
std::string NumericKey(double v);
double NumericKeyValue(const std::string& key);
// The text of a numeric key field read as a number. False (and the value
// read so far) when a character is neither digit, sign, point, exponent
// nor surrounding blank.
bool ParseNumericKey(const std::string& text, double& value);

enum class Step { First, Last, Next, Previous };

// The pages of an index pass through kPageCacheSize slots that stay where
// they are: a small hash table finds a page's slot, and a miss takes the
// least recently used slot (the oldest use stamp), writing it back first
// when it is dirty. Dirty pages reach the file only then and at Flush.
class NdxPageCache {
 public:
  enum Outcome { kOk, kWriteBackFailed, kReadFailed, kWriteFailed };

  explicit NdxPageCache(CachedFile& file) : file_(&file) {}
  // Every slot free.
  void Open();
  // No slots: the index is closed.
  void Close() { slots_.clear(); }
  bool is_open() const { return !slots_.empty(); }
  // Page p into `out` (kPageSize bytes).
  Outcome Get(uint32_t p, uint8_t* out);
  // `in` becomes page p, dirty; a page that was not cached is also
  // written to the file at once.
  Outcome Put(uint32_t p, const uint8_t* in);
  // Writes every dirty page; returns how many writes failed.
  int Flush();
  bool Holds(uint32_t p) const { return Find(p) >= 0; }
  bool IsDirty(uint32_t p) const;

 private:
  struct Slot {
    bool dirty = false;
    std::array<uint8_t, kPageSize> data{};
  };
  // Twice the slots keeps the runs short; Home gives the 6 bits of 64.
  static constexpr int kBuckets = 64;
  static_assert(kBuckets >= 2 * kPageCacheSize);
  static int Home(uint32_t p) { return static_cast<int>((p * 0x9E3779B1u) >> 26); }
  int Find(uint32_t p) const;
  void Index(int slot);
  void Unindex(int slot);
  int Oldest() const;
  // Frees slot i, writing back the page it held when dirty.
  Outcome Take(int i);

  CachedFile* file_;
  std::vector<Slot> slots_;
  std::array<int64_t, kPageCacheSize> pages_{};  // -1: free
  std::array<uint64_t, kPageCacheSize> used_{};
  uint64_t clock_ = 0;
  // Page number to slot: open addressing, -1 empty.
  std::array<int8_t, kBuckets> buckets_{};
};

class NdxIndex {
 public:
  explicit NdxIndex(DbError& error);
  ~NdxIndex();
  NdxIndex(const NdxIndex&) = delete;
  NdxIndex& operator=(const NdxIndex&) = delete;

  // An existing index file; false (error set) when it is missing or its
  // header cannot be an index.
  bool Open(const std::string& name, const std::string& host);
  // A new, empty index: header page and an empty leaf.
  bool Create(const std::string& name, const std::string& host, const std::string& formula, bool numeric,
              int keyLength);
  // Writes back the dirty pages and closes the file.
  void Close();
  bool is_open() const { return file_.is_open(); }

  const std::string& formula() const { return formula_; }
  bool numeric() const { return numeric_; }
  int key_length() const { return keyLength_; }
  int keys_per_page() const { return keysPerPage_; }
  uint32_t root() const { return root_; }
  uint32_t next_free() const { return nextFree_; }
  const std::string& name() const { return name_; }

  // The record of the first entry whose key begins with `key` (stored keys
  // are cut to its length), or 0. Leaves the path on the entry where the
  // search stopped.
  int32_t Search(const std::string& key);
  // The record number of the entry reached; the end and begin flags tell
  // when a step could not move.
  int32_t Move(Step step);
  // Makes the entry of record r current; false when r is not in the index.
  bool PositionOn(int32_t r);
  // Adds (key, r) after all equal keys.
  bool Insert(const std::string& key, int32_t r);
  // Removes the current entry.
  bool DeleteCurrent();
  // After record r was written with `key`: a changed key moves its entry.
  bool Update(int32_t r, const std::string& key, bool existed, bool building);

  // The full-length form of a key: character keys padded with blanks or
  // cut, numeric keys unchanged.
  std::string Normalize(const std::string& key) const;

  bool end() const { return end_; }
  bool begin() const { return begin_; }
  int32_t current_record() const { return currentRecord_; }
  const std::string& current_key() const { return currentKey_; }

 private:
  struct Page {
    std::array<uint8_t, 1024> b{};
  };
  struct Level {
    uint32_t page = 0;
    int pos = 1;
    int k = 0;
    bool interior = false;
  };

  bool ReadHeader();
  bool WriteHeader();
  bool GetPage(uint32_t p, Page& page);
  bool PutPage(uint32_t p, const Page& page);
  bool Flush();
  bool Damaged();
  bool Fail(const char* text);

  // Entry accessors, entries counted from 1.
  int Count(const Page& p) const;
  void SetCount(Page& p, int k) const;
  uint32_t Child(const Page& p, int i) const;
  int32_t Record(const Page& p, int i) const;
  const uint8_t* Key(const Page& p, int i) const;
  uint8_t* Entry(Page& p, int i) const;
  void SetEntry(Page& p, int i, uint32_t child, int32_t record, const std::string& key) const;
  void SetKey(Page& p, int i, const uint8_t* key) const;
  bool IsInterior(const Page& p) const { return Child(p, 1) != 0; }
  bool ValidChild(uint32_t c) const { return c >= 1 && c < nextFree_; }

  // <0, 0, >0: the stored key (cut to the search key's length) against key.
  int Compare(const uint8_t* stored, const std::string& key) const;

  bool Descend(uint32_t page, bool first);
  bool StepNext();
  bool StepPrevious();
  void TakeCurrent();
  bool InsertAt(int level, Page& page, int pos, uint32_t child, int32_t record, const std::string& key);
  bool Split(int level, Page& page);
  bool RemoveAt(int level);
  bool RaiseLastKey(int level, const uint8_t* key);
  uint64_t MaxEntries() const;

  DbError* error_;
  CachedFile file_;
  std::string name_;
  std::array<uint8_t, kPageSize> header_{};
  std::string formula_;
  bool numeric_ = false;
  int keyLength_ = 0;
  int keysPerPage_ = 0;
  int entrySize_ = 0;
  uint32_t root_ = 1;
  uint32_t nextFree_ = 2;

  NdxPageCache cache_{file_};
  std::vector<Level> path_;
  bool pathValid_ = false;
  int32_t currentRecord_ = 0;
  std::string currentKey_;
  bool end_ = false;
  bool begin_ = false;
  bool failed_ = false;  // the running operation met an error
};

}  // namespace tilmor::dbase
