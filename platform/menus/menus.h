// Menus, Win32-shaped: menu bars and pop-up menus with integer handles,
// items by position or command id (found in sub-menus too), check marks and
// gray states, a window's menu bar, context menus, menu templates of
// resources. A chosen item reaches the window as WM_COMMAND with the item
// id in the low word of wParam and lParam 0.
#pragma once

#include "../batch.h"
#include "../winuser.h"

constexpr UINT MF_STRING = 0x0000, MF_GRAYED = 0x0001, MF_DISABLED = 0x0002, MF_ENABLED = 0x0000,
               MF_UNCHECKED = 0x0000, MF_CHECKED = 0x0008, MF_POPUP = 0x0010, MF_MENUBARBREAK = 0x0020,
               MF_MENUBREAK = 0x0040, MF_SEPARATOR = 0x0800, MF_BYCOMMAND = 0x0000,
               MF_BYPOSITION = 0x0400, MF_END = 0x0080;
constexpr UINT TPM_LEFTALIGN = 0x0000, TPM_RIGHTBUTTON = 0x0002, TPM_RETURNCMD = 0x0100;
constexpr UINT WM_INITMENU = 0x0116, WM_INITMENUPOPUP = 0x0117, WM_MENUSELECT = 0x011F;

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
// For MF_POPUP, `item` is the sub-menu's handle; for MF_SEPARATOR `text` is
// ignored.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT item, LPCSTR text);
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT item, LPCSTR text);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// The previous state (MF_CHECKED or MF_UNCHECKED), -1 when there is no such item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
// The previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), -1 when there is no such item.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
BOOL SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
BOOL DrawMenuBar(HWND hwnd);
// Shows a context menu at screen point x, y and returns when it is closed;
// the chosen item is posted to `owner` as WM_COMMAND (or returned with
// TPM_RETURNCMD). In batch mode the script's "menu" action chooses.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
// The menu resource of a module (the interpreter's own "LEER", or one of a
// module's resources); 0 when there is none.
HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
// Builds a menu from a binary menu template (MENUITEMTEMPLATE); 0 when malformed.
HMENU LoadMenuIndirectA(const void* data, size_t size);

namespace win {

// A "menu ID" action for the main window's menu bar: chooses the enabled
// item as a click would (WM_COMMAND to the window). False when there is no
// such enabled item; the caller reports it.
bool DeliverMenuAction(const BatchAction& action, HWND window);

}  // namespace win
