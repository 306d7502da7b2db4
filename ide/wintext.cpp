#include "wintext.h"

#include <fstream>
#include <sstream>

#include "codepage.h"

namespace ide {

QString FromWin(const std::string& cp1252) {
  return QString::fromStdString(win::Cp1252ToUtf8(cp1252));
}

std::string ToWin(const QString& s) { return win::Utf8ToCp1252(s.toStdString()); }

FileEncoding DetectEncoding(const std::string& bytes) {
  if (win::HasUtf8Bom(bytes)) return FileEncoding::Utf8Bom;
  if (win::IsUtf8WithMultibyte(bytes)) return FileEncoding::Utf8;
  return FileEncoding::Cp1252;
}

QString DecodeFile(const std::string& bytes, FileEncoding encoding) {
  switch (encoding) {
    case FileEncoding::Utf8Bom: return QString::fromUtf8(bytes.data() + 3, static_cast<qsizetype>(bytes.size() - 3));
    case FileEncoding::Utf8: return QString::fromStdString(bytes);
    case FileEncoding::Cp1252: break;
  }
  return FromWin(bytes);
}

std::string EncodeFile(const QString& text, FileEncoding encoding) {
  switch (encoding) {
    case FileEncoding::Utf8Bom: return "\xEF\xBB\xBF" + text.toStdString();
    case FileEncoding::Utf8: return text.toStdString();
    case FileEncoding::Cp1252: break;
  }
  return ToWin(text);
}

bool ReadHostFile(const std::string& host, std::string& bytes) {
  std::ifstream f(host, std::ios::binary);
  if (!f) return false;
  std::ostringstream s;
  s << f.rdbuf();
  if (f.bad()) return false;
  bytes = s.str();
  return true;
}

bool WriteHostFile(const std::string& host, const std::string& bytes) {
  std::ofstream f(host, std::ios::binary | std::ios::trunc);
  if (!f) return false;
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  f.close();
  return !f.fail();
}

}  // namespace ide
