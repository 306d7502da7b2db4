// Index files: the page layout, the B-tree's order through inserts, splits
// and deletes, searches, the page cache and damaged files.
#include <algorithm>
#include <cstring>
#include <map>
#include <random>

#include "dbase_test_util.h"

namespace {

using namespace tilmor::dbase;
using namespace dbtest;

// Reads an index file straight from its bytes and checks the tree: page
// counts, equal leaf depth, separators equal to their subtree's largest
// key. Returns the leaf entries in order.
struct Checked {
  std::vector<std::pair<std::string, int32_t>> entries;
  std::string problem;
};

Checked CheckIndexFile(const std::string& path) {
  Checked c;
  std::string f = ReadBytes(path);
  if (f.size() < 1024 || f.size() % 512 != 0) return {{}, "size"};
  uint32_t root = U32(f, 0), next = U32(f, 4);
  int keyLen = U16(f, 12), kpp = U16(f, 14), es = U16(f, 18);
  if (next * 512 != f.size()) c.problem = "next free is not the page count";
  if (es != (keyLen + 8 + 3) / 4 * 4 || kpp != 504 / es) return {{}, "header sizes"};
  int leafDepth = -1;
  // Returns the subtree's largest key.
  std::function<std::string(uint32_t, int)> walk = [&](uint32_t p, int depth) -> std::string {
    if (p < 1 || p >= next || depth > 30) {
      c.problem = "page number";
      return {};
    }
    std::string page = f.substr(p * 512, 512);
    page.resize(1024, '\0');
    uint32_t k = U32(page, 0);
    if (k > static_cast<uint32_t>(kpp)) {
      c.problem = "count";
      return {};
    }
    auto at = [&](uint32_t i) { return 4 + (i - 1) * es; };
    bool interior = U32(page, at(1)) != 0;
    if (!interior) {
      if (leafDepth < 0) leafDepth = depth;
      if (leafDepth != depth) c.problem = "leaf depth";
      for (uint32_t i = 1; i <= k; ++i) {
        if (U32(page, at(i)) != 0) c.problem = "child in leaf";
        c.entries.emplace_back(page.substr(at(i) + 8, static_cast<size_t>(keyLen)),
                               static_cast<int32_t>(U32(page, at(i) + 4)));
      }
      return k ? page.substr(at(k) + 8, static_cast<size_t>(keyLen)) : std::string();
    }
    std::string largest;
    for (uint32_t i = 1; i <= k + 1; ++i) {
      largest = walk(U32(page, at(i)), depth + 1);
      if (i <= k && page.substr(at(i) + 8, static_cast<size_t>(keyLen)) != largest)
        c.problem = "separator of page " + std::to_string(p) + " entry " + std::to_string(i);
    }
    return largest;
  };
  walk(root, 0);
  return c;
}

class IndexTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ASSERT_TRUE(MakeTable(err, "T", "NAME;C;10\nCITY;C;6\nNUM;N;6;1\nBORN;D\n"));
    ASSERT_TRUE(t.ReadHeader("T") && t.Open());
  }
  void Add(const std::string& name, const std::string& city = "", const std::string& num = "") {
    t.BlankBuffer();
    t.PutField("NAME", name);
    t.PutField("CITY", city);
    t.PutField("NUM", num);
    ASSERT_TRUE(t.WriteRecord(-1)) << err.text();
  }
  void Set(int64_t r, const char* field, const std::string& value) {
    ASSERT_TRUE(t.GoTo(r)) << err.text();
    t.PutField(field, value);
    ASSERT_TRUE(t.WriteRecord(r)) << err.text();
  }
  // Records in index order, walked with the table's moves.
  std::vector<int64_t> Walk() {
    std::vector<int64_t> order;
    t.Go(Position::First);
    while (!t.eof() && order.size() <= static_cast<size_t>(t.count())) {
      order.push_back(t.current());
      t.Go(Position::Next);
    }
    return order;
  }
  std::vector<int64_t> WalkBack() {
    std::vector<int64_t> order;
    t.Go(Position::Last);
    for (size_t n = 0; n <= static_cast<size_t>(t.count()); ++n) {
      order.push_back(t.current());
      NdxIndex* ix = t.master();
      t.Go(Position::Previous);
      if (ix->begin()) break;
    }
    return order;
  }
  DbError err;
  DbfTable t{err};
};

TEST_F(IndexTest, NewIndexHasHeaderAndOneEmptyLeaf) {
  ASSERT_TRUE(t.BuildIndex(" NAME ", "BYNAME")) << err.text();
  t.Close();
  std::string f = ReadBytes("BYNAME.NDX");
  ASSERT_EQ(f.size(), 1024u);
  EXPECT_EQ(U32(f, 0), 1u);
  EXPECT_EQ(U32(f, 4), 2u);
  EXPECT_EQ(U32(f, 8), 0u);
  EXPECT_EQ(U16(f, 12), 10);
  EXPECT_EQ(U16(f, 14), 25);
  EXPECT_EQ(U16(f, 16), 0);
  EXPECT_EQ(U16(f, 18), 20);
  EXPECT_EQ(U32(f, 20), 0u);
  EXPECT_EQ(f.substr(24, 5), std::string("NAME\0", 5));
  EXPECT_EQ(f.substr(29, 483), std::string(483, '\0'));
  EXPECT_EQ(f.substr(512), std::string(512, '\0'));
}

TEST_F(IndexTest, KeyTypeAndLengthFollowTheFormula) {
  struct Case {
    const char* formula;
    int keyLength, keysPerPage, type, entrySize;
  } cases[] = {{"NAME+CITY", 16, 21, 0, 24}, {"CITY", 6, 31, 0, 16}, {"NUM", 8, 31, 1, 16}, {"BORN", 8, 31, 1, 16},
               {"NUM+CITY", 12, 25, 0, 20}};
  for (const Case& c : cases) {
    ASSERT_TRUE(t.BuildIndex(c.formula, "IX")) << c.formula;
    t.CloseIndexes();
    std::string f = ReadBytes("IX.NDX");
    EXPECT_EQ(U16(f, 12), c.keyLength) << c.formula;
    EXPECT_EQ(U16(f, 14), c.keysPerPage) << c.formula;
    EXPECT_EQ(U16(f, 16), c.type) << c.formula;
    EXPECT_EQ(U16(f, 18), c.entrySize) << c.formula;
  }
}

TEST_F(IndexTest, BuildRejectsFormulasThatAreNoFields) {
  EXPECT_FALSE(t.BuildIndex("NAME+TOWN", "BAD"));
  EXPECT_EQ(err.number(), kErrFormula);
  EXPECT_EQ(err.text(), ": NAME+TOWN");
  EXPECT_EQ(MessageFor(err.number(), err.text()).message, 611);
  EXPECT_FALSE(std::filesystem::exists("BAD.NDX"));
  err.Clear();
  // An empty formula only closes the indexes.
  ASSERT_TRUE(t.BuildIndex("NAME", "IX"));
  EXPECT_TRUE(t.index_active());
  EXPECT_TRUE(t.BuildIndex("  ", "IX"));
  EXPECT_FALSE(t.index_active());
}

TEST_F(IndexTest, FormulaEvaluation) {
  Add("Anna", "Berlin");
  t.GoTo(1);
  EXPECT_EQ(t.EvaluateFormula("name+ city"), "Anna      Berlin");
  EXPECT_EQ(t.EvaluateFormula("\"<\"+NAME+\">\"+"), "<Anna      >");
  EXPECT_EQ(t.EvaluateFormula("CITY+\"open"), "Berlinopen");
  EXPECT_EQ(err.number(), 0);
  EXPECT_EQ(t.EvaluateFormula("CITY+TOWN"), "Berlin");
  EXPECT_EQ(err.number(), kErrFormula);
  EXPECT_EQ(err.text(), ": CITY+TOWN (TOWN)");
}

TEST_F(IndexTest, NumericKeyText) {
  struct Case {
    const char* text;
    double value;
    bool ok;
  } cases[] = {{"  -1.5e2", -150, true}, {"12   ", 12, true}, {"", 0, true},      {"+.5", 0.5, true},
               {"1E-2", 0.01, true},     {"1x", 1, false},   {"1 2", 1, false}, {"  7.25", 7.25, true}};
  for (const Case& c : cases) {
    double v = -99;
    EXPECT_EQ(ParseNumericKey(c.text, v), c.ok) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
  EXPECT_EQ(NumericKeyValue(NumericKey(-2.5)), -2.5);
  EXPECT_EQ(NumericKey(-0.0), NumericKey(0.0));
}

TEST_F(IndexTest, NumericIndexOrdersByValue) {
  for (const char* v : {"10", "-1", "2", "0", "  -3.5", "100"}) Add("x", "", v);
  ASSERT_TRUE(t.BuildIndex("NUM", "BYNUM")) << err.text();
  EXPECT_EQ(Walk(), (std::vector<int64_t>{5, 2, 4, 3, 1, 6}));
  EXPECT_EQ(t.Find("2", true), 3);
  EXPECT_EQ(t.Find("2.0", false), 3);
  EXPECT_EQ(t.Find("3", true), 0);
  t.Close();
  Checked c = CheckIndexFile("BYNUM.NDX");
  EXPECT_EQ(c.problem, "");
  ASSERT_EQ(c.entries.size(), 6u);
  EXPECT_EQ(NumericKeyValue(c.entries[0].first), -3.5);
  EXPECT_EQ(NumericKeyValue(c.entries[5].first), 100);
}

TEST_F(IndexTest, BadNumericKeyIsReported) {
  Add("x", "", "1,5");
  Add("y", "", "2");
  // The build goes on over the bad value; the error stays pending.
  EXPECT_FALSE(t.BuildIndex("NUM", "IX"));
  EXPECT_EQ(err.number(), kErrNumericKey);
  EXPECT_EQ(err.text(), ": 1,5   ");
  EXPECT_EQ(MessageFor(err.number(), err.text()).message, 608);
  EXPECT_EQ(Walk(), (std::vector<int64_t>{1, 2}));
}

TEST_F(IndexTest, RootSplitIsOnDiskAtOnce) {
  ASSERT_TRUE(t.BuildIndex("NAME", "IX"));
  const int m = t.master()->keys_per_page();
  ASSERT_EQ(m, 25);
  for (int i = 0; i < m; ++i) Add("k" + std::to_string(100 + i));
  std::string f = ReadBytes("IX.NDX");
  EXPECT_EQ(U32(f, 0), 1u);
  EXPECT_EQ(U32(f, 4), 2u);
  Add("k999");
  f = ReadBytes("IX.NDX");
  EXPECT_NE(U32(f, 0), 1u);
  EXPECT_EQ(U32(f, 4), 4u);
  EXPECT_EQ(t.master()->root(), U32(f, 0));
  t.Close();
  Checked c = CheckIndexFile("IX.NDX");
  EXPECT_EQ(c.problem, "");
  EXPECT_EQ(c.entries.size(), static_cast<size_t>(m + 1));
}

TEST_F(IndexTest, EqualKeysKeepTheirInsertionOrder) {
  ASSERT_TRUE(t.BuildIndex("CITY", "IX"));
  const char* cities[] = {"Bonn", "Aue", "Celle"};
  for (int i = 0; i < 90; ++i) Add("n", cities[i % 3]);
  std::vector<int64_t> want;
  for (int c : {1, 0, 2})
    for (int i = 0; i < 90; ++i)
      if (i % 3 == c) want.push_back(i + 1);
  EXPECT_EQ(Walk(), want);
  std::vector<int64_t> back(want.rbegin(), want.rend());
  EXPECT_EQ(WalkBack(), back);
  EXPECT_EQ(t.Find("Bonn", true), 1);
  t.Close();
  EXPECT_EQ(CheckIndexFile("IX.NDX").problem, "");
}

TEST_F(IndexTest, FindMatchesPrefixesOrWholeKeys) {
  for (const char* n : {"MEYER", "MUELLER", "MEIER", "ME"}) Add(n);
  ASSERT_TRUE(t.BuildIndex("NAME", "IX"));
  EXPECT_EQ(t.Find("ME", false), 4);
  EXPECT_TRUE(t.found());
  EXPECT_EQ(t.current(), 4);
  EXPECT_EQ(t.Find("MEI", false), 3);
  EXPECT_EQ(t.Find("MEY", true), 0);
  EXPECT_FALSE(t.found());
  EXPECT_EQ(t.current(), 3);
  EXPECT_EQ(t.Find("MEYER", true), 1);
  EXPECT_EQ(t.Find("MUELLER   X", false), 0);
  EXPECT_EQ(t.Find("", false), 4);
  // Found, then on in key order.
  t.Find("MEIER", true);
  t.Go(Position::Next);
  EXPECT_EQ(t.current(), 1);
}

TEST_F(IndexTest, RecordWritesMoveTheMasterEntryOnly) {
  for (const char* n : {"d", "b", "a", "c"}) Add(n, n);
  ASSERT_TRUE(t.BuildIndex("CITY", "BYCITY"));
  ASSERT_TRUE(t.BuildIndex("NAME", "BYNAME"));
  t.CloseIndexes();
  ASSERT_TRUE(t.OpenIndexes("BYNAME,BYCITY")) << err.text();
  EXPECT_EQ(t.index_count(), 2);
  EXPECT_EQ(Walk(), (std::vector<int64_t>{3, 2, 4, 1}));
  Set(3, "NAME", "z");
  Set(1, "CITY", "q");  // not part of the master key
  Add("0", "0");
  EXPECT_EQ(Walk(), (std::vector<int64_t>{5, 2, 4, 1, 3}));
  t.Close();
  EXPECT_EQ(CheckIndexFile("BYNAME.NDX").problem, "");
  Checked city = CheckIndexFile("BYCITY.NDX");
  ASSERT_EQ(city.entries.size(), 4u);  // the second index kept its old entries
  EXPECT_EQ(city.entries[3], (std::pair<std::string, int32_t>{"d     ", 1}));
}

// Many inserts and key changes against a model of the expected order; the
// file is checked after every round.
TEST_F(IndexTest, StaysOrderedThroughSplitsAndDeletes) {
  ASSERT_TRUE(t.BuildIndex("NAME", "IX"));
  std::mt19937 rng(7);
  std::map<int64_t, std::pair<std::string, int>> model;  // record -> key, insertion stamp
  int stamp = 0;
  auto key = [&](int range) {
    char b[16];
    std::snprintf(b, sizeof b, "k%05u", static_cast<unsigned>(rng() % static_cast<unsigned>(range)));
    return std::string(b);
  };
  for (int round = 0; round < 6; ++round) {
    for (int i = 0; i < 300; ++i) {
      std::string k = key(round < 3 ? 400 : 50);
      Add(k);
      model[t.current()] = {k + std::string(10 - k.size(), ' '), stamp++};
    }
    for (int i = 0; i < 200; ++i) {
      int64_t r = 1 + static_cast<int64_t>(rng() % static_cast<unsigned>(t.count()));
      // Whole key ranges move away, so that pages empty.
      std::string k = round % 2 ? "z" + key(20) : key(1000);
      Set(r, "NAME", k);
      std::string full = k + std::string(10 - k.size(), ' ');
      if (model[r].first != full) model[r] = {full, stamp++};
    }
    std::vector<std::tuple<std::string, int, int64_t>> want;
    for (auto& [r, v] : model) want.emplace_back(v.first, v.second, r);
    std::sort(want.begin(), want.end());
    std::vector<int64_t> order;
    for (auto& w : want) order.push_back(std::get<2>(w));
    ASSERT_EQ(Walk(), order) << "round " << round;
    t.CloseIndexes();
    Checked c = CheckIndexFile("IX.NDX");
    ASSERT_EQ(c.problem, "") << "round " << round;
    ASSERT_EQ(c.entries.size(), model.size());
    ASSERT_TRUE(t.OpenIndexes("IX"));
  }
}

TEST_F(IndexTest, DirtyPagesWaitForEvictionOrClose) {
  for (const char* n : {"a", "b", "c"}) Add(n);
  ASSERT_TRUE(t.BuildIndex("NAME", "IX"));
  t.CloseIndexes();
  ASSERT_TRUE(t.OpenIndexes("IX"));
  t.Go(Position::First);  // the leaf is now in the cache
  std::string before = ReadBytes("IX.NDX");
  Set(1, "NAME", "x");
  EXPECT_EQ(ReadBytes("IX.NDX"), before);
  t.CloseIndexes();
  EXPECT_NE(ReadBytes("IX.NDX"), before);
  Checked c = CheckIndexFile("IX.NDX");
  ASSERT_EQ(c.entries.size(), 3u);
  EXPECT_EQ(c.entries[2].second, 1);
}

TEST_F(IndexTest, AtMostSixteenIndexes) {
  Add("a");
  ASSERT_TRUE(t.BuildIndex("NAME", "IX"));
  t.CloseIndexes();
  std::string list;
  for (int i = 0; i < kMaxIndexes + 1; ++i) list += "IX,";
  EXPECT_FALSE(t.OpenIndexes(list));
  EXPECT_EQ(t.index_count(), kMaxIndexes);
  EXPECT_EQ(err.number(), kErrIndexFile);
  EXPECT_EQ(t.Find("a", true), 1);
}

TEST_F(IndexTest, DamagedIndexFilesAreRefused) {
  for (int i = 0; i < 80; ++i) Add("n" + std::to_string(i));
  ASSERT_TRUE(t.BuildIndex("NAME", "IX"));
  t.CloseIndexes();
  const std::string good = ReadBytes("IX.NDX");
  uint32_t root = U32(good, 0);
  struct Case {
    const char* what;
    std::function<void(std::string&)> change;
    bool opens;
  } cases[] = {
      {"truncated", [](std::string& s) { s.resize(300); }, false},
      {"key length 0", [](std::string& s) { SetU16(s, 12, 0); }, false},
      {"key over the page", [](std::string& s) { SetU16(s, 12, 300); SetU16(s, 18, 308); SetU16(s, 14, 1); }, false},
      {"keys per page too many", [](std::string& s) { SetU16(s, 14, 60); }, false},
      {"root beyond next free", [&](std::string& s) { SetU32(s, 0, U32(s, 4)); }, false},
      {"next free beyond the file", [](std::string& s) { SetU32(s, 4, 1000); }, false},
      {"key type", [](std::string& s) { SetU16(s, 16, 7); }, false},
      {"child outside", [&](std::string& s) { SetU32(s, root * 512 + 4, 999); }, true},
      {"loop", [&](std::string& s) { SetU32(s, root * 512 + 4, root); }, true},
      {"count too big", [&](std::string& s) { SetU32(s, root * 512, 9999); }, true},
  };
  for (const Case& c : cases) {
    std::string bad = good;
    c.change(bad);
    WriteBytes("IX.NDX", bad);
    err.Clear();
    bool ok = t.OpenIndexes("IX");
    EXPECT_EQ(t.index_active(), c.opens) << c.what;
    if (!c.opens) {
      EXPECT_FALSE(ok) << c.what;
      EXPECT_EQ(err.number(), kErrIndexFile) << c.what;
      EXPECT_EQ(err.text(), ": IX.NDX") << c.what;
      continue;
    }
    // Opened: every use meets the damage and ends cleanly.
    err.Clear();
    t.Find("n5", false);
    t.Go(Position::Last);
    Walk();
    t.GoTo(3);
    t.PutField("NAME", "moved");
    t.WriteRecord(3);
    EXPECT_NE(err.number(), 0) << c.what;
    t.CloseIndexes();
  }
  err.Clear();
  EXPECT_FALSE(t.OpenIndexes("MISSING"));
  EXPECT_EQ(err.number(), 2);
  EXPECT_EQ(err.text(), ": MISSING.NDX");
}

}  // namespace

namespace {

using namespace tilmor::dbase;
using namespace dbtest;

// The page cache against a model of its rules: a list from the most to the
// least recently used page; a miss takes the last one, writing it back when
// dirty; a page put while not cached is written at once.
class PageCacheTest : public TempDirTest {
 protected:
  static constexpr int kPages = 100;
  void SetUp() override {
    TempDirTest::SetUp();
    std::string bytes;
    for (int p = 0; p < kPages; ++p) bytes += std::string(kPageSize, static_cast<char>(p));
    WriteBytes("P.NDX", bytes);
    model_.file = bytes;
  }
  struct Model {
    struct Entry {
      uint32_t page;
      bool dirty;
      std::string data;
    };
    std::vector<Entry> list;  // most recently used first
    std::string file;
    void Store(uint32_t p, const std::string& data) { file.replace(p * kPageSize, kPageSize, data); }
    Entry& Slot(uint32_t p) {
      auto hit = std::find_if(list.begin(), list.end(), [p](const Entry& e) { return e.page == p; });
      if (hit != list.end()) {
        std::rotate(list.begin(), hit, hit + 1);
        return list.front();
      }
      if (list.size() == kPageCacheSize) {
        if (list.back().dirty) Store(list.back().page, list.back().data);
        list.pop_back();
      }
      list.insert(list.begin(), Entry{p, false, file.substr(p * kPageSize, kPageSize)});
      return list.front();
    }
    std::string Get(uint32_t p) { return Slot(p).data; }
    void Put(uint32_t p, const std::string& data) {
      bool cached = std::any_of(list.begin(), list.end(), [p](const Entry& e) { return e.page == p; });
      if (!cached) Store(p, data);
      Entry& e = Slot(p);
      e.data = data;
      e.dirty = true;
    }
    void Flush() {
      for (Entry& e : list)
        if (e.dirty) Store(e.page, e.data), e.dirty = false;
    }
    const Entry* Find(uint32_t p) const {
      for (const Entry& e : list)
        if (e.page == p) return &e;
      return nullptr;
    }
  };
  void ExpectSameState(const NdxPageCache& cache, const std::string& when) {
    for (uint32_t p = 0; p < kPages; ++p) {
      const Model::Entry* e = model_.Find(p);
      ASSERT_EQ(cache.Holds(p), e != nullptr) << "page " << p << " " << when;
      ASSERT_EQ(cache.IsDirty(p), e && e->dirty) << "page " << p << " " << when;
    }
    ASSERT_TRUE(ReadBytes("P.NDX") == model_.file) << "file contents " << when;
  }
  DbError err;
  CachedFile file{err};
  Model model_;
};

TEST_F(PageCacheTest, EvictsTheLeastRecentlyUsedAndWritesBackOnlyDirtyPages) {
  ASSERT_TRUE(file.OpenReadWrite("P.NDX", "P.NDX", 1, kIndexWindow));
  NdxPageCache cache(file);
  cache.Open();
  std::mt19937 rng(5);
  uint8_t page[kPageSize];
  for (int op = 0; op < 3000; ++op) {
    // pages 1..48 often, so that hits and misses both happen; now and then
    // any page
    uint32_t p = rng() % 8 ? 1 + rng() % 48 : 1 + rng() % (kPages - 1);
    std::string when = "after operation " + std::to_string(op);
    if (rng() % 3) {
      ASSERT_EQ(cache.Get(p, page), NdxPageCache::kOk);
      ASSERT_EQ(std::string(reinterpret_cast<char*>(page), kPageSize), model_.Get(p)) << when;
    } else {
      std::string data(kPageSize, static_cast<char>(rng()));
      data[0] = static_cast<char>(op);
      ASSERT_EQ(cache.Put(p, reinterpret_cast<const uint8_t*>(data.data())), NdxPageCache::kOk);
      model_.Put(p, data);
    }
    ExpectSameState(cache, when);
  }
  EXPECT_EQ(cache.Flush(), 0);
  model_.Flush();
  ExpectSameState(cache, "after the flush");
}

TEST_F(PageCacheTest, ARefreshedPageOutlivesOlderOnes) {
  ASSERT_TRUE(file.OpenReadWrite("P.NDX", "P.NDX", 1, kIndexWindow));
  NdxPageCache cache(file);
  cache.Open();
  uint8_t page[kPageSize];
  for (uint32_t p = 1; p <= kPageCacheSize; ++p) ASSERT_EQ(cache.Get(p, page), NdxPageCache::kOk);
  ASSERT_EQ(cache.Get(1, page), NdxPageCache::kOk);  // 2 is now the oldest
  ASSERT_EQ(cache.Get(50, page), NdxPageCache::kOk);
  EXPECT_TRUE(cache.Holds(1));
  EXPECT_FALSE(cache.Holds(2));
  EXPECT_TRUE(cache.Holds(3));
  ASSERT_EQ(cache.Get(51, page), NdxPageCache::kOk);
  EXPECT_FALSE(cache.Holds(3));
}

TEST_F(PageCacheTest, FailedReadsAndWritesLeaveTheCacheUsable) {
  ASSERT_TRUE(file.OpenRead("P.NDX", "P.NDX", 1, kIndexWindow));
  NdxPageCache cache(file);
  cache.Open();
  uint8_t page[kPageSize];
  EXPECT_EQ(cache.Get(kPages + 3, page), NdxPageCache::kReadFailed) << "beyond the end";
  EXPECT_FALSE(cache.Holds(kPages + 3));
  std::memset(page, 0x55, kPageSize);
  EXPECT_EQ(cache.Put(7, page), NdxPageCache::kWriteFailed) << "the file is read-only";
  EXPECT_FALSE(cache.Holds(7));
  // a cached page takes a put without writing, and its write-back fails
  // when it must make room
  for (uint32_t p = 1; p <= kPageCacheSize; ++p) ASSERT_EQ(cache.Get(p, page), NdxPageCache::kOk);
  ASSERT_EQ(cache.Put(1, page), NdxPageCache::kOk);
  for (uint32_t p = 2; p <= kPageCacheSize; ++p) ASSERT_EQ(cache.Get(p, page), NdxPageCache::kOk);
  EXPECT_EQ(cache.Get(60, page), NdxPageCache::kWriteBackFailed);
  EXPECT_TRUE(cache.IsDirty(1));
  EXPECT_FALSE(cache.Holds(60));
  EXPECT_EQ(cache.Flush(), 1);
  EXPECT_FALSE(cache.IsDirty(1)) << "a flush gives up the page it could not write";
  EXPECT_EQ(cache.Get(60, page), NdxPageCache::kOk);
  EXPECT_EQ(page[0], 60);
}

TEST_F(PageCacheTest, AClosedCacheHoldsNothing) {
  ASSERT_TRUE(file.OpenReadWrite("P.NDX", "P.NDX", 1, kIndexWindow));
  NdxPageCache cache(file);
  EXPECT_FALSE(cache.is_open());
  EXPECT_FALSE(cache.Holds(0));
  cache.Open();
  uint8_t page[kPageSize];
  ASSERT_EQ(cache.Get(4, page), NdxPageCache::kOk);
  cache.Close();
  EXPECT_FALSE(cache.Holds(4));
  EXPECT_EQ(cache.Flush(), 0);
}

}  // namespace
