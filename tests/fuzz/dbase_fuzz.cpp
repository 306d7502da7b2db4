// libFuzzer target: arbitrary bytes as a table, its memo file, an index
// and a structure definition, then everything a program can do with them.
// Input: 2 bytes table length, 2 bytes memo length (little-endian), the
// table, the memo file, the rest the index.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "dbf_table.h"
#include "winpath.h"

namespace {
std::string g_dir;  // where the inputs become files
}

// The engine's file names, all in the fuzzer's own directory.
namespace win {
std::string HostPath(std::string_view name) { return g_dir + "/" + std::string(name); }
bool HasExtension(std::string_view name) {
  size_t slash = name.find_last_of("\\/:");
  size_t dot = name.find_last_of('.');
  return dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
}
}  // namespace win

namespace {

void Write(const char* name, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(win::HostPath(name).c_str(), "wb");
  if (!f) abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

using namespace tilmor::dbase;

void Exercise(DbError& err) {
  DbfTable t(err);
  if (!t.ReadHeader("F")) return;
  t.Open();
  std::vector<std::string> lines;
  std::string v;
  for (int i = 0; i < 40 && !t.eof(); ++i) {
    for (int f = 1; f <= t.field_count() && f <= 20; ++f) {
      t.GetFieldByNumber(f, v);
      if (t.fields()[static_cast<size_t>(f - 1)].type == 'M') t.GetMemo(t.fields()[static_cast<size_t>(f - 1)].name, lines);
    }
    t.Go(Position::Next);
  }
  t.OpenIndexes("F");
  if (t.index_active()) {
    t.Go(Position::First);
    std::string key = t.IndexKey(*t.master());
    t.Find(key, true);
    t.Find("", false);
    t.Find("A", false);
    for (int i = 0; i < 30; ++i) t.Go(i % 7 == 6 ? Position::Previous : Position::Next);
    t.Go(Position::Last);
    t.Go(Position::Previous);
  }
  for (const Field& f : t.fields()) {
    if (f.type == 'M') {
      t.GetMemo(f.name, lines);
      lines.push_back("fuzz");
      t.PutMemo(f.name, lines);
      break;
    }
  }
  if (t.field_count() > 0) t.PutFieldByNumber(1, "Z");
  t.WriteRecord(t.current());
  t.WriteRecord(-1);
  t.GoTo(1);
  t.SetDeletedFlag(true);
  t.WriteRecord(1);
  t.Pack();
  t.Go(Position::First);
  t.Close();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char dir[] = "/tmp/dbase_fuzz_XXXXXX";
  if (!mkdtemp(dir)) abort();
  g_dir = dir;
  std::atexit([] {
    for (const char* f : {"F.DBF", "F.DBT", "F.NDX", "F.DEF", "G.DBF", "G.DBT", "DB3$$$.D$$"})
      std::remove(win::HostPath(f).c_str());
    std::remove(g_dir.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  size_t table = data[0] | data[1] << 8, memo = data[2] | data[3] << 8;
  data += 4;
  size -= 4;
  if (table > size) table = size;
  if (memo > size - table) memo = size - table;
  Write("F.DBF", data, table);
  Write("F.DBT", data + table, memo);
  Write("F.NDX", data + table + memo, size - table - memo);
  Write("F.DEF", data + table, memo);
  DbError err;
  Exercise(err);
  err.Clear();
  CreateTable(err, "F.DEF", "G");
  MessageFor(err.number(), err.text());
  return 0;
}
