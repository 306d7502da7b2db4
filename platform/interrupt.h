// Requests from outside to end the process: SIGINT (Ctrl+C on the
// terminal), SIGTERM, SIGHUP, and SIGPIPE (nobody reads the output). The
// handler only notes the request; the program ends at the next place that
// looks, through its usual end of run.
#pragma once

namespace win {

void InstallInterruptHandler();
bool InterruptRequested();
// The read end of a pipe that becomes readable when a request arrives, so
// that an event loop waiting for input wakes up; -1 before installation.
int InterruptWakeFd();
// What ends the process when a request has come while the window system
// held control (a modal box or dialog, closed for the request): the
// interpreter ends its run there. EndIfInterrupted calls it when a request
// has come; when it returns (the run is ending already) the caller goes on
// as if its box were cancelled. Without a handler the process ends at once
// with exit code 255.
void SetInterruptHandler(void (*f)());
void EndIfInterrupted();

}  // namespace win
