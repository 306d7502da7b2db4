#include "ndx_index.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tilmor::dbase {
namespace {

constexpr int kMaxDepth = 40;
// Entries up to this size keep two overflowing entries inside a page buffer.
constexpr int kMaxEntrySize = 252;

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

uint64_t Bits(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// Doubles in sign-magnitude order as unsigned integers.
uint64_t Ordered(uint64_t bits) {
  return (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
}

std::string Trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

}  // namespace

std::string NumericKey(double v) {
  if (v == 0) v = 0.0;  // no negative zero
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  std::string key(8, '\0');
  for (int i = 0; i < 8; ++i) key[static_cast<size_t>(i)] = static_cast<char>(bits >> (8 * i));
  return key;
}

double NumericKeyValue(const std::string& key) {
  if (key.size() < 8) return 0;
  uint64_t bits = Bits(reinterpret_cast<const uint8_t*>(key.data()));
  double v;
  std::memcpy(&v, &bits, 8);
  return v;
}

bool ParseNumericKey(const std::string& text, double& value) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool neg = false, expNeg = false, inFraction = false, inExponent = false, ok = true;
  std::string whole, fraction, exponent;
  for (; i < n; ++i) {
    char c = text[i];
    if (c == ' ') {
      // Blanks may only trail the number (a left-aligned field).
      size_t j = i;
      while (j < n && text[j] == ' ') ++j;
      if (j != n) ok = false;
      break;
    }
    if (c == '+' || c == '-') {
      (inExponent ? expNeg : neg) = c == '-';
    } else if (c == '.' && !inExponent) {
      inFraction = true;
    } else if (c == 'E' || c == 'e') {
      inExponent = true;
    } else if (c >= '0' && c <= '9') {
      (inExponent ? exponent : inFraction ? fraction : whole) += c;
    } else {
      ok = false;
      break;
    }
  }
  if (exponent.size() > 6) exponent = "999999";
  std::string canonical = (neg ? "-" : "") + (whole.empty() ? "0" : whole) + "." + (fraction.empty() ? "0" : fraction) +
                          "e" + (expNeg ? "-" : "") + (exponent.empty() ? "0" : exponent);
  value = std::strtod(canonical.c_str(), nullptr);
  return ok;
}

NdxIndex::NdxIndex(DbError& error) : error_(&error), file_(error) {}

NdxIndex::~NdxIndex() { Close(); }

bool NdxIndex::Fail(const char* text) {
  error_->Set(kErrRange, text);
  failed_ = true;
  return false;
}

bool NdxIndex::Damaged() {
  error_->Set(kErrIndexFile, name_);
  failed_ = true;
  return false;
}

bool NdxIndex::Open(const std::string& name, const std::string& host) {
  Close();
  name_ = name;
  struct stat st;
  if (host.empty() || ::stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error_->Set(2, name);
    return false;
  }
  if (!file_.OpenReadWrite(name, host, 1, kIndexWindow)) return false;
  if (file_.Read(header_.data(), kPageSize, 0) != kPageSize) {
    file_.Close();
    return Damaged();
  }
  if (!ReadHeader()) {
    file_.Close();
    return false;
  }
  cache_.Open();
  return true;
}

bool NdxIndex::ReadHeader() {
  const uint8_t* h = header_.data();
  root_ = Get32(h);
  nextFree_ = Get32(h + 4);
  keyLength_ = Get16(h + 12);
  keysPerPage_ = Get16(h + 14);
  int type = Get16(h + 16);
  entrySize_ = Get16(h + 18);
  numeric_ = type == 1;
  int64_t pages = file_.SizeInBytes() / kPageSize;
  bool ok = (type == 0 || type == 1) && keyLength_ >= 1 && (!numeric_ || keyLength_ == 8) &&
            entrySize_ >= keyLength_ + 8 && entrySize_ <= kMaxEntrySize && keysPerPage_ >= 2 &&
            keysPerPage_ * entrySize_ <= kPageSize - 8 && nextFree_ >= 2 && root_ >= 1 && root_ < nextFree_ &&
            static_cast<int64_t>(nextFree_) <= pages;
  if (!ok) return Damaged();
  size_t len = 0;
  while (24 + len < kPageSize && h[24 + len] != 0) ++len;
  formula_ = Trimmed(std::string(reinterpret_cast<const char*>(h + 24), std::min<size_t>(len, kMaxKeyLength)));
  return true;
}

bool NdxIndex::Create(const std::string& name, const std::string& host, const std::string& formula, bool numeric,
                      int keyLength) {
  Close();
  name_ = name;
  if (!file_.Create(name, host, 1, kIndexWindow)) return false;
  numeric_ = numeric;
  keyLength_ = numeric ? 8 : keyLength;
  entrySize_ = (keyLength_ + 8 + 3) / 4 * 4;
  keysPerPage_ = (kPageSize - 8) / entrySize_;
  root_ = 1;
  nextFree_ = 2;
  formula_ = Trimmed(formula.substr(0, std::min<size_t>(formula.size(), kMaxKeyLength)));
  header_.fill(0);
  uint8_t* h = header_.data();
  Put16(h + 12, static_cast<uint16_t>(keyLength_));
  Put16(h + 14, static_cast<uint16_t>(keysPerPage_));
  Put16(h + 16, numeric_ ? 1 : 0);
  Put16(h + 18, static_cast<uint16_t>(entrySize_));
  std::memcpy(h + 24, formula.data(), std::min<size_t>(formula.size(), kPageSize - 24));
  cache_.Open();
  std::array<uint8_t, kPageSize> leaf{};
  if (!WriteHeader() || !file_.Write(leaf.data(), kPageSize, kPageSize)) {
    file_.Close();
    return false;
  }
  return true;
}

bool NdxIndex::WriteHeader() {
  Put32(header_.data(), root_);
  Put32(header_.data() + 4, nextFree_);
  if (!file_.Write(header_.data(), kPageSize, 0)) return Fail("Ndx_Put");
  return true;
}

void NdxIndex::Close() {
  if (file_.is_open()) {
    Flush();
    file_.Close();
  }
  cache_.Close();
  path_.clear();
  pathValid_ = false;
}

void NdxPageCache::Open() {
  slots_.assign(kPageCacheSize, Slot{});
  pages_.fill(-1);
  used_.fill(0);
  buckets_.fill(-1);
  clock_ = 0;
}

int NdxPageCache::Find(uint32_t p) const {
  if (slots_.empty()) return -1;
  for (int b = Home(p);; b = (b + 1) % kBuckets) {
    int slot = buckets_[static_cast<size_t>(b)];
    if (slot < 0 || pages_[static_cast<size_t>(slot)] == p) return slot;
  }
}

void NdxPageCache::Index(int slot) {
  int b = Home(static_cast<uint32_t>(pages_[static_cast<size_t>(slot)]));
  while (buckets_[static_cast<size_t>(b)] >= 0) b = (b + 1) % kBuckets;
  buckets_[static_cast<size_t>(b)] = static_cast<int8_t>(slot);
}

void NdxPageCache::Unindex(int slot) {
  int b = Home(static_cast<uint32_t>(pages_[static_cast<size_t>(slot)]));
  while (buckets_[static_cast<size_t>(b)] != slot) b = (b + 1) % kBuckets;
  // Later entries of the run move back into the hole when their home
  // bucket does not lie between the hole and them.
  for (int next = (b + 1) % kBuckets;; next = (next + 1) % kBuckets) {
    int moved = buckets_[static_cast<size_t>(next)];
    if (moved < 0) break;
    int home = Home(static_cast<uint32_t>(pages_[static_cast<size_t>(moved)]));
    bool between = b <= next ? (home > b && home <= next) : (home > b || home <= next);
    if (!between) {
      buckets_[static_cast<size_t>(b)] = static_cast<int8_t>(moved);
      b = next;
    }
  }
  buckets_[static_cast<size_t>(b)] = -1;
}

int NdxPageCache::Oldest() const {
  return static_cast<int>(std::min_element(used_.begin(), used_.end()) - used_.begin());
}

bool NdxPageCache::IsDirty(uint32_t p) const {
  int i = Find(p);
  return i >= 0 && slots_[static_cast<size_t>(i)].dirty;
}

NdxPageCache::Outcome NdxPageCache::Take(int i) {
  Slot& s = slots_[static_cast<size_t>(i)];
  int64_t held = pages_[static_cast<size_t>(i)];
  if (held >= 0 && s.dirty && !file_->Write(s.data.data(), kPageSize, held * kPageSize)) return kWriteBackFailed;
  if (held >= 0) Unindex(i);
  pages_[static_cast<size_t>(i)] = -1;
  s.dirty = false;
  return kOk;
}

NdxPageCache::Outcome NdxPageCache::Get(uint32_t p, uint8_t* out) {
  int i = Find(p);
  if (i < 0) {
    i = Oldest();
    if (Outcome o = Take(i); o != kOk) return o;
    Slot& s = slots_[static_cast<size_t>(i)];
    if (file_->Read(s.data.data(), kPageSize, static_cast<int64_t>(p) * kPageSize) != kPageSize) return kReadFailed;
    pages_[static_cast<size_t>(i)] = p;
    Index(i);
  }
  used_[static_cast<size_t>(i)] = ++clock_;
  std::memcpy(out, slots_[static_cast<size_t>(i)].data.data(), kPageSize);
  return kOk;
}

NdxPageCache::Outcome NdxPageCache::Put(uint32_t p, const uint8_t* in) {
  int i = Find(p);
  if (i < 0) {
    i = Oldest();
    if (Outcome o = Take(i); o != kOk) return o;
    if (!file_->Write(in, kPageSize, static_cast<int64_t>(p) * kPageSize)) return kWriteFailed;
    pages_[static_cast<size_t>(i)] = p;
    Index(i);
  }
  used_[static_cast<size_t>(i)] = ++clock_;
  Slot& s = slots_[static_cast<size_t>(i)];
  s.dirty = true;
  std::memcpy(s.data.data(), in, kPageSize);
  return kOk;
}

int NdxPageCache::Flush() {
  int failed = 0;
  for (size_t i = 0; i < slots_.size(); ++i) {
    Slot& s = slots_[i];
    if (pages_[i] >= 0 && s.dirty) {
      if (!file_->Write(s.data.data(), kPageSize, pages_[i] * kPageSize)) ++failed;
      s.dirty = false;
    }
  }
  return failed;
}

bool NdxIndex::Flush() {
  bool ok = true;
  for (int n = cache_.Flush(); n > 0; --n) ok = Fail("Ndx_Get/Put");
  return ok;
}

bool NdxIndex::GetPage(uint32_t p, Page& page) {
  if (p < 1 || p >= nextFree_ || !cache_.is_open()) return Damaged();
  switch (cache_.Get(p, page.b.data())) {
    case NdxPageCache::kOk: break;
    case NdxPageCache::kReadFailed: return Fail("Ndx_Get");
    default: return Fail("Ndx_Get/Put");
  }
  std::memset(page.b.data() + kPageSize, 0, page.b.size() - kPageSize);
  if (Count(page) > keysPerPage_) return Damaged();
  return true;
}

bool NdxIndex::PutPage(uint32_t p, const Page& page) {
  if (!cache_.is_open()) return Damaged();
  switch (cache_.Put(p, page.b.data())) {
    case NdxPageCache::kOk: return true;
    case NdxPageCache::kWriteFailed: return Fail("Ndx_Put/New");
    default: return Fail("Ndx_Put");
  }
}

int NdxIndex::Count(const Page& p) const {
  uint32_t k = Get32(p.b.data());
  return k > 0xFFFF ? 0x10000 : static_cast<int>(k);
}
void NdxIndex::SetCount(Page& p, int k) const { Put32(p.b.data(), static_cast<uint32_t>(k)); }
uint8_t* NdxIndex::Entry(Page& p, int i) const { return p.b.data() + 4 + (i - 1) * entrySize_; }
uint32_t NdxIndex::Child(const Page& p, int i) const { return Get32(p.b.data() + 4 + (i - 1) * entrySize_); }
int32_t NdxIndex::Record(const Page& p, int i) const {
  return static_cast<int32_t>(Get32(p.b.data() + 8 + (i - 1) * entrySize_));
}
const uint8_t* NdxIndex::Key(const Page& p, int i) const { return p.b.data() + 12 + (i - 1) * entrySize_; }

void NdxIndex::SetEntry(Page& p, int i, uint32_t child, int32_t record, const std::string& key) const {
  uint8_t* e = Entry(p, i);
  std::memset(e, 0, static_cast<size_t>(entrySize_));
  Put32(e, child);
  Put32(e + 4, static_cast<uint32_t>(record));
  std::memcpy(e + 8, key.data(), std::min<size_t>(key.size(), static_cast<size_t>(keyLength_)));
}

void NdxIndex::SetKey(Page& p, int i, const uint8_t* key) const {
  std::memmove(Entry(p, i) + 8, key, static_cast<size_t>(keyLength_));
}

std::string NdxIndex::Normalize(const std::string& key) const {
  if (numeric_) return key.size() == 8 ? key : NumericKey(0);
  std::string k = key.substr(0, std::min<size_t>(key.size(), static_cast<size_t>(keyLength_)));
  k.resize(static_cast<size_t>(keyLength_), ' ');
  return k;
}

int NdxIndex::Compare(const uint8_t* stored, const std::string& key) const {
  if (numeric_) {
    if (key.size() < 8) return 1;
    uint64_t a = Ordered(Bits(stored)), b = Ordered(Bits(reinterpret_cast<const uint8_t*>(key.data())));
    return a < b ? -1 : a > b ? 1 : 0;
  }
  size_t n = std::min(key.size(), static_cast<size_t>(keyLength_));
  int r = std::memcmp(stored, key.data(), n);
  if (r != 0) return r;
  return key.size() > static_cast<size_t>(keyLength_) ? -1 : 0;
}

uint64_t NdxIndex::MaxEntries() const {
  return static_cast<uint64_t>(nextFree_) * static_cast<uint64_t>(keysPerPage_ + 1) + 2;
}

int32_t NdxIndex::Search(const std::string& key) {
  failed_ = false;
  end_ = begin_ = false;
  path_.clear();
  pathValid_ = false;
  currentRecord_ = 0;
  currentKey_.clear();
  if (!file_.is_open()) return 0;
  uint32_t p = root_;
  for (int depth = 0;; ++depth) {
    if (depth >= kMaxDepth) return Damaged(), 0;
    Page page;
    if (!GetPage(p, page)) return 0;
    int k = Count(page);
    bool interior = IsInterior(page);
    int pos = 1;
    while (pos <= k && Compare(Key(page, pos), key) < 0) ++pos;
    path_.push_back(Level{p, pos, k, interior});
    if (interior) {
      p = Child(page, pos);
      if (!ValidChild(p)) return Damaged(), 0;
      continue;
    }
    pathValid_ = true;
    if (pos > k) return 0;
    currentRecord_ = Record(page, pos);
    currentKey_.assign(reinterpret_cast<const char*>(Key(page, pos)), static_cast<size_t>(keyLength_));
    return Compare(Key(page, pos), key) == 0 ? currentRecord_ : 0;
  }
}

bool NdxIndex::Descend(uint32_t p, bool first) {
  for (;;) {
    if (static_cast<int>(path_.size()) >= kMaxDepth) return Damaged();
    Page page;
    if (!GetPage(p, page)) return false;
    int k = Count(page);
    bool interior = IsInterior(page);
    int pos = first ? 1 : interior ? k + 1 : std::max(k, 1);
    path_.push_back(Level{p, pos, k, interior});
    if (!interior) return true;
    p = Child(page, pos);
    if (!ValidChild(p)) return Damaged();
  }
}

bool NdxIndex::StepNext() {
  Level& leaf = path_.back();
  if (leaf.pos < leaf.k) {
    ++leaf.pos;
    return true;
  }
  for (uint64_t guard = 0; guard < MaxEntries(); ++guard) {
    int l = static_cast<int>(path_.size()) - 2;
    while (l >= 0 && path_[static_cast<size_t>(l)].pos >= path_[static_cast<size_t>(l)].k + 1) --l;
    if (l < 0) {
      end_ = true;
      Level& last = path_.back();
      if (last.pos > last.k) last.pos = std::max(last.k, 1);
      return true;
    }
    Level& up = path_[static_cast<size_t>(l)];
    ++up.pos;
    path_.resize(static_cast<size_t>(l) + 1);
    Page page;
    if (!GetPage(up.page, page)) return false;
    uint32_t c = Child(page, up.pos);
    if (!ValidChild(c)) return Damaged();
    if (!Descend(c, true)) return false;
    if (path_.back().k > 0) return true;
  }
  return Damaged();
}

bool NdxIndex::StepPrevious() {
  Level& leaf = path_.back();
  if (leaf.pos > 1 && leaf.k > 0) {
    leaf.pos = std::min(leaf.pos - 1, leaf.k);
    return true;
  }
  for (uint64_t guard = 0; guard < MaxEntries(); ++guard) {
    int l = static_cast<int>(path_.size()) - 2;
    while (l >= 0 && path_[static_cast<size_t>(l)].pos <= 1) --l;
    if (l < 0) {
      begin_ = true;
      return true;
    }
    Level& up = path_[static_cast<size_t>(l)];
    --up.pos;
    path_.resize(static_cast<size_t>(l) + 1);
    Page page;
    if (!GetPage(up.page, page)) return false;
    uint32_t c = Child(page, up.pos);
    if (!ValidChild(c)) return Damaged();
    if (!Descend(c, false)) return false;
    if (path_.back().k > 0) return true;
  }
  return Damaged();
}

void NdxIndex::TakeCurrent() {
  currentRecord_ = 0;
  currentKey_.clear();
  if (path_.empty()) return;
  const Level& leaf = path_.back();
  Page page;
  if (leaf.pos < 1 || leaf.pos > leaf.k || !GetPage(leaf.page, page)) return;
  currentRecord_ = Record(page, leaf.pos);
  currentKey_.assign(reinterpret_cast<const char*>(Key(page, leaf.pos)), static_cast<size_t>(keyLength_));
}

int32_t NdxIndex::Move(Step step) {
  failed_ = false;
  end_ = begin_ = false;
  if (!file_.is_open()) {
    end_ = begin_ = true;
    return currentRecord_ = 0;
  }
  if ((step == Step::Next || step == Step::Previous) && (!pathValid_ || path_.empty())) step = Step::First;
  bool ok;
  switch (step) {
    case Step::First:
    case Step::Last:
      path_.clear();
      ok = Descend(root_, step == Step::First);
      if (ok && path_.back().k == 0) {
        // Only a damaged tree has empty leaves below the root.
        ok = path_.size() > 1 && (step == Step::First ? StepNext() : StepPrevious());
        if (ok && path_.back().k == 0) ok = false;
        if (!ok && !failed_) {
          end_ = begin_ = true;
          pathValid_ = true;
          return currentRecord_ = 0;
        }
      }
      break;
    case Step::Next: ok = StepNext(); break;
    default: ok = StepPrevious(); break;
  }
  if (!ok) {
    path_.clear();
    pathValid_ = false;
    end_ = begin_ = true;
    return currentRecord_ = 0;
  }
  pathValid_ = true;
  TakeCurrent();
  return currentRecord_;
}

bool NdxIndex::PositionOn(int32_t r) {
  if (r < 1 || !file_.is_open()) return false;
  if (pathValid_ && !path_.empty() && currentRecord_ == r) {
    const Level& leaf = path_.back();
    if (leaf.pos >= 1 && leaf.pos <= leaf.k) return true;
  }
  Move(Step::First);
  for (uint64_t guard = 0; guard < MaxEntries() && !failed_; ++guard) {
    if (currentRecord_ == r) return true;
    if (end_) return false;
    Move(Step::Next);
  }
  return false;
}

bool NdxIndex::InsertAt(int level, Page& page, int pos, uint32_t child, int32_t record, const std::string& key) {
  Level& lv = path_[static_cast<size_t>(level)];
  int k = Count(page);
  int e = lv.interior ? k + 1 : k;
  if (pos < 1 || pos > e + 1) return Damaged();
  std::memmove(Entry(page, pos + 1), Entry(page, pos), static_cast<size_t>((e - pos + 1) * entrySize_));
  SetEntry(page, pos, child, record, key);
  SetCount(page, k + 1);
  // A new last entry of a leaf is the new largest key of its subtree.
  if (!lv.interior && pos == k + 1 && !RaiseLastKey(level, Key(page, pos))) return false;
  if (k + 1 > keysPerPage_) return Split(level, page);
  return PutPage(lv.page, page);
}

bool NdxIndex::RaiseLastKey(int level, const uint8_t* key) {
  std::string copy(reinterpret_cast<const char*>(key), static_cast<size_t>(keyLength_));
  for (int j = level - 1; j >= 0; --j) {
    const Level& lv = path_[static_cast<size_t>(j)];
    if (lv.pos >= lv.k + 1) continue;
    Page page;
    if (!GetPage(lv.page, page)) return false;
    SetKey(page, lv.pos, reinterpret_cast<const uint8_t*>(copy.data()));
    return PutPage(lv.page, page);
  }
  return true;
}

bool NdxIndex::Split(int level, Page& page) {
  Level lv = path_[static_cast<size_t>(level)];
  int k = Count(page);
  int e = lv.interior ? k + 1 : k;
  int half = e / 2;
  uint32_t n = nextFree_++;
  Page left;
  std::memcpy(Entry(left, 1), Entry(page, 1), static_cast<size_t>(half * entrySize_));
  SetCount(left, lv.interior ? half - 1 : half);
  std::string separator(reinterpret_cast<const char*>(Key(page, half)), static_cast<size_t>(keyLength_));
  std::memmove(Entry(page, 1), Entry(page, half + 1), static_cast<size_t>((e - half) * entrySize_));
  size_t used = static_cast<size_t>(4 + (e - half) * entrySize_);
  std::memset(page.b.data() + used, 0, page.b.size() - used);
  SetCount(page, lv.interior ? e - half - 1 : e - half);
  if (!PutPage(n, left) || !PutPage(lv.page, page)) return false;

  Page parent;
  int parentPos;
  if (level == 0) {
    uint32_t r = nextFree_++;
    root_ = r;
    Put32(Entry(parent, 1), lv.page);
    path_.insert(path_.begin(), Level{r, 1, 0, true});
    level = 1;
    parentPos = 1;
  } else {
    if (!GetPage(path_[static_cast<size_t>(level) - 1].page, parent)) return false;
    parentPos = path_[static_cast<size_t>(level) - 1].pos;
  }
  if (!WriteHeader()) return false;
  return InsertAt(level - 1, parent, parentPos, n, 0, separator);
}

bool NdxIndex::Insert(const std::string& rawKey, int32_t r) {
  std::string key = Normalize(rawKey);
  int32_t found = Search(key);
  if (failed_ || path_.empty()) return false;
  int pos = path_.back().pos;
  if (found > 0) {
    for (uint64_t guard = 0;; ++guard) {
      if (guard > MaxEntries()) return Damaged();
      Move(Step::Next);
      if (failed_) return false;
      if (end_) {
        pos = path_.back().pos + 1;
        break;
      }
      if (currentKey_ != key) {
        pos = path_.back().pos;
        break;
      }
    }
  }
  Page page;
  int level = static_cast<int>(path_.size()) - 1;
  bool ok = GetPage(path_.back().page, page) && InsertAt(level, page, pos, 0, r, key);
  path_.clear();
  pathValid_ = false;
  return ok && !failed_;
}

bool NdxIndex::RemoveAt(int level) {
  const Level lv = path_[static_cast<size_t>(level)];
  Page page;
  if (!GetPage(lv.page, page)) return false;
  int k = Count(page);
  bool interior = IsInterior(page);
  int e = interior ? k + 1 : k;
  if (lv.pos < 1 || lv.pos > e) return Damaged();
  bool wasLast = lv.pos == e;
  std::memmove(Entry(page, lv.pos), Entry(page, lv.pos + 1), static_cast<size_t>((e - lv.pos) * entrySize_));
  std::memset(Entry(page, e), 0, static_cast<size_t>(entrySize_));
  int remaining = e - 1;
  SetCount(page, interior ? std::max(remaining - 1, 0) : remaining);
  if (!PutPage(lv.page, page)) return false;
  if (remaining == 0) return level > 0 ? RemoveAt(level - 1) : true;
  if (wasLast) return RaiseLastKey(level, Key(page, remaining));
  return true;
}

bool NdxIndex::DeleteCurrent() {
  failed_ = false;
  if (!pathValid_ || path_.empty()) return false;
  const Level& leaf = path_.back();
  if (leaf.pos < 1 || leaf.pos > leaf.k) return false;
  bool ok = RemoveAt(static_cast<int>(path_.size()) - 1);
  path_.clear();
  pathValid_ = false;
  return ok && !failed_;
}

bool NdxIndex::Update(int32_t r, const std::string& rawKey, bool existed, bool building) {
  failed_ = false;
  std::string key = Normalize(rawKey);
  if (existed && PositionOn(r)) {
    if (currentKey_ == key) return true;
    if (!DeleteCurrent()) return false;
  }
  if (failed_ || !Insert(key, r)) return false;
  if (!building) {
    Search(key);
    for (uint64_t guard = 0; guard < MaxEntries() && !failed_ && !end_ && currentRecord_ != r; ++guard)
      Move(Step::Next);
  }
  return !failed_;
}

}  // namespace tilmor::dbase
