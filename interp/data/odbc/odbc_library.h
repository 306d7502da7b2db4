// The driver manager's shared library, loaded with dlopen when a program
// connects and unloaded when it disconnects.
#pragma once

#include <memory>
#include <string>

namespace tilmor::odbc {

// Its entry points (odbc_api.h, which only the engine includes: the window
// layer's types and ODBC's share names).
struct Api;

// The driver manager to load: $TILMOR_ODBC_LIBRARY, else unixODBC's
// "libodbc.so.2".
std::string DriverManagerName();

class Library {
 public:
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  Library();
  ~Library();

  // Loads the library and resolves every entry point by name; false, with
  // nothing left loaded, when the library or one of the entry points the
  // commands need is missing.
  bool Load(const std::string& name);
  void Unload();
  bool loaded() const { return handle_ != nullptr; }
  const Api& api() const { return *api_; }
  // Why the last Load failed (dlerror's text).
  const std::string& failure() const { return failure_; }

 private:
  void* handle_ = nullptr;
  std::unique_ptr<Api> api_;
  std::string failure_;
};

}  // namespace tilmor::odbc
