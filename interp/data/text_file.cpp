#include "text_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files.h"

namespace tilmor {
namespace {

constexpr char kCtrlZ = '\x1A';
constexpr size_t kChunk = 4096;

}  // namespace

int TextFile::OpenRead(const std::string& host) {
  Close();
  win::OpenedFile f = win::OpenShared(host, win::kAccessRead, win::kShareRead, win::Disposition::OpenExisting);
  if (f.fd < 0) return f.error;
  fd_ = f.fd;
  mode_ = Mode::Input;
  return 0;
}

int TextFile::OpenWrite(const std::string& host) {
  Close();
  win::OpenedFile f = win::OpenShared(host, win::kAccessWrite, win::kShareRead, win::Disposition::CreateAlways);
  if (f.fd < 0) return f.error;
  fd_ = f.fd;
  mode_ = Mode::Output;
  return 0;
}

int TextFile::OpenAppend(const std::string& host) {
  Close();
  win::OpenedFile f = win::OpenShared(host, win::kAccessRead | win::kAccessWrite, win::kShareRead,
                                      win::Disposition::OpenExisting);
  if (f.fd < 0) return f.error;
  struct stat st;
  off_t end = fstat(f.fd, &st) == 0 ? st.st_size : lseek(f.fd, 0, SEEK_END);
  // A Ctrl+Z in the last 128 bytes marks the end; new text replaces it.
  off_t from = end > 128 ? end - 128 : 0;
  char tail[128];
  ssize_t n = end > 0 ? pread(f.fd, tail, static_cast<size_t>(end - from), from) : 0;
  for (ssize_t i = 0; i < n; ++i) {
    if (tail[i] == kCtrlZ) {
      end = from + i;
      if (ftruncate(f.fd, end) != 0) {
        ::close(f.fd);
        return win::IoErrorFromErrno(errno);
      }
      break;
    }
  }
  lseek(f.fd, end, SEEK_SET);
  fd_ = f.fd;
  mode_ = Mode::Output;
  return 0;
}

int TextFile::Close() {
  if (mode_ == Mode::Closed) return win::kIoNotOpen;
  int rc = ::close(fd_) == 0 ? 0 : win::kIoWriteError;
  fd_ = -1;
  mode_ = Mode::Closed;
  buf_.clear();
  pos_ = 0;
  end_ = false;
  return rc;
}

bool TextFile::Fill() {
  if (end_ || mode_ != Mode::Input) return false;
  if (pos_ > 0) {
    buf_.erase(0, pos_);
    pos_ = 0;
  }
  char chunk[kChunk];
  ssize_t n;
  while ((n = ::read(fd_, chunk, sizeof chunk)) < 0 && errno == EINTR) {
  }
  if (n <= 0) {
    end_ = true;
    return false;
  }
  buf_.append(chunk, static_cast<size_t>(n));
  return true;
}

bool TextFile::AtEnd() {
  if (mode_ != Mode::Input) return true;
  if (pos_ == buf_.size() && !Fill()) return true;
  if (buf_[pos_] == kCtrlZ) {
    end_ = true;
    buf_.resize(pos_);
    return true;
  }
  return false;
}

bool TextFile::ReadLine(std::string& line, size_t max) {
  line.clear();
  if (AtEnd()) return false;
  for (;;) {
    if (pos_ == buf_.size() && !Fill()) return true;
    char c = buf_[pos_];
    if (c == kCtrlZ) {
      end_ = true;
      buf_.resize(pos_);
      return true;
    }
    ++pos_;
    if (c == '\n') return true;
    if (c == '\r') {
      if (pos_ == buf_.size()) Fill();
      if (pos_ < buf_.size() && buf_[pos_] == '\n') ++pos_;
      return true;
    }
    if (line.size() < max) line += c;
  }
}

int TextFile::Write(std::string_view bytes) {
  if (mode_ != Mode::Output) return win::kIoNotOpenForOutput;
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return win::kIoWriteError;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

std::string FileLineEnds(std::string text) {
  if (!text.empty() && text.back() == '\n') {
    text.back() = '\r';
    text += '\n';
  }
  return text;
}

}  // namespace tilmor
