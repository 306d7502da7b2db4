// Requests from outside to end the process: SIGINT (Ctrl+C on the
// terminal), SIGTERM and SIGHUP. The handler only notes the request; the
// program ends at the next place that looks, through its usual end of run.
#pragma once

namespace win {

void InstallInterruptHandler();
bool InterruptRequested();
// The read end of a pipe that becomes readable when a request arrives, so
// that an event loop waiting for input wakes up; -1 before installation.
int InterruptWakeFd();
// Notes a request as the handler does (tests, and a window closed by the
// window system while nothing else can end the run).
void RequestInterrupt();

}  // namespace win
