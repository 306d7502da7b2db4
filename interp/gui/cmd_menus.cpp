// The menu commands: the main window's menu bar with its drop-down menus
// and one level of sub-menus, context menus, items changed by id.
#include <string>

#include "argreader.h"
#include "commands.h"
#include "errors.h"
#include "mainwindow.h"
#include "menus/menus.h"

namespace tilmor {
namespace {

constexpr int kMenuFailed = 226, kMenuTooDeep = 227, kNeedsWindow = 237, kMenuNotLoadable = 252;

int32_t Num(Interp& in, char sep) {
  ReadArg(in, sep, kNumber);
  return in.res.ival;
}

std::string Text(Interp& in) {
  ReadArg(in, ' ', kText);
  return in.res.text;
}

// The bar commands make the main window and, when it has none, its bar.
HMENU EnsureBar(Interp& in) {
  EnsureMainWindow(in);
  MainWindowState& m = MW();
  if (!m.menu) {
    m.menu = CreateMenu();
    if (m.exists) SetMenu(m.hwnd, m.menu);
  }
  return m.menu;
}

void CmdAppendMenuBar(Interp& in, int) {
  int32_t id = Num(in, ',');
  std::string text = Text(in);
  HMENU bar = EnsureBar(in);
  if (!AppendMenuA(bar, MF_STRING, static_cast<UINT>(id), text.c_str())) {
    RuntimeError(in, kMenuFailed);
    return;
  }
  DrawMenuBar(MW().hwnd);
}

void CmdPopup(Interp& in, int) {
  std::string text = Text(in);
  HMENU bar = EnsureBar(in);
  MainWindowState& m = MW();
  m.currentMenu = CreateMenu();
  if (!AppendMenuA(bar, MF_POPUP, static_cast<UINT>(m.currentMenu), text.c_str())) {
    RuntimeError(in, kMenuFailed);
    return;
  }
  DrawMenuBar(m.hwnd);
}

void CmdSubPopup(Interp& in, int) {
  std::string text = Text(in);
  MainWindowState& m = MW();
  if (m.nestedMenu) {
    RuntimeError(in, kMenuTooDeep);
    return;
  }
  m.parentMenu = m.currentMenu;
  m.nestedMenu = true;
  m.currentMenu = CreateMenu();
  if (!AppendMenuA(m.parentMenu, MF_POPUP, static_cast<UINT>(m.currentMenu), text.c_str()))
    RuntimeError(in, kMenuFailed);
}

void CmdEndSub(Interp&, int) {
  MainWindowState& m = MW();
  m.currentMenu = m.parentMenu;
  m.nestedMenu = false;
}

void CmdAppendMenu(Interp& in, int) {
  int32_t id = Num(in, ',');
  std::string text = Text(in);
  if (!AppendMenuA(MW().currentMenu, MF_STRING, static_cast<UINT>(id), text.c_str()))
    RuntimeError(in, kMenuFailed);
}

void CmdSeparator(Interp& in, int) {
  if (!AppendMenuA(MW().currentMenu, MF_SEPARATOR, 0, nullptr)) RuntimeError(in, kMenuFailed);
}

void CmdCreateMenu(Interp&, int) { MW().currentMenu = CreatePopupMenu(); }

void CmdTrackMenu(Interp& in, int) {
  int32_t x = Num(in, ',');
  int32_t y = Num(in, ' ');
  MainWindowState& m = MW();
  HaveMainWindow(in);
  POINT p{x, y};
  ClientToScreen(m.hwnd, &p);
  TrackPopupMenu(m.currentMenu, TPM_RIGHTBUTTON, p.x, p.y, 0, m.hwnd, nullptr);
  // Used once: a context menu is built again before the next TRACKMENU.
  DestroyMenu(m.currentMenu);
  if (m.exists) {
    InvalidateRect(m.hwnd, nullptr, FALSE);
    UpdateWindow(m.hwnd);
  }
  // The chosen item's WM_COMMAND sets %MENUITEM before the next line.
  PumpMessages(in);
}

void CmdUseExtMenu(Interp& in, int) {
  int32_t instance = Num(in, ',');
  std::string name = Text(in);
  MainWindowState& m = MW();
  if (!HaveMainWindow(in)) {
    RuntimeError(in, kNeedsWindow);
    return;
  }
  HMENU bar = LoadMenuA(instance, name.c_str());
  if (!bar) {
    RuntimeError(in, kMenuNotLoadable, name);
    return;
  }
  m.menu = bar;
  SetMenu(m.hwnd, bar);
}

// The item commands act on the bar and whatever hangs below it; without a
// bar they change nothing.
void CmdCheckMenu(Interp& in, int) {
  int32_t id = Num(in, ',');
  int32_t n = Num(in, ' ');
  MainWindowState& m = MW();
  if (!m.menu) return;
  CheckMenuItem(m.menu, static_cast<UINT>(id), n != 0 ? MF_CHECKED : MF_UNCHECKED);
  DrawMenuBar(m.hwnd);
}

void CmdEnableMenu(Interp& in, int) {
  int32_t id = Num(in, ',');
  int32_t n = Num(in, ' ');
  MainWindowState& m = MW();
  if (!m.menu) return;
  EnableMenuItem(m.menu, static_cast<UINT>(id), static_cast<UINT>(n));
  DrawMenuBar(m.hwnd);
}

void CmdRemoveMenu(Interp& in, int) {
  int32_t id = Num(in, ' ');
  MainWindowState& m = MW();
  if (!m.menu) return;
  RemoveMenu(m.menu, static_cast<UINT>(id), MF_BYCOMMAND);
  DrawMenuBar(m.hwnd);
}

void CmdInsertMenu(Interp& in, int) {
  int32_t before = Num(in, ',');
  int32_t id = Num(in, ',');
  std::string text = Text(in);
  MainWindowState& m = MW();
  if (!m.menu) return;
  if (!InsertMenuA(m.menu, static_cast<UINT>(before), MF_BYCOMMAND | MF_STRING, static_cast<UINT>(id),
                   text.c_str())) {
    RuntimeError(in, kMenuFailed);
    return;
  }
  DrawMenuBar(m.hwnd);
}

void CmdSetMenuItem(Interp& in, int) { in.events.menuItem = static_cast<int16_t>(Num(in, ' ')); }

}  // namespace

void RegisterMenuCommands() {
  RegisterCommand("APPENDMENUBAR", CmdAppendMenuBar);
  RegisterCommand("POPUP", CmdPopup);
  RegisterCommand("SUBPOPUP", CmdSubPopup);
  RegisterCommand("ENDSUB", CmdEndSub);
  RegisterCommand("APPENDMENU", CmdAppendMenu);
  RegisterCommand("SEPARATOR", CmdSeparator);
  RegisterCommand("CREATEMENU", CmdCreateMenu);
  RegisterCommand("TRACKMENU", CmdTrackMenu);
  RegisterCommand("USEEXTMENU", CmdUseExtMenu);
  RegisterCommand("CHECKMENU", CmdCheckMenu);
  RegisterCommand("ENABLEMENU", CmdEnableMenu);
  RegisterCommand("REMOVEMENU", CmdRemoveMenu);
  RegisterCommand("INSERTMENU", CmdInsertMenu);
  RegisterCommand("SETMENUITEM", CmdSetMenuItem);
}

}  // namespace tilmor
