#include "dbf_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "winpath.h"

namespace tilmor::dbase {
namespace {

Date SystemToday() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

Clock g_clock = SystemToday;

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

char UpperChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 224 && u <= 254 && u != 247)) return static_cast<char>(u - 32);
  return c;
}

// "DD.MM.YY" from the header's date bytes.
std::string DateText(const uint8_t* h) {
  auto two = [](int v) {
    std::string s = std::to_string(v);
    if (s.size() > 2) s.resize(2);
    return s.size() < 2 ? "0" + s : s;
  };
  return two(h[3]) + "." + two(h[2]) + "." + two(h[1] % 100);
}

void StampDate(uint8_t* h) {
  Date d = Today();
  h[1] = static_cast<uint8_t>((d.year - 1900) & 0xFF);
  h[2] = static_cast<uint8_t>(d.month);
  h[3] = static_cast<uint8_t>(d.day);
}

// A whole number of the structure definition: blanks, a sign, digits.
bool ReadInteger(const std::string& s, int64_t& v) {
  std::string t = TrimBlanks(s);
  size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
  if (i == t.size() || t.size() - i > 9) return false;
  v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    v = v * 10 + (t[i] - '0');
  }
  if (neg) v = -v;
  return true;
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool ReadWholeFile(const std::string& host, std::string& bytes) {
  FILE* f = host.empty() ? nullptr : std::fopen(host.c_str(), "rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

// The directory part of a program's file name, with its separator.
std::string DirectoryOf(const std::string& name) {
  size_t p = name.find_last_of("\\/:");
  return p == std::string::npos ? std::string() : name.substr(0, p + 1);
}

}  // namespace

void SetClock(Clock clock) { g_clock = clock ? clock : SystemToday; }
Date Today() { return g_clock(); }

std::string UpperText(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = UpperChar(c);
  return r;
}

std::string TrimBlanks(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && s[a] == ' ') ++a;
  while (b > a && s[b - 1] == ' ') --b;
  return std::string(s.substr(a, b - a));
}

std::string ReplaceExtension(const std::string& name, const std::string& extension) {
  size_t part = name.find_last_of("\\/:");
  size_t start = part == std::string::npos ? 0 : part + 1;
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot < start) return name + extension;
  return name.substr(0, dot) + extension;
}

bool CreateTable(DbError& error, const std::string& definitionFile, const std::string& tableName) {
  std::string bytes;
  if (!ReadWholeFile(win::HostPath(definitionFile), bytes)) {
    error.Set(kErrDefinitionFile, definitionFile);
    return false;
  }
  std::vector<Field> fields;
  for (const std::string& raw : SplitLines(bytes)) {
    if (TrimBlanks(raw).empty()) continue;
    if (static_cast<int>(fields.size()) >= kMaxDefinitionLines) {
      error.Set(kErrTooManyFields, std::to_string(kMaxDefinitionLines) + " Felder");
      return false;
    }
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
      size_t semi = raw.find(';', from);
      parts.push_back(raw.substr(from, semi == std::string::npos ? std::string::npos : semi - from));
      if (semi == std::string::npos) break;
      from = semi + 1;
    }
    parts.resize(std::max<size_t>(parts.size(), 4));
    Field f;
    f.name = UpperText(TrimBlanks(parts[0]));
    if (f.name.size() > 10) f.name.resize(10);
    if (f.name.empty()) {
      error.Set(kErrFieldName, TrimBlanks(raw));
      return false;
    }
    for (const Field& g : fields) {
      if (g.name == f.name) {
        error.Set(kErrDuplicateField, f.name);
        return false;
      }
    }
    std::string type = TrimBlanks(parts[1]);
    f.type = type.empty() ? 'C' : UpperChar(type[0]);
    if (std::string_view("CDLMN").find(f.type) == std::string_view::npos) f.type = 'C';
    int64_t v = 0;
    switch (f.type) {
      case 'D': f.length = 8; break;
      case 'L': f.length = 1; break;
      case 'M': f.length = 10; break;
      default:
        if (!ReadInteger(parts[2], v) || v < 1 || v > 255) {
          error.Set(kErrFieldLength, TrimBlanks(parts[2]));
          return false;
        }
        f.length = static_cast<int>(v);
    }
    if (f.type == 'N') {
      // Decimals left out are none.
      if (TrimBlanks(parts[3]).empty()) parts[3] = "0";
      if (!ReadInteger(parts[3], v) || v < 0 || v > f.length) {
        error.Set(kErrDecimals, TrimBlanks(parts[3]));
        return false;
      }
      f.decimals = static_cast<int>(v);
    }
    fields.push_back(f);
  }

  std::string name = win::HasExtension(tableName) ? tableName : tableName + ".DBF";
  bool memo = false;
  int recordLength = 1;
  for (const Field& f : fields) {
    memo = memo || f.type == 'M';
    recordLength += f.length;
  }
  std::vector<uint8_t> out(32 + 32 * fields.size() + 2, 0);
  out[0] = memo ? 0x83 : 0x03;
  StampDate(out.data());
  Put16(&out[8], static_cast<uint16_t>(32 * fields.size() + 33));
  Put16(&out[10], static_cast<uint16_t>(recordLength));
  for (size_t i = 0; i < fields.size(); ++i) {
    uint8_t* d = &out[32 + 32 * i];
    std::memcpy(d, fields[i].name.data(), fields[i].name.size());
    d[11] = static_cast<uint8_t>(fields[i].type);
    d[16] = static_cast<uint8_t>(fields[i].length);
    d[17] = static_cast<uint8_t>(fields[i].decimals);
  }
  out[out.size() - 2] = 0x0D;
  out[out.size() - 1] = 0x1A;
  {
    CachedFile file(error);
    if (!file.Create(name, win::HostPath(name), 1, kTableWindow)) return false;
    if (!file.Write(out.data(), static_cast<int64_t>(out.size()), 0)) return false;
  }
  if (memo) {
    std::string memoName = ReplaceExtension(name, ".DBT");
    CachedFile file(error);
    std::vector<uint8_t> block(kMemoBlock + 1, 0);
    Put32(block.data(), 1);
    block[kMemoBlock] = 0x1A;
    if (!file.Create(memoName, win::HostPath(memoName), 1, kMemoWindow)) return false;
    if (!file.Write(block.data(), static_cast<int64_t>(block.size()), 0)) return false;
  }
  return true;
}

DbfTable::DbfTable(DbError& error) : error_(&error), file_(error), memo_(error) {}

DbfTable::~DbfTable() { Close(); }

bool DbfTable::Damaged(const char* text) {
  error_->Set(kErrNotDbase, text);
  return false;
}

bool DbfTable::ReadHeader(const std::string& name) {
  name_ = win::HasExtension(name) ? name : name + ".DBF";
  memoName_ = ReplaceExtension(name_, ".DBT");
  CachedFile file(*error_);
  if (!file.OpenRead(name_, win::HostPath(name_), 1, kHeaderWindow)) return false;
  if (file.Read(header_.data(), 32, 0) != 32) return Damaged("Keine dBase III-Datei");
  version_ = header_[0];
  if (version_ != 0x03 && version_ != 0x83) return Damaged("Keine dBase III-Datei");
  int64_t size = file.SizeInBytes();
  uint32_t count = Get32(&header_[4]);
  headerLength_ = Get16(&header_[8]);
  recordLength_ = Get16(&header_[10]);
  if (headerLength_ < 33 || headerLength_ > size || recordLength_ < 1) return Damaged("Tabellenkopf fehlerhaft");
  int n = (headerLength_ - 33) / 32;
  std::vector<uint8_t> descriptors(static_cast<size_t>(n) * 32);
  if (n > 0 && file.Read(descriptors.data(), n * 32, 32) != n * 32) return Damaged("Tabellenkopf fehlerhaft");
  fields_.clear();
  int offset = 1;
  for (int i = 0; i < n; ++i) {
    const uint8_t* d = &descriptors[static_cast<size_t>(i) * 32];
    if (d[0] == 0x0D) break;  // the terminator comes early: a padded header
    Field f;
    size_t len = 0;
    while (len < 11 && d[len] != 0) ++len;
    f.name.assign(reinterpret_cast<const char*>(d), len);
    while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
    f.upper = UpperText(f.name);
    f.type = static_cast<char>(d[11]);
    f.length = d[16];
    f.decimals = d[17];
    f.offset = offset;
    if (f.length == 0) return Damaged("Tabellenkopf fehlerhaft");
    offset += f.length;
    fields_.push_back(f);
  }
  if (offset != recordLength_) return Damaged("Tabellenkopf fehlerhaft");
  if (count > 0x7FFFFFFFu ||
      static_cast<int64_t>(headerLength_) + static_cast<int64_t>(count) * recordLength_ > size)
    return Damaged("Tabelle unvollst\xE4ndig");
  count_ = count;
  memoFlag_ = version_ == 0x83;
  dateText_ = DateText(header_.data());
  record_.assign(static_cast<size_t>(recordLength_), ' ');
  state_ = 0;
  current_ = 0;
  return true;
}

bool DbfTable::Open() {
  if (state_ != 0) return true;
  if (record_.empty()) return false;
  if (!file_.OpenReadWrite(name_, win::HostPath(name_), 1, kTableWindow)) return false;
  state_ = 1;
  bool ok = true;
  if (memoFlag_) ok = memo_.OpenReadWrite(memoName_, win::HostPath(memoName_), kMemoBlock, kMemoWindow);
  current_ = 0;
  BlankBuffer();
  return Go(Position::First) && ok;
}

void DbfTable::Close() {
  if (state_ == 2 && file_.is_open()) {
    StampDate(header_.data());
    Put32(&header_[4], static_cast<uint32_t>(count_));
    file_.Write(header_.data(), 8, 0);
    uint8_t mark = 0x1A;
    file_.Write(&mark, 1, headerLength_ + count_ * recordLength_);
  }
  file_.Close();
  memo_.Close();
  CloseIndexes();
  state_ = 0;
  memoKnown_ = false;
}

void DbfTable::BlankBuffer() { std::fill(record_.begin(), record_.end(), ' '); }

void DbfTable::SetDeletedFlag(bool deleted) {
  if (!record_.empty()) record_[0] = deleted ? '*' : ' ';
}

bool DbfTable::ReadRecord(int64_t n) {
  if (n < 1 || n > count_) {
    error_->Set(kErrRange, "Datensatz " + std::to_string(n) + " nicht in der gefunden.");
    return false;
  }
  std::vector<uint8_t> buf(record_.size());
  int64_t got = file_.Read(buf.data(), recordLength_, headerLength_ + (n - 1) * recordLength_);
  if (got != recordLength_) {
    if (got >= 0) error_->Set(kErrRange, "Datensatz " + std::to_string(n) + " nicht in der gefunden.");
    return false;
  }
  record_.swap(buf);
  current_ = n;
  deleted_ = record_[0] == '*';
  return true;
}

bool DbfTable::Go(Position p) {
  if (count_ == 0) {
    eof_ = true;
    return true;
  }
  eof_ = false;
  int64_t n;
  if (indexActive_ && master()) {
    static const Step kSteps[] = {Step::First, Step::Last, Step::Next, Step::Previous};
    NdxIndex& ix = *master();
    int32_t r = ix.Move(kSteps[static_cast<int>(p)]);
    eof_ = ix.end() && p != Position::Previous;
    if (eof_ || r == 0) {
      eof_ = true;
      return !error_->pending();
    }
    n = r;
  } else {
    switch (p) {
      case Position::First: n = 1; break;
      case Position::Last: n = count_; break;
      case Position::Previous: n = current_ < 2 ? 1 : current_ - 1; break;
      default:
        n = current_ + 1;
        if (n > count_) {
          eof_ = true;
          return true;
        }
    }
  }
  return ReadRecord(n);
}

bool DbfTable::GoTo(int64_t n) {
  if (count_ == 0) {
    eof_ = true;
    return true;
  }
  eof_ = false;
  if (indexActive_ && master() && n >= 1 && n <= count_ && !master()->PositionOn(static_cast<int32_t>(n)))
    return !error_->pending();
  return ReadRecord(n);
}

bool DbfTable::WriteRecord(int64_t n) {
  if (!file_.is_open()) {
    error_->Set(6, name_ + " (Write)");
    return false;
  }
  bool existed = n >= 1 && n <= count_;
  if (!existed) {
    if (count_ >= 0x7FFFFFFF) {
      error_->Set(kErrRange, "Datensatz " + std::to_string(count_ + 1) + " nicht in der gefunden.");
      return false;
    }
    n = count_ + 1;
  }
  if (!file_.Write(record_.data(), recordLength_, headerLength_ + (n - 1) * recordLength_)) return false;
  if (!existed) count_ = n;
  current_ = n;
  state_ = 2;
  deleted_ = record_[0] == '*';
  if (indexActive_ && master()) {
    NdxIndex& ix = *master();
    ix.Update(static_cast<int32_t>(n), IndexKey(ix), existed, false);
  }
  return true;
}

int DbfTable::FieldIndex(std::string_view name) const {
  std::string key = UpperText(name);
  while (!key.empty() && key.back() == ' ') key.pop_back();
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i].upper == key) return static_cast<int>(i);
  return -1;
}

void DbfTable::SetLastField(int index) {
  const Field& f = fields_[static_cast<size_t>(index)];
  lastField_ = LastField{f.type, f.decimals, f.length, index + 1, f.name};
}

std::string DbfTable::FieldText(int index) const {
  const Field& f = fields_[static_cast<size_t>(index)];
  return std::string(reinterpret_cast<const char*>(record_.data()) + f.offset, static_cast<size_t>(f.length));
}

void DbfTable::StoreField(int index, std::string_view value) {
  const Field& f = fields_[static_cast<size_t>(index)];
  uint8_t* to = record_.data() + f.offset;
  std::memset(to, ' ', static_cast<size_t>(f.length));
  std::memcpy(to, value.data(), std::min(value.size(), static_cast<size_t>(f.length)));
}

static std::string NameForError(std::string_view name) {
  std::string s = UpperText(name);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

bool DbfTable::GetField(std::string_view name, std::string& out) {
  int i = FieldIndex(name);
  if (i < 0) {
    ClearLastField();
    error_->Set(kErrFieldRead, NameForError(name));
    return false;
  }
  SetLastField(i);
  out = FieldText(i);
  return true;
}

bool DbfTable::GetFieldByNumber(int64_t number, std::string& out) {
  if (number < 1 || number > field_count()) {
    ClearLastField();
    error_->Set(kErrFieldNumberRead, std::to_string(number));
    return false;
  }
  SetLastField(static_cast<int>(number - 1));
  out = FieldText(static_cast<int>(number - 1));
  return true;
}

int DbfTable::PutField(std::string_view name, std::string_view value) {
  int i = FieldIndex(name);
  if (i < 0) {
    ClearLastField();
    error_->Set(kErrFieldWrite, NameForError(name));
    return 0;
  }
  SetLastField(i);
  if (fields_[static_cast<size_t>(i)].type == 'M') return 0;
  StoreField(i, value);
  return 1;
}

int DbfTable::PutFieldByNumber(int64_t number, std::string_view value) {
  if (number < 1 || number > field_count()) {
    ClearLastField();
    error_->Set(kErrFieldNumberWrite, std::to_string(number));
    return 0;
  }
  int i = static_cast<int>(number - 1);
  SetLastField(i);
  if (fields_[static_cast<size_t>(i)].type == 'M') return 0;
  StoreField(i, value);
  return 1;
}

bool DbfTable::MemoBlock(int index, int64_t& block) const {
  std::string t = TrimBlanks(FieldText(index));
  block = 0;
  if (t.empty()) return true;
  size_t i = t[0] == '+' ? 1 : 0;
  if (i == t.size() || t.size() - i > 12) return false;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    block = block * 10 + (t[i] - '0');
  }
  return true;
}

bool DbfTable::ReadMemoText(int64_t start, std::string& text, int64_t& blocks) {
  text.clear();
  blocks = 0;
  uint8_t block[kMemoBlock];
  for (int64_t b = start;; ++b) {
    // Other software leaves the last block of the file short.
    int64_t got;
    if (memo_.Read(block, 1, b, &got) < 0) return false;
    std::memset(block + got, 0, static_cast<size_t>(kMemoBlock - got));
    if (got == 0) {
      if (blocks == 0) {
        error_->Set(kErrEndOfFile, memo_.name() + " (Read)");
        return false;
      }
      return true;  // no end mark before the end of the file
    }
    if (++blocks > kMaxMemoBlocks) return true;  // no end mark within any sane size
    const uint8_t* end = static_cast<const uint8_t*>(std::memchr(block, 0x1A, kMemoBlock));
    size_t n = end ? static_cast<size_t>(end - block) : kMemoBlock;
    text.append(reinterpret_cast<const char*>(block), n);
    if (end) return true;
  }
}

int32_t DbfTable::GetMemo(std::string_view name, std::vector<std::string>& lines) {
  int i = FieldIndex(name);
  if (i < 0) {
    ClearLastField();
    error_->Set(kErrFieldRead, NameForError(name));
    return -1;
  }
  SetLastField(i);
  if (fields_[static_cast<size_t>(i)].type != 'M') return -1;
  lines.clear();
  int64_t start;
  if (!MemoBlock(i, start)) start = 0;
  memoKnown_ = false;
  if (start == 0) return lastMemoValue_;
  if (!memo_.is_open()) {
    error_->Set(2, memoName_);
    return 0;
  }
  std::string text;
  int64_t blocks;
  if (!ReadMemoText(start, text, blocks)) return 0;
  std::string line;
  auto emit = [&](std::string s) {
    if (static_cast<int>(lines.size()) < kMaxMemoLines) lines.push_back(std::move(s));
  };
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u == 10) continue;
    if (u == 13) {
      emit(line);
      line.clear();
      continue;
    }
    if (u == 0x8D) {
      if (line.empty() || line.back() == ' ' || line.back() == '-') continue;
      line += ' ';
    } else {
      line += c;
    }
    if (static_cast<int>(line.size()) > kWrapWidth) {
      size_t p = line.find_last_of(" -");
      size_t cut = p == std::string::npos ? kWrapWidth : p + 1;
      emit(line.substr(0, cut));
      line.erase(0, cut);
    }
  }
  // The end mark closes a last line without line break; the line break
  // before it adds no empty line.
  if (!line.empty()) emit(line);
  memoKnown_ = true;
  memoStart_ = start;
  memoBlocks_ = blocks;
  memoRecord_ = current_;
  lastMemoValue_ = static_cast<int32_t>(std::min<size_t>(text.size(), 0x7FFFFFFF));
  return lastMemoValue_;
}

bool DbfTable::ReadNextFree(int64_t& block) {
  uint8_t b0[kMemoBlock];
  if (memo_.Read(b0, 1, 0) != 1) {
    error_->SetIfNone(kErrEndOfFile, memo_.name() + " (Read)");
    return false;
  }
  // New memos go to the end of what the file holds, whatever block 0
  // says: a number too small would overwrite memos, one too large leave a
  // hole. A last partial block of one byte is the end mark of a new memo
  // file.
  int64_t size = memo_.SizeInBytes();
  if (size < 0) return false;
  int64_t used = size / kMemoBlock + (size % kMemoBlock > 1 ? 1 : 0);
  block = std::max<int64_t>(used, 1);
  return true;
}

bool DbfTable::WriteMemo(CachedFile& file, int64_t start, const std::string& text, int64_t* blocks) {
  int64_t b = (static_cast<int64_t>(text.size()) + kMemoEndMarks + kMemoBlock - 1) / kMemoBlock;
  std::vector<uint8_t> data(static_cast<size_t>(b * kMemoBlock), 0);
  std::memcpy(data.data(), text.data(), text.size());
  for (int i = 0; i < kMemoEndMarks; ++i) data[text.size() + static_cast<size_t>(i)] = 0x1A;
  if (blocks) *blocks = b;
  return file.Write(data.data(), b, start);
}

bool DbfTable::PutMemo(std::string_view name, const std::vector<std::string>& lines) {
  int i = FieldIndex(name);
  if (i < 0) {
    ClearLastField();
    error_->Set(kErrFieldWrite, NameForError(name));
    return false;
  }
  SetLastField(i);
  if (fields_[static_cast<size_t>(i)].type != 'M') return false;
  if (!memo_.is_open()) {
    error_->Set(2, memoName_);
    return false;
  }
  int64_t s;
  if (!MemoBlock(i, s)) s = 0;
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  int64_t need = (static_cast<int64_t>(text.size()) + kMemoEndMarks + kMemoBlock - 1) / kMemoBlock;
  bool inPlace = s > 0 && memoKnown_ && s == memoStart_ && memoRecord_ == current_ && need <= memoBlocks_;
  if (!inPlace && !ReadNextFree(s)) return false;
  int64_t blocks;
  if (!WriteMemo(memo_, s, text, &blocks)) return false;
  int64_t size = memo_.SizeInBytes();
  if (size < 0) return false;
  uint8_t b0[kMemoBlock] = {};
  Put32(b0, static_cast<uint32_t>((size + kMemoBlock - 1) / kMemoBlock));
  if (!memo_.Write(b0, 1, 0)) return false;
  memoKnown_ = true;
  memoStart_ = s;
  memoBlocks_ = blocks;
  memoRecord_ = current_;
  char num[32];
  std::snprintf(num, sizeof num, "%*lld", fields_[static_cast<size_t>(i)].length, static_cast<long long>(s));
  StoreField(i, num);
  return true;
}

int64_t DbfTable::Pack() {
  CloseIndexes();
  if (!file_.is_open()) {
    error_->Set(6, name_ + " (Read)");
    return -1;
  }
  memoKnown_ = false;
  bool memos = memoFlag_ && memo_.is_open();
  std::vector<size_t> memoFields;
  for (size_t f = 0; f < fields_.size(); ++f)
    if (fields_[f].type == 'M') memoFields.push_back(f);
  if (memoFields.empty()) memos = false;
  std::vector<uint8_t> buf(record_.size());
  auto readRecord = [&](int64_t r) {
    int64_t got = file_.Read(buf.data(), recordLength_, headerLength_ + (r - 1) * recordLength_);
    if (got == recordLength_) return true;
    if (got >= 0) error_->Set(kErrRange, "Datensatz " + std::to_string(r) + " nicht in der gefunden.");
    return false;
  };

  // First the memos of the kept records go into the new memo file; the
  // table is not touched until that has worked.
  std::string tempName = DirectoryOf(memoName_) + kPackMemoName;
  std::string tempHost = win::HostPath(tempName);
  CachedFile temp(*error_);
  std::vector<int64_t> newBlocks;  // per kept record and memo field; -1 keeps the field
  if (memos) {
    uint8_t b0[kMemoBlock] = {};
    Put32(b0, 1);
    if (!temp.Create(tempName, tempHost, kMemoBlock, kMemoWindow) || !temp.Write(b0, 1, 0)) {
      temp.Close();
      std::remove(tempHost.c_str());
      return -1;
    }
    int64_t memoBlocks = (memo_.SizeInBytes() + kMemoBlock - 1) / kMemoBlock;
    bool ok = memoBlocks >= 0;
    for (int64_t r = 1; r <= count_ && ok; ++r) {
      if (!readRecord(r)) {
        ok = false;
        break;
      }
      if (buf[0] == '*') continue;
      record_.swap(buf);
      for (size_t f : memoFields) {
        int64_t old;
        if (!MemoBlock(static_cast<int>(f), old)) {
          error_->Set(kErrMemoNumber, "Kein numerischer Wert in NumberGetN - " + FieldText(static_cast<int>(f)));
          old = 0;
        }
        if (old == 0) {
          newBlocks.push_back(-1);
          continue;
        }
        if (old >= memoBlocks) {
          // Points past the memo file: the field is emptied.
          error_->Set(kErrEndOfFile, memo_.name() + " (Read)");
          newBlocks.push_back(0);
          continue;
        }
        std::string text;
        int64_t blocks;
        int64_t start = temp.SizeInRecords();
        if (start < 1 || !ReadMemoText(old, text, blocks) || !WriteMemo(temp, start, text, nullptr)) {
          ok = false;
          break;
        }
        newBlocks.push_back(start);
      }
      record_.swap(buf);
    }
    uint8_t next[kMemoBlock] = {};
    if (ok) {
      Put32(next, static_cast<uint32_t>(temp.SizeInRecords()));
      ok = temp.Write(next, 1, 0);
    }
    temp.Close();
    if (!ok) {
      std::remove(tempHost.c_str());
      return -1;
    }
  }

  int64_t kept = 0;
  size_t memoIndex = 0;
  for (int64_t r = 1; r <= count_; ++r) {
    if (!readRecord(r)) {
      // Records not moved yet stay where they are; nothing is cut.
      state_ = 2;
      if (memos) std::remove(tempHost.c_str());
      return -1;
    }
    if (buf[0] == '*') continue;
    record_.swap(buf);
    for (size_t f : memoFields) {
      if (!memos) break;
      int64_t block = newBlocks[memoIndex++];
      if (block < 0) continue;
      char num[32];
      if (block == 0)
        num[0] = 0;
      else
        std::snprintf(num, sizeof num, "%*lld", fields_[f].length, static_cast<long long>(block));
      StoreField(static_cast<int>(f), num);
    }
    bool written = file_.Write(record_.data(), recordLength_, headerLength_ + kept * recordLength_);
    record_.swap(buf);
    if (!written) {
      state_ = 2;
      if (memos) std::remove(tempHost.c_str());
      return -1;
    }
    ++kept;
  }
  count_ = kept;
  state_ = 2;
  uint8_t mark = 0x1A;
  bool ok = file_.Truncate(headerLength_ + kept * recordLength_ + 1) &&
            file_.Write(&mark, 1, headerLength_ + kept * recordLength_);
  if (memos) {
    memo_.Close();
    // Renaming over the old memo file replaces it in one step.
    std::string memoHost = win::HostPath(memoName_);
    if (std::rename(tempHost.c_str(), memoHost.c_str()) != 0) {
      error_->Set(SystemErrorCode(errno), tempName + " (Rename)");
      ok = false;
    }
    if (!memo_.OpenReadWrite(memoName_, memoHost, kMemoBlock, kMemoWindow)) ok = false;
  }
  current_ = 0;
  BlankBuffer();
  Go(Position::First);
  return ok ? count_ : -1;
}

int32_t DbfTable::Seek(std::string_view name, std::string_view text, std::string (*decode)(std::string_view)) {
  int i = FieldIndex(name);
  if (i < 0) {
    ClearLastField();
    error_->Set(kErrFieldRead, NameForError(name));
    return 0;
  }
  SetLastField(i);
  std::string needle = UpperText(text);
  for (int64_t guard = 0; guard <= count_ + 1; ++guard) {
    if (eof_ || current_ < 1) return 0;
    std::string field = decode ? decode(FieldText(i)) : FieldText(i);
    if (UpperText(field).find(needle) != std::string::npos) return static_cast<int32_t>(current_);
    if (!Go(Position::Next)) return 0;
  }
  return 0;
}

std::string DbfTable::EvaluateFormula(const std::string& formula) {
  std::string key;
  size_t from = 0;
  for (;;) {
    size_t plus = formula.find('+', from);
    std::string element = formula.substr(from, plus == std::string::npos ? std::string::npos : plus - from);
    size_t a = 0;
    while (a < element.size() && element[a] == ' ') ++a;
    element.erase(0, a);
    if (!element.empty()) {
      if (element[0] == '"') {
        size_t close = element.find('"', 1);
        key += element.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      } else if (int f = FieldIndex(element); f >= 0) {
        key += FieldText(f);
      } else {
        error_->Set(kErrFormula, formula + " (" + element + ")");
      }
    }
    if (plus == std::string::npos) break;
    from = plus + 1;
  }
  return key;
}

std::string DbfTable::IndexKey(NdxIndex& index) {
  std::string text = EvaluateFormula(index.formula());
  if (!index.numeric()) return index.Normalize(text);
  double v;
  if (!ParseNumericKey(text, v)) error_->Set(kErrNumericKey, text);
  return NumericKey(v);
}

void DbfTable::CloseIndexes() {
  for (auto& ix : indexes_) {
    if (ix) ix->Close();
    ix.reset();
  }
  indexCount_ = 0;
  indexActive_ = false;
}

bool DbfTable::BuildIndex(const std::string& formula, const std::string& name) {
  CloseIndexes();
  std::string f = TrimBlanks(formula);
  if (f.empty()) return true;
  int elements = 0, length = 0;
  char type = 'C';
  size_t from = 0;
  for (;;) {
    size_t plus = f.find('+', from);
    std::string element = f.substr(from, plus == std::string::npos ? std::string::npos : plus - from);
    int i = FieldIndex(TrimBlanks(element));
    if (i < 0) {
      error_->Set(kErrFormula, f);
      return false;
    }
    ++elements;
    length += fields_[static_cast<size_t>(i)].length;
    type = fields_[static_cast<size_t>(i)].type;
    if (plus == std::string::npos) break;
    from = plus + 1;
  }
  if (elements > 1) type = 'C';
  bool numeric = type == 'N' || type == 'D';
  if (!numeric && length > kMaxKeyLength) {
    error_->Set(kErrFormula, f);
    return false;
  }
  if (state_ == 0 && !Open() && !file_.is_open()) return false;
  std::string indexName = name + ".NDX";
  auto ix = std::make_unique<NdxIndex>(*error_);
  if (!ix->Create(indexName, win::HostPath(indexName), f, numeric, length)) return false;
  Go(Position::First);
  for (int64_t guard = 0; !eof_ && current_ >= 1 && guard < count_; ++guard) {
    if (!ix->Insert(IndexKey(*ix), static_cast<int32_t>(current_))) break;
    if (!Go(Position::Next)) break;
  }
  indexes_[0] = std::move(ix);
  indexCount_ = 1;
  indexActive_ = true;
  Go(Position::First);
  return !error_->pending();
}

bool DbfTable::OpenIndexes(const std::string& list) {
  Go(Position::First);
  CloseIndexes();
  size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && (list[i] == ' ' || list[i] == ',')) ++i;
    size_t e = i;
    while (e < list.size() && list[e] != ' ' && list[e] != ',') ++e;
    if (e == i) break;
    std::string indexName = list.substr(i, e - i) + ".NDX";
    i = e;
    if (indexCount_ >= kMaxIndexes) {
      error_->Set(kErrIndexFile, indexName);
      break;
    }
    auto ix = std::make_unique<NdxIndex>(*error_);
    if (!ix->Open(indexName, win::HostPath(indexName))) continue;
    indexes_[static_cast<size_t>(indexCount_++)] = std::move(ix);
  }
  indexActive_ = indexCount_ > 0;
  return !error_->pending();
}

int32_t DbfTable::Find(const std::string& key, bool exact) {
  found_ = false;
  NdxIndex* ix = indexActive_ ? master() : nullptr;
  if (!ix) return 0;
  std::string k;
  if (ix->numeric()) {
    double v;
    if (!ParseNumericKey(key, v)) error_->Set(kErrNumericKey, key);
    k = NumericKey(v);
  } else {
    // Beyond the key length only blanks can still match.
    k = key;
    size_t len = static_cast<size_t>(ix->key_length());
    if (k.size() > len) {
      if (k.find_first_not_of(' ', len) != std::string::npos) return 0;
      k.resize(len);
    }
    if (exact) k = ix->Normalize(k);
  }
  int32_t r = ix->Search(k);
  if (r < 1 || count_ == 0) return 0;
  if (!ReadRecord(r)) return 0;
  eof_ = false;
  found_ = true;
  return r;
}

}  // namespace tilmor::dbase
