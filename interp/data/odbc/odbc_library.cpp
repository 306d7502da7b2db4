#include "odbc_library.h"

#include <dlfcn.h>

#include <cstdlib>

#include "odbc_api.h"

namespace tilmor::odbc {

std::string DriverManagerName() {
  const char* name = std::getenv("TILMOR_ODBC_LIBRARY");
  return name && *name ? name : "libodbc.so.2";
}

namespace {

template <typename F>
bool Resolve(void* handle, const char* name, F& target, std::string& failure) {
  void* p = dlsym(handle, name);
  if (!p) {
    if (failure.empty()) failure = std::string("missing entry point ") + name;
    return false;
  }
  target = reinterpret_cast<F>(p);
  return true;
}

}  // namespace

Library::Library() : api_(std::make_unique<Api>()) {}

Library::~Library() { Unload(); }

bool Library::Load(const std::string& name) {
  Unload();
  failure_.clear();
  // Local: the driver manager's names must not bind to anything else of ours.
  void* h = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* why = dlerror();
    failure_ = why ? why : "cannot load " + name;
    return false;
  }
  Api a;
  bool ok = true;
  ok &= Resolve(h, "SQLRowCount", a.RowCount, failure_);
  ok &= Resolve(h, "SQLAllocEnv", a.AllocEnv, failure_);
  ok &= Resolve(h, "SQLError", a.Error, failure_);
  ok &= Resolve(h, "SQLDescribeCol", a.DescribeCol, failure_);
  ok &= Resolve(h, "SQLBindCol", a.BindCol, failure_);
  ok &= Resolve(h, "SQLFreeEnv", a.FreeEnv, failure_);
  ok &= Resolve(h, "SQLAllocConnect", a.AllocConnect, failure_);
  ok &= Resolve(h, "SQLAllocStmt", a.AllocStmt, failure_);
  ok &= Resolve(h, "SQLFreeConnect", a.FreeConnect, failure_);
  ok &= Resolve(h, "SQLExecDirect", a.ExecDirect, failure_);
  ok &= Resolve(h, "SQLFetch", a.Fetch, failure_);
  ok &= Resolve(h, "SQLDisconnect", a.Disconnect, failure_);
  ok &= Resolve(h, "SQLTransact", a.Transact, failure_);
  ok &= Resolve(h, "SQLFreeStmt", a.FreeStmt, failure_);
  ok &= Resolve(h, "SQLNumResultCols", a.NumResultCols, failure_);
  ok &= Resolve(h, "SQLDriverConnect", a.DriverConnect, failure_);
  if (!ok) {
    dlclose(h);
    return false;
  }
  // Only the data-source chooser needs it.
  std::string ignored;
  Resolve(h, "SQLDataSources", a.DataSources, ignored);
  handle_ = h;
  *api_ = a;
  return true;
}

void Library::Unload() {
  if (!handle_) return;
  dlclose(handle_);
  handle_ = nullptr;
  *api_ = Api{};
}

}  // namespace tilmor::odbc
