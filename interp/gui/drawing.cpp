// The drawing state and the contexts the graphics commands draw into.
#include "drawing.h"

#include <algorithm>

#include "errors.h"
#include "fnargs.h"
#include "gdi/bitmaps.h"
#include "mainwindow.h"

namespace tilmor {

DrawState& DS_Draw() {
  static DrawState state;
  return state;
}

DrawTargets DrawContexts() {
  MainWindowState& m = MW();
  DrawTargets t;
  if (m.dc) t.dcs[t.count++] = m.dc;
  // In a STARTPAINT block of another window both are its context: once.
  if (m.memDc && m.memDc != m.dc) t.dcs[t.count++] = m.memDc;
  return t;
}

int32_t PageUnits(int32_t v) {
  if (!MW().printing) return v;
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} * 10, INT32_MIN, INT32_MAX));
}

bool RefusedWhilePrinting(Interp& in, const char* name) {
  if (!MW().printing) return false;
  RuntimeError(in, 221, name);
  return true;
}

void NeedWindow(Interp& in) {
  if (!MW().inPaint) EnsureMainWindow(in);
}

bool RequireWindow(Interp& in) {
  if (MW().inPaint || HaveMainWindow(in)) return true;
  RuntimeError(in, 237);
  return false;
}

Quad ReadQuad(Interp& in, char after) {
  Quad q;
  q.a = ReadLong(in, ',');
  q.b = ReadLong(in, '-');
  q.c = ReadLong(in, ',');
  q.d = ReadLong(in, after);
  return q;
}

LPCSTR ResourceName(const std::string& name) {
  bool number = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos && name.size() < 6;
  return number ? MAKEINTRESOURCEA(std::stoi(name)) : name.c_str();
}

}  // namespace tilmor
