// The dialog manager, Win32-shaped: dialogs made from templates in dialog
// units (the interpreter's own resources, or a resource of another module),
// modal with their own message loop or modeless, the keyboard handling of
// dialogs and the helpers that address controls by id.
#pragma once

#include <string>
#include <vector>

#include "../winuser.h"

using DLGPROC = BOOL (*)(HWND, UINT, WPARAM, LPARAM);

// The interpreter's own module: its instance handle, whose resources are the
// dialogs "INPUT", "EDITBOX1", "EDITBOX2", "LISTBOX1" ... "LISTBOX8",
// "LDIALOG" and the menu "LEER".
constexpr HINSTANCE kSelfInstance = 0x00400000;

// dialog styles
constexpr DWORD DS_ABSALIGN = 0x01, DS_SYSMODAL = 0x02, DS_SETFONT = 0x40, DS_MODALFRAME = 0x80,
                DS_CENTER = 0x0800;

// GetWindowLong index of a dialog's result and procedure
constexpr int DWL_MSGRESULT = 0, DWL_DLGPROC = 4, DWL_USER = 8;

constexpr UINT DM_GETDEFID = WM_USER + 0, DM_SETDEFID = WM_USER + 1;

// Modal: runs the dialog's own message loop until EndDialog; the result
// EndDialog gave, or -1 when the template or the owner is not valid.
int DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
// Modeless: the dialog's handle, or 0.
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
BOOL EndDialog(HWND dialog, int result);
// Takes a message meant for the dialog's keyboard interface (Tab, Enter,
// Escape, arrows in groups, access keys) and handles it: TRUE when taken.
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL MapDialogRect(HWND dialog, RECT* rect);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
LONG GetDialogBaseUnits();

namespace win {

// A control of a dialog template.
struct DialogItem {
  std::string className;  // "BUTTON", "EDIT", ...
  std::string text;       // Windows-1252
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  int id = 0;
};

// A dialog template as a resource describes it.
struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::string caption;
  std::string menu;         // "" none, a name, or "#n"
  std::string windowClass;  // "" the dialog class, or a registered class
  std::string fontName;  // empty: the system font
  int fontSize = 0;      // points
  int fontWeight = 400;  // DLGTEMPLATEEX only
  bool fontItalic = false;
  std::vector<DialogItem> items;
  HINSTANCE instance = 0;  // the module it came from: its items' icons are found there
};

// The named dialog template of a module: the interpreter's own (kSelfInstance)
// or one of a module loaded by LoadModuleResources; false when there is none.
bool FindDialogTemplate(HINSTANCE instance, const std::string& name, DialogTemplate* out);
// Reads a binary dialog template (DLGTEMPLATE or DLGTEMPLATEEX) as a
// resource holds it; false when it is malformed.
bool ParseDialogTemplate(const unsigned char* data, size_t size, DialogTemplate* out);

// The built-in template names of kSelfInstance, in table order.
std::vector<std::string> BuiltInDialogNames();

// A dialog made from a template already in hand (CreateDialogIndirectParam);
// not yet shown.
HWND CreateDialogFromTemplate(const DialogTemplate& tmpl, HWND owner, DLGPROC proc, LPARAM param);
// The modal loop over a template in hand; -1 when it cannot be made.
int DialogBoxFromTemplate(const DialogTemplate& tmpl, HWND owner, DLGPROC proc, LPARAM param);

// The modal dialog open now (the innermost), 0 when none.
HWND CurrentModalDialog();

// The folder chooser: the chosen folder, or "" when cancelled. In batch
// mode the script's "dir" answers it.
std::string BrowseForFolder(HWND owner, const std::string& title);
// A chosen folder (a host path) as the chooser returns it: in Windows form
// where a drive maps to it, else as it is.
std::string FolderAsWindowsPath(const std::string& host);

}  // namespace win
