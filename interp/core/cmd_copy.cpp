// COPY source > destination: a byte copy in blocks of 32 KiB.
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "argreader.h"
#include "commands.h"
#include "errors.h"
#include "winpath.h"

namespace tilmor {

void CmdCopy(Interp& in, int) {
  ReadArg(in, '>', kRawText);
  std::string source = in.res.text;
  ReadArg(in, ' ', kRawText);
  std::string dest = in.res.text;

  int from = ::open(win::HostPath(source).c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) {
    RuntimeError(in, 300, source);
    return;
  }
  int to = ::open(win::HostPath(dest).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (to < 0) {
    ::close(from);
    RuntimeError(in, 301, dest);
    return;
  }
  std::vector<char> buf(32768);
  for (;;) {
    ssize_t n = ::read(from, buf.data(), buf.size());
    if (n < 0) {
      ::close(from);
      ::close(to);
      RuntimeError(in, 302, source);
      return;
    }
    if (n == 0) break;
    ssize_t w = ::write(to, buf.data(), static_cast<size_t>(n));
    if (w != n) {
      ::close(from);
      ::close(to);
      Warning(in, 303, dest);
      return;
    }
  }
  ::close(from);
  ::close(to);
}

}  // namespace tilmor
