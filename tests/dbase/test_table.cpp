// Tables: creation from a structure definition, the header, moves, field
// access, writes, packing and damaged files.
#include "dbase_test_util.h"

namespace {

using namespace tilmor::dbase;
using namespace dbtest;

class TableTest : public TempDirTest {
 protected:
  // NAME C10, AGE N5.1, BORN D, OK L: record length 25.
  void MakePeople() {
    ASSERT_TRUE(MakeTable(err, "PEOPLE", "name;C;10;0\nage;N;5;1\nborn;D\nok;L\n")) << err.text();
  }
  void Append(DbfTable& t, const std::string& name, const std::string& age = "") {
    t.BlankBuffer();
    t.PutField("NAME", name);
    t.PutField("AGE", age);
    ASSERT_TRUE(t.WriteRecord(-1));
  }
  std::string Field(DbfTable& t, const char* name) {
    std::string v;
    t.GetField(name, v);
    return v;
  }
  DbError err;
};

TEST_F(TableTest, CreateWritesTheHeaderByteForByte) {
  ASSERT_TRUE(MakeTable(err, "T", " Name ; c ; 12 ; 3\nVERYLONGFIELDNAME;N;6;2\nD1;D;99;9\n\nL1;L\nM1;m\nX1;X;4\n"));
  std::string f = ReadBytes("T.DBF");
  const size_t fields = 6;
  ASSERT_EQ(f.size(), 32 + 32 * fields + 2);
  EXPECT_EQ(static_cast<unsigned char>(f[0]), 0x83);  // a memo field makes 0x83
  EXPECT_EQ(f.substr(1, 3), std::string("\x7c\x03\x05", 3));
  EXPECT_EQ(U32(f, 4), 0u);
  EXPECT_EQ(U16(f, 8), 32 * fields + 33);
  EXPECT_EQ(U16(f, 10), 1 + 12 + 6 + 8 + 1 + 10 + 4);
  EXPECT_EQ(f.substr(12, 20), std::string(20, '\0'));
  struct Want {
    const char* name;
    char type;
    int length, decimals;
  } want[] = {{"NAME", 'C', 12, 0}, {"VERYLONGFI", 'N', 6, 2}, {"D1", 'D', 8, 0},
              {"L1", 'L', 1, 0},    {"M1", 'M', 10, 0},        {"X1", 'C', 4, 0}};
  for (size_t i = 0; i < fields; ++i) {
    std::string d = f.substr(32 + 32 * i, 32);
    std::string name(want[i].name);
    EXPECT_EQ(d.substr(0, 11), name + std::string(11 - name.size(), '\0')) << i;
    EXPECT_EQ(d[11], want[i].type) << i;
    EXPECT_EQ(d.substr(12, 4), std::string(4, '\0'));
    EXPECT_EQ(static_cast<unsigned char>(d[16]), want[i].length) << i;
    EXPECT_EQ(static_cast<unsigned char>(d[17]), want[i].decimals) << i;
    EXPECT_EQ(d.substr(18), std::string(14, '\0'));
  }
  EXPECT_EQ(f.substr(f.size() - 2), "\x0D\x1A");
  std::string memo = ReadBytes("T.DBT");
  ASSERT_EQ(memo.size(), 513u);
  EXPECT_EQ(U32(memo, 0), 1u);
  EXPECT_EQ(memo.substr(4, 508), std::string(508, '\0'));
  EXPECT_EQ(memo[512], '\x1A');
}

TEST_F(TableTest, CreateWithoutMemoFieldsWritesNoMemoFile) {
  MakePeople();
  EXPECT_EQ(static_cast<unsigned char>(ReadBytes("PEOPLE.DBF")[0]), 0x03);
  EXPECT_FALSE(std::filesystem::exists("PEOPLE.DBT"));
}

TEST_F(TableTest, CreateStopsAtTheFirstBadDefinitionLine) {
  struct Case {
    const char* definition;
    int number;
    const char* text;
  } cases[] = {
      {"A;C;5\nB;N;3;0\nA;C;2\n", kErrDuplicateField, ": A"},
      {"A;C;0\n", kErrFieldLength, ": 0"},
      {"A;C;zehn\n", kErrFieldLength, ": zehn"},
      {"A;C;256\n", kErrFieldLength, ": 256"},
      {"A;N;5;6\n", kErrDecimals, ": 6"},
      {"A;N;5;x\n", kErrDecimals, ": x"},
      {"A;N;5;-1\n", kErrDecimals, ": -1"},
      {";C;5\n", kErrFieldName, ": ;C;5"},
  };
  for (const Case& c : cases) {
    err.Clear();
    EXPECT_FALSE(MakeTable(err, "BAD", c.definition)) << c.definition;
    EXPECT_EQ(err.number(), c.number) << c.definition;
    EXPECT_EQ(err.text(), c.text) << c.definition;
    EXPECT_FALSE(std::filesystem::exists("BAD.DBF")) << c.definition;
  }
  std::string many;
  for (int i = 0; i < kMaxDefinitionLines + 1; ++i) many += "F" + std::to_string(i) + ";C;1\n";
  EXPECT_FALSE(MakeTable(err, "BAD", many));
  EXPECT_EQ(err.number(), kErrTooManyFields);
  // A missing definition file shows "Datei nicht gefunden".
  err.Clear();
  EXPECT_FALSE(CreateTable(err, "missing.txt", "BAD"));
  EXPECT_EQ(MessageFor(err.number(), err.text()).message, 601);
  EXPECT_EQ(err.text(), ": missing.txt");
}

TEST_F(TableTest, MemoFileNameFollowsTheTableNameInCreateAndOpen) {
  ASSERT_TRUE(MakeTable(err, "a.b.dbf", "M;M\n"));
  EXPECT_TRUE(std::filesystem::exists("a.b.DBT"));
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("a.b.dbf"));
  EXPECT_EQ(t.memo_name(), "a.b.DBT");
  EXPECT_TRUE(t.Open()) << err.text();
}

TEST_F(TableTest, EmptyTableIsAtItsEnd) {
  MakePeople();
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("people"));
  EXPECT_EQ(t.name(), "people.DBF");
  ASSERT_TRUE(t.Open());
  EXPECT_EQ(t.count(), 0);
  EXPECT_TRUE(t.eof());
  EXPECT_TRUE(t.Go(Position::Next));
  EXPECT_EQ(t.current(), 0);
  EXPECT_TRUE(t.eof());
  EXPECT_EQ(t.field_count(), 4);
  EXPECT_EQ(t.header_length(), 161);
  EXPECT_EQ(t.record_length(), 25);
  EXPECT_EQ(t.date_text(), "05.03.24");
}

TEST_F(TableTest, MovesStopAtBothEnds) {
  MakePeople();
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("PEOPLE") && t.Open());
  for (const char* n : {"a", "b", "c"}) Append(t, n);
  ASSERT_TRUE(t.Go(Position::First));
  EXPECT_EQ(Field(t, "NAME"), "a         ");
  t.Go(Position::Previous);
  EXPECT_EQ(t.current(), 1);
  EXPECT_FALSE(t.eof());
  t.Go(Position::Last);
  EXPECT_EQ(t.current(), 3);
  t.Go(Position::Next);
  EXPECT_EQ(t.current(), 3);
  EXPECT_TRUE(t.eof());
  EXPECT_EQ(Field(t, "NAME"), "c         ");
  t.Go(Position::Previous);
  EXPECT_EQ(t.current(), 2);
  EXPECT_FALSE(t.eof());
  // Outside the table: error 100, the record stays.
  EXPECT_FALSE(t.GoTo(4));
  EXPECT_EQ(err.number(), kErrRange);
  EXPECT_EQ(err.text(), ": Datensatz 4 nicht in der gefunden.");
  EXPECT_EQ(MessageFor(err.number(), err.text()).message, 608);
  EXPECT_EQ(t.current(), 2);
  err.Clear();
  EXPECT_FALSE(t.GoTo(0));
  EXPECT_EQ(t.current(), 2);
}

TEST_F(TableTest, CloseWritesCountDateAndEndMark) {
  MakePeople();
  {
    DbfTable t(err);
    ASSERT_TRUE(t.ReadHeader("PEOPLE") && t.Open());
    Append(t, "Anna", "12.5");
    Append(t, "Bob", "-3");
    // Records go to the file at once; the header waits for the close.
    std::string before = ReadBytes("PEOPLE.DBF");
    EXPECT_EQ(U32(before, 4), 0u);
    EXPECT_EQ(before.substr(161, 25), " Anna      12.5 " + std::string(9, ' '));
    t.Close();
  }
  std::string f = ReadBytes("PEOPLE.DBF");
  ASSERT_EQ(f.size(), 161u + 2 * 25 + 1);
  EXPECT_EQ(U32(f, 4), 2u);
  EXPECT_EQ(f.substr(1, 3), std::string("\x7c\x03\x05", 3));
  EXPECT_EQ(f.back(), '\x1A');
  EXPECT_EQ(f.substr(186, 25), " Bob       -3   " + std::string(9, ' '));
  // A table only read is left as it was.
  std::string again = f;
  {
    DbfTable t(err);
    ASSERT_TRUE(t.ReadHeader("PEOPLE") && t.Open());
    t.Go(Position::Last);
  }
  EXPECT_EQ(ReadBytes("PEOPLE.DBF"), again);
}

TEST_F(TableTest, FieldAccessPadsCutsAndReportsLastField) {
  MakePeople();
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("PEOPLE") && t.Open());
  EXPECT_EQ(t.PutField("name ", "a much too long name"), 1);
  EXPECT_EQ(Field(t, "Name"), "a much too");
  EXPECT_EQ(t.PutFieldByNumber(1, "x"), 1);
  std::string v;
  ASSERT_TRUE(t.GetFieldByNumber(1, v));
  EXPECT_EQ(v, "x         ");
  EXPECT_EQ(t.last_field().name, "NAME");
  ASSERT_TRUE(t.GetField("AGE", v));
  LastField lf = t.last_field();
  EXPECT_EQ(lf.type, 'N');
  EXPECT_EQ(lf.length, 5);
  EXPECT_EQ(lf.decimals, 1);
  EXPECT_EQ(lf.number, 2);

  EXPECT_FALSE(t.GetField("nope", v));
  EXPECT_EQ(err.number(), kErrFieldRead);
  EXPECT_EQ(err.text(), ": NOPE");
  EXPECT_EQ(t.last_field().type, ' ');
  EXPECT_EQ(t.last_field().number, 0);
  EXPECT_EQ(t.PutField("nope", "x"), 0);
  EXPECT_EQ(err.number(), kErrFieldWrite);
  EXPECT_FALSE(t.GetFieldByNumber(5, v));
  EXPECT_EQ(err.number(), kErrFieldNumberRead);
  EXPECT_EQ(err.text(), ": 5");
  EXPECT_EQ(t.PutFieldByNumber(0, "x"), 0);
  EXPECT_EQ(err.number(), kErrFieldNumberWrite);
  EXPECT_EQ(MessageFor(err.number(), err.text()).message, 615);
}

TEST_F(TableTest, PackRemovesDeletedRecords) {
  MakePeople();
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("PEOPLE") && t.Open());
  for (const char* n : {"a", "b", "c", "d"}) Append(t, n);
  // Without deleted records nothing changes.
  EXPECT_EQ(t.Pack(), 4);
  for (int r : {1, 3}) {
    ASSERT_TRUE(t.GoTo(r));
    t.SetDeletedFlag(true);
    ASSERT_TRUE(t.WriteRecord(r));
    EXPECT_TRUE(t.deleted());
  }
  EXPECT_EQ(t.Pack(), 2);
  EXPECT_EQ(t.current(), 1);
  EXPECT_EQ(Field(t, "NAME"), "b         ");
  t.Go(Position::Next);
  EXPECT_EQ(Field(t, "NAME"), "d         ");
  EXPECT_EQ(std::filesystem::file_size("PEOPLE.DBF"), 161u + 2 * 25 + 1);
  for (int r : {1, 2}) {
    ASSERT_TRUE(t.GoTo(r));
    t.SetDeletedFlag(true);
    t.WriteRecord(r);
  }
  EXPECT_EQ(t.Pack(), 0);
  EXPECT_TRUE(t.eof());
  t.Close();
  std::string f = ReadBytes("PEOPLE.DBF");
  EXPECT_EQ(f.size(), 162u);
  EXPECT_EQ(U32(f, 4), 0u);
  EXPECT_EQ(f.back(), '\x1A');
}

TEST_F(TableTest, SeekFindsSubstringsFromTheCurrentRecord) {
  MakePeople();
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("PEOPLE") && t.Open());
  for (const char* n : {"M\xFCller", "Meier", "Schmidt", "Obermeier"}) Append(t, n);
  t.Go(Position::First);
  EXPECT_EQ(t.Seek("NAME", "\xDC"), 1);  // upper-cased on both sides
  EXPECT_EQ(t.Seek("NAME", "meier"), 2);
  t.Go(Position::Next);
  EXPECT_EQ(t.Seek("NAME", "MEIER"), 4);
  t.Go(Position::Next);
  EXPECT_TRUE(t.eof());
  // At the end nothing is found again.
  EXPECT_EQ(t.Seek("NAME", "MEIER"), 0);
  t.Go(Position::First);
  EXPECT_EQ(t.Seek("NAME", "xyz"), 0);
  EXPECT_TRUE(t.eof());
  EXPECT_EQ(t.Seek("NONE", "a"), 0);
  EXPECT_EQ(err.number(), kErrFieldRead);
}

// A valid header of other software: lower-case names, a terminator that
// comes before the header's end, descriptor offsets filled in.
TEST_F(TableTest, ReadsTablesOfOtherSoftware) {
  std::string f(97, '\0');
  f[0] = 0x03;
  SetU32(f, 4, 1);
  SetU16(f, 8, 97);  // room for two descriptors, one used
  SetU16(f, 10, 4);
  f.replace(32, 4, "code");
  f[43] = 'C';
  f[44] = 1;  // offset bytes are not read
  f[48] = 3;
  f[64] = 0x0D;
  f += " abc\x1A";
  WriteBytes("OTHER.DBF", f);
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("other.dbf")) << err.text();
  ASSERT_TRUE(t.Open());
  EXPECT_EQ(t.field_count(), 1);
  EXPECT_EQ(t.fields()[0].name, "code");
  EXPECT_EQ(Field(t, "CODE"), "abc");
}

TEST_F(TableTest, DamagedHeadersAreRejected) {
  MakePeople();
  {
    DbfTable t(err);
    ASSERT_TRUE(t.ReadHeader("PEOPLE") && t.Open());
    Append(t, "a");
    Append(t, "b");
  }
  const std::string good = ReadBytes("PEOPLE.DBF");
  struct Case {
    const char* what;
    std::string bytes;
    const char* text;
  };
  std::vector<Case> cases;
  auto with = [&](auto change) {
    std::string s = good;
    change(s);
    return s;
  };
  cases.push_back({"version", with([](std::string& s) { s[0] = 0x30; }), ": Keine dBase III-Datei"});
  cases.push_back({"short", good.substr(0, 20), ": Keine dBase III-Datei"});
  cases.push_back({"empty", "", ": Keine dBase III-Datei"});
  cases.push_back({"header beyond file", with([](std::string& s) { SetU16(s, 8, 60000); }),
                   ": Tabellenkopf fehlerhaft"});
  cases.push_back({"header too small", with([](std::string& s) { SetU16(s, 8, 20); }), ": Tabellenkopf fehlerhaft"});
  cases.push_back({"record length 0", with([](std::string& s) { SetU16(s, 10, 0); }), ": Tabellenkopf fehlerhaft"});
  cases.push_back({"lengths do not add up", with([](std::string& s) { SetU16(s, 10, 26); }),
                   ": Tabellenkopf fehlerhaft"});
  cases.push_back({"field length 0", with([](std::string& s) { s[32 + 16] = 0; }), ": Tabellenkopf fehlerhaft"});
  cases.push_back({"records missing", with([](std::string& s) { SetU32(s, 4, 3); }),
                   ": Tabelle unvollst\xE4ndig"});
  cases.push_back({"huge count", with([](std::string& s) { SetU32(s, 4, 0xFFFFFFFF); }),
                   ": Tabelle unvollst\xE4ndig"});
  for (const Case& c : cases) {
    WriteBytes("BROKEN.DBF", c.bytes);
    err.Clear();
    DbfTable t(err);
    EXPECT_FALSE(t.ReadHeader("BROKEN")) << c.what;
    EXPECT_EQ(err.number(), kErrNotDbase) << c.what;
    EXPECT_EQ(err.text(), c.text) << c.what;
    ErrorMessage m = MessageFor(err.number(), err.text());
    EXPECT_EQ(m.message, 600);
    EXPECT_EQ(m.extra, std::string("157 ") + c.text);
  }
  err.Clear();
  DbfTable t(err);
  EXPECT_FALSE(t.ReadHeader("NOWHERE"));
  EXPECT_EQ(err.number(), 2);
  EXPECT_EQ(err.text(), ": NOWHERE.DBF (Reset)");
  EXPECT_EQ(MessageFor(err.number(), err.text()).message, 601);
}

// The table file shrinks behind the engine's back: reads fail cleanly.
TEST_F(TableTest, TruncatedWhileOpenGivesErrorsNotGarbage) {
  MakePeople();
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("PEOPLE") && t.Open());
  for (const char* n : {"a", "b", "c"}) Append(t, n);
  std::filesystem::resize_file("PEOPLE.DBF", 161 + 25 + 10);
  t.Go(Position::First);  // record 1 still in the window
  err.Clear();
  EXPECT_FALSE(t.GoTo(3));
  EXPECT_EQ(err.number(), kErrRange);
  EXPECT_EQ(t.current(), 1);
  EXPECT_EQ(Field(t, "NAME"), "a         ");
}

}  // namespace
