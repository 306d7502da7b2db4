// Untyped block access to a table, memo or index file through one cache
// window. Reads inside the valid part of the window are served from it;
// writes always go to the file at once and update the window copy.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db_error.h"

namespace tilmor::dbase {

class CachedFile {
 public:
  explicit CachedFile(DbError& error) : error_(&error) {}
  ~CachedFile() { Close(); }
  CachedFile(const CachedFile&) = delete;
  CachedFile& operator=(const CachedFile&) = delete;

  // `name` is the program's name of the file (used in error texts),
  // `host` the path to open. Records are `recordSize` bytes; the window
  // holds `window` bytes.
  bool OpenRead(const std::string& name, const std::string& host, int recordSize, int window);
  // Read and write; a file that may only be read is opened for reading
  // (writes then fail with their error).
  bool OpenReadWrite(const std::string& name, const std::string& host, int recordSize, int window);
  bool Create(const std::string& name, const std::string& host, int recordSize, int window);
  void Close();
  bool is_open() const { return fd_ >= 0; }
  bool writable() const { return writable_; }
  const std::string& name() const { return name_; }

  // Reads n records at record position p (-1: the current position);
  // returns the number delivered (fewer at the end of the file), -1 on an
  // I/O error. `bytes` receives the bytes delivered, a last partial record
  // included.
  int64_t Read(void* buffer, int64_t n, int64_t p = -1, int64_t* bytes = nullptr);
  // Writes n records at p (-1: the current position).
  bool Write(const void* buffer, int64_t n, int64_t p = -1);
  // Cuts the file at record position p.
  bool Truncate(int64_t p);
  // Whole records in the file; -1 on an error.
  int64_t SizeInRecords();
  int64_t SizeInBytes();
  int record_size() const { return recordSize_; }

 private:
  bool OpenWith(int flags, const std::string& name, const std::string& host, int recordSize, int window,
                const char* what);
  void Fail(const char* what, int err);

  DbError* error_;
  int fd_ = -1;
  bool writable_ = false;
  std::string name_;
  int recordSize_ = 1;
  int64_t position_ = 0;  // bytes
  std::vector<uint8_t> window_;
  int64_t windowStart_ = 0;  // bytes
  int64_t windowValid_ = 0;  // bytes
};

}  // namespace tilmor::dbase
