// Windows-1252 (the system's text) and file contents to and from QString.
#pragma once

#include <QString>
#include <string>

namespace ide {

QString FromWin(const std::string& cp1252);
std::string ToWin(const QString& s);

// How a file's bytes are read: UTF-8 when they carry its BOM or are
// well-formed UTF-8 with a multi-byte character, else Windows-1252.
enum class FileEncoding { Cp1252, Utf8, Utf8Bom };
FileEncoding DetectEncoding(const std::string& bytes);
QString DecodeFile(const std::string& bytes, FileEncoding encoding);
std::string EncodeFile(const QString& text, FileEncoding encoding);

// The whole file, or false.
bool ReadHostFile(const std::string& host, std::string& bytes);
bool WriteHostFile(const std::string& host, const std::string& bytes);

}  // namespace ide
