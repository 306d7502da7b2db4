// The signal handler and its self-pipe.
#include "interrupt.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <initializer_list>

namespace win {
namespace {

volatile std::sig_atomic_t g_interrupt = 0;
int g_pipe[2] = {-1, -1};
void (*g_handler)() = nullptr;

void OnSignal(int) {
  int saved = errno;
  g_interrupt = 1;
  if (g_pipe[1] >= 0) {
    char b = 1;
    // Full pipe: a wake-up is pending already.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &b, 1);
  }
  errno = saved;
}

}  // namespace

void InstallInterruptHandler() {
  if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  // No SA_RESTART: a blocking read of standard input returns, so a batch
  // run waiting for input sees the request at once. A reader gone from
  // the other end of a pipe (tilmor ... | head) asks the same.
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(sig, &sa, nullptr);
}

bool InterruptRequested() { return g_interrupt != 0; }

int InterruptWakeFd() { return g_pipe[0]; }

void SetInterruptHandler(void (*f)()) { g_handler = f; }

void EndIfInterrupted() {
  if (!g_interrupt) return;
  if (g_handler) g_handler();
  std::fflush(nullptr);
  _exit(255);
}

}  // namespace win
