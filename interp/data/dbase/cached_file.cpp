#include "cached_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tilmor::dbase {
namespace {

// Reads up to n bytes at offset; stops early only at the end of the file.
int64_t ReadAt(int fd, uint8_t* to, int64_t n, int64_t offset, int* err) {
  int64_t done = 0;
  while (done < n) {
    ssize_t r = ::pread(fd, to + done, static_cast<size_t>(n - done), static_cast<off_t>(offset + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      *err = errno;
      return -1;
    }
    if (r == 0) break;
    done += r;
  }
  return done;
}

bool WriteAt(int fd, const uint8_t* from, int64_t n, int64_t offset, int* err) {
  int64_t done = 0;
  while (done < n) {
    ssize_t w = ::pwrite(fd, from + done, static_cast<size_t>(n - done), static_cast<off_t>(offset + done));
    if (w < 0) {
      if (errno == EINTR) continue;
      *err = errno;
      return false;
    }
    if (w == 0) {
      *err = ENOSPC;
      return false;
    }
    done += w;
  }
  return true;
}

}  // namespace

void CachedFile::Fail(const char* what, int err) {
  error_->SetIfNone(SystemErrorCode(err), name_ + " (" + what + ")");
}

bool CachedFile::OpenWith(int flags, const std::string& name, const std::string& host, int recordSize, int window,
                          const char* what) {
  Close();
  name_ = name.size() > 64 ? name.substr(0, 64) : name;
  recordSize_ = recordSize > 0 ? recordSize : 1;
  window_.assign(static_cast<size_t>(std::max(window, recordSize_)), 0);
  windowStart_ = windowValid_ = 0;
  position_ = 0;
  if (host.empty()) {
    Fail(what, ENOENT);
    return false;
  }
  int fd = ::open(host.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0 && (flags & O_ACCMODE) == O_RDWR && !(flags & O_CREAT) && (errno == EACCES || errno == EROFS)) {
    fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    flags = O_RDONLY;
  }
  if (fd < 0) {
    Fail(what, errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    Fail(what, EISDIR);
    return false;
  }
  fd_ = fd;
  writable_ = (flags & O_ACCMODE) != O_RDONLY;
  return true;
}

bool CachedFile::OpenRead(const std::string& name, const std::string& host, int recordSize, int window) {
  return OpenWith(O_RDONLY, name, host, recordSize, window, "Reset");
}

bool CachedFile::OpenReadWrite(const std::string& name, const std::string& host, int recordSize, int window) {
  return OpenWith(O_RDWR, name, host, recordSize, window, "Reset");
}

bool CachedFile::Create(const std::string& name, const std::string& host, int recordSize, int window) {
  return OpenWith(O_RDWR | O_CREAT | O_TRUNC, name, host, recordSize, window, "Rewrite");
}

void CachedFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  writable_ = false;
  window_.clear();
  window_.shrink_to_fit();
  windowStart_ = windowValid_ = 0;
}

int64_t CachedFile::Read(void* buffer, int64_t n, int64_t p, int64_t* delivered) {
  if (delivered) *delivered = 0;
  if (fd_ < 0) {
    Fail("Read", EBADF);
    return -1;
  }
  if (n <= 0) return 0;
  int64_t offset = p < 0 ? position_ : p * recordSize_;
  int64_t bytes = n * recordSize_;
  uint8_t* to = static_cast<uint8_t*>(buffer);
  if (offset >= windowStart_ && offset + bytes <= windowStart_ + windowValid_) {
    std::memcpy(to, window_.data() + (offset - windowStart_), static_cast<size_t>(bytes));
    position_ = offset + bytes;
    if (delivered) *delivered = bytes;
    return n;
  }
  int err = 0;
  int64_t got;
  if (bytes > static_cast<int64_t>(window_.size())) {
    // Larger than the window: straight into the caller's buffer.
    got = ReadAt(fd_, to, bytes, offset, &err);
    if (got < 0) {
      Fail("Read", err);
      return -1;
    }
  } else {
    int64_t filled = ReadAt(fd_, window_.data(), static_cast<int64_t>(window_.size()), offset, &err);
    if (filled < 0) {
      windowValid_ = 0;
      Fail("Read", err);
      return -1;
    }
    windowStart_ = offset;
    windowValid_ = filled;
    got = std::min(filled, bytes);
    std::memcpy(to, window_.data(), static_cast<size_t>(got));
  }
  if (delivered) *delivered = got;
  int64_t records = got / recordSize_;
  position_ = offset + records * recordSize_;
  return records;
}

bool CachedFile::Write(const void* buffer, int64_t n, int64_t p) {
  if (fd_ < 0) {
    Fail("Write", EBADF);
    return false;
  }
  if (n <= 0) return true;
  int64_t offset = p < 0 ? position_ : p * recordSize_;
  int64_t bytes = n * recordSize_;
  const uint8_t* from = static_cast<const uint8_t*>(buffer);
  // Keep the window true to the file: update the overlapping part; a write
  // that reaches past the valid part from inside it extends the window.
  int64_t wEnd = windowStart_ + windowValid_;
  if (windowValid_ > 0 && offset < wEnd && offset + bytes > windowStart_) {
    int64_t a = std::max(offset, windowStart_);
    int64_t b = std::min(offset + bytes, wEnd);
    std::memcpy(window_.data() + (a - windowStart_), from + (a - offset), static_cast<size_t>(b - a));
  }
  if (windowValid_ > 0 && offset <= wEnd && offset + bytes > wEnd) {
    int64_t cap = windowStart_ + static_cast<int64_t>(window_.size());
    if (offset >= windowStart_ && offset + bytes <= cap) {
      std::memcpy(window_.data() + (offset - windowStart_), from, static_cast<size_t>(bytes));
      windowValid_ = offset + bytes - windowStart_;
    }
  }
  int err = 0;
  if (!writable_) {
    windowValid_ = 0;
    Fail("Write", EACCES);
    return false;
  }
  if (!WriteAt(fd_, from, bytes, offset, &err)) {
    windowValid_ = 0;
    Fail("Write", err);
    return false;
  }
  position_ = offset + bytes;
  return true;
}

bool CachedFile::Truncate(int64_t p) {
  if (fd_ < 0) {
    Fail("Seek", EBADF);
    return false;
  }
  int64_t offset = p * recordSize_;
  if (windowStart_ + windowValid_ > offset) windowValid_ = std::max<int64_t>(0, offset - windowStart_);
  if (::ftruncate(fd_, static_cast<off_t>(offset)) != 0) {
    Fail("Write", errno);
    return false;
  }
  position_ = offset;
  return true;
}

int64_t CachedFile::SizeInBytes() {
  if (fd_ < 0) return -1;
  struct stat st;
  if (::fstat(fd_, &st) != 0) {
    Fail("Seek", errno);
    return -1;
  }
  return static_cast<int64_t>(st.st_size);
}

int64_t CachedFile::SizeInRecords() {
  int64_t bytes = SizeInBytes();
  return bytes < 0 ? -1 : bytes / recordSize_;
}

}  // namespace tilmor::dbase
