// DDE conversations over the D-Bus session bus. A server for application
// APP owns the bus name "org.tilmor.dde.APP" (APP upper-cased, characters
// other than A-Z, 0-9 and "_" as "_") and serves, at object path
// /org/tilmor/dde, interface org.tilmor.dde.Server:
//   Initiate(s topic) -> (b accepted)
//   Execute(s topic, s command) -> (b acknowledged)
//   Terminate(s topic) -> ()
// Texts travel as UTF-8; the program's texts are Windows-1252.
#pragma once

#include <cstdint>
#include <string>

namespace win {

constexpr const char* kDdeObjectPath = "/org/tilmor/dde";
constexpr const char* kDdeInterface = "org.tilmor.dde.Server";

// The bus name of an application's server; "" for an empty name.
std::string DdeServiceName(const std::string& app);
// Whether a session bus can be reached at all ($DBUS_SESSION_BUS_ADDRESS,
// or the bus socket in $XDG_RUNTIME_DIR), asked before anything loads Qt.
bool SessionBusAvailable();

// The conversation with the server that accepted the topic, 0 when none
// did within `timeoutMs`.
uint32_t DdeConnect(const std::string& app, const std::string& topic, int timeoutMs);
// Sends a command and waits for the acknowledgement, calling pump(context)
// all the while: 1 acknowledged, 0 refused, -1 no answer in time (or no
// such conversation).
int DdeExecute(uint32_t conversation, const std::string& command, int timeoutMs,
               void (*pump)(void*), void* context);
// Ends the conversation; the server is told without waiting long for it.
void DdeTerminate(uint32_t conversation);

}  // namespace win
