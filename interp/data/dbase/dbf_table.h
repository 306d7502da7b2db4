// dBase III tables (.DBF) with their memo files (.DBT) and indexes: the
// header, the record buffer, moves, field access, memos, packing and the
// creation of new tables from a structure definition file.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cached_file.h"
#include "db_error.h"
#include "ndx_index.h"

namespace tilmor::dbase {

constexpr int kMaxIndexes = 16;
constexpr int kMemoBlock = 512;
constexpr int kWrapWidth = 80;
constexpr int kMaxMemoLines = 10000;
// A memo is read up to its end mark, and never beyond 4 MiB.
constexpr int kMaxMemoBlocks = 8192;
constexpr int kMaxDefinitionLines = 128;
constexpr int kHeaderWindow = 8192;
constexpr int kTableWindow = 4096;
constexpr int kMemoWindow = 2048;
// A memo ends with two end marks, the way dBase III writes it, so that
// readers that look for both find the end; this engine stops at the first.
constexpr int kMemoEndMarks = 2;
constexpr char kPackMemoName[] = "DB3$$$.D$$";

struct Date {
  int year = 1900;
  int month = 1;
  int day = 1;
};
// Today's date; tests replace the clock.
using Clock = Date (*)();
void SetClock(Clock clock);
Date Today();

struct Field {
  std::string name;   // as stored, without case change
  std::string upper;  // for lookups
  char type = 'C';
  int length = 0;
  int decimals = 0;
  int offset = 0;  // in the record; the first field at 1
};

// What the last field read or write touched; type ' ' after an error.
struct LastField {
  char type = ' ';
  int decimals = 0;
  int length = 0;
  int number = 0;
  std::string name;
};

enum class Position { First, Last, Next, Previous };

// Windows-1252 upper case and blank trimming as the language does them.
std::string UpperText(std::string_view s);
std::string TrimBlanks(std::string_view s);
// "X.DBF" -> "X.DBT": the extension of the last name part replaced.
std::string ReplaceExtension(const std::string& name, const std::string& extension);

// DBCREATE: a new table (and its memo file) from a structure definition.
bool CreateTable(DbError& error, const std::string& definitionFile, const std::string& tableName);

class DbfTable {
 public:
  explicit DbfTable(DbError& error);
  ~DbfTable();
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;

  // Reads and checks the header and the field descriptors; ".DBF" is added
  // to a name without extension.
  bool ReadHeader(const std::string& name);
  // Opens the table (and its memo file) for work and moves to the first
  // record.
  bool Open();
  // Writes the header date, the count and the end mark when the table was
  // changed; closes the files and the indexes.
  void Close();

  bool Go(Position p);
  bool GoTo(int64_t record);
  // n below 1 or above the count appends.
  bool WriteRecord(int64_t n);
  // The record buffer filled with blanks.
  void BlankBuffer();
  void SetDeletedFlag(bool deleted);

  int FieldIndex(std::string_view name) const;  // -1 when missing
  bool GetField(std::string_view name, std::string& out);
  bool GetFieldByNumber(int64_t number, std::string& out);
  // 1 when stored, 0 for a memo field or on an error.
  int PutField(std::string_view name, std::string_view value);
  int PutFieldByNumber(int64_t number, std::string_view value);

  // -1 when the field is no memo field; otherwise the memo's lines.
  int32_t GetMemo(std::string_view name, std::vector<std::string>& lines);
  bool PutMemo(std::string_view name, const std::vector<std::string>& lines);

  // Removes the deleted records; the new count, or -1 on an error.
  int64_t Pack();
  // Sequential search for `text` in a field from the current record on;
  // `decode` turns field texts into the character set of `text`.
  int32_t Seek(std::string_view name, std::string_view text, std::string (*decode)(std::string_view) = nullptr);

  bool BuildIndex(const std::string& formula, const std::string& name);
  bool OpenIndexes(const std::string& list);
  void CloseIndexes();
  int32_t Find(const std::string& key, bool exact);
  // The key formula on the record buffer.
  std::string EvaluateFormula(const std::string& formula);
  // The master index's key of the record buffer.
  std::string IndexKey(NdxIndex& index);
  NdxIndex* master() { return indexCount_ > 0 ? indexes_[0].get() : nullptr; }
  NdxIndex* index(int i) { return i >= 0 && i < indexCount_ ? indexes_[static_cast<size_t>(i)].get() : nullptr; }
  int index_count() const { return indexCount_; }
  bool index_active() const { return indexActive_; }

  const std::string& name() const { return name_; }
  const std::string& memo_name() const { return memoName_; }
  int state() const { return state_; }
  bool has_memo() const { return memoFlag_; }
  int version() const { return version_; }
  int64_t count() const { return count_; }
  int header_length() const { return headerLength_; }
  int record_length() const { return recordLength_; }
  int field_count() const { return static_cast<int>(fields_.size()); }
  const std::vector<Field>& fields() const { return fields_; }
  const std::string& date_text() const { return dateText_; }
  int64_t current() const { return current_; }
  bool deleted() const { return deleted_; }
  bool eof() const { return eof_; }
  bool found() const { return found_; }
  const LastField& last_field() const { return lastField_; }
  const std::vector<uint8_t>& buffer() const { return record_; }

 private:
  bool ReadRecord(int64_t n);
  bool Damaged(const char* text);
  void SetLastField(int index);
  void ClearLastField() { lastField_ = LastField{}; }
  std::string FieldText(int index) const;
  void StoreField(int index, std::string_view value);
  // A memo field's block number; false when the text is no number.
  bool MemoBlock(int index, int64_t& block) const;
  bool ReadMemoText(int64_t start, std::string& text, int64_t& blocks);
  bool WriteMemo(CachedFile& file, int64_t start, const std::string& text, int64_t* blocks);
  bool ReadNextFree(int64_t& block);

  DbError* error_;
  std::string name_;
  std::string memoName_;
  CachedFile file_;
  CachedFile memo_;
  std::array<uint8_t, 32> header_{};
  int state_ = 0;  // 0 closed, 1 open, 2 changed
  bool memoFlag_ = false;
  int version_ = 3;
  std::string dateText_;
  int64_t count_ = 0;
  int headerLength_ = 0;
  int recordLength_ = 0;
  std::vector<Field> fields_;
  int64_t current_ = 0;
  std::vector<uint8_t> record_;
  bool deleted_ = false;
  bool eof_ = false;
  bool found_ = false;

  std::array<std::unique_ptr<NdxIndex>, kMaxIndexes> indexes_;
  int indexCount_ = 0;
  bool indexActive_ = false;

  // The memo last read: rewritten in place only while it is this one.
  bool memoKnown_ = false;
  int64_t memoStart_ = 0;
  int64_t memoBlocks_ = 0;
  int64_t memoRecord_ = 0;
  int32_t lastMemoValue_ = 0;

  LastField lastField_;
};

}  // namespace tilmor::dbase
