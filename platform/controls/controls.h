// The standard controls, Win32-shaped: the window classes "BUTTON",
// "STATIC", "EDIT", "LISTBOX", "COMBOBOX" and "SCROLLBAR", their styles,
// messages and notifications. They are registered with the window system
// from the start, as Windows' system classes are.
#pragma once

#include <string>
#include <vector>

#include "../batch.h"
#include "../winuser.h"

// a child window that does not send WM_PARENTNOTIFY
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;

// messages of every window used by the controls
constexpr UINT WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_NEXTDLGCTL = 0x0028,
               WM_CTLCOLORSTATIC = 0x0138, WM_CLEAR = 0x0303, WM_UNDO = 0x0304;

// buttons
constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3,
                BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5, BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7,
                BS_AUTORADIOBUTTON = 0x9, BS_TYPEMASK = 0xF;
constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
               BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5;
constexpr WPARAM BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2;
constexpr WORD BN_CLICKED = 0, BN_DBLCLK = 5;

// statics
constexpr DWORD SS_LEFT = 0x0, SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_ICON = 0x3, SS_TYPEMASK = 0x1F;
constexpr UINT STM_SETICON = 0x0170, STM_GETICON = 0x0171;

// edits
constexpr DWORD ES_LEFT = 0x0, ES_MULTILINE = 0x4, ES_UPPERCASE = 0x8, ES_LOWERCASE = 0x10,
                ES_PASSWORD = 0x20, ES_AUTOVSCROLL = 0x40, ES_AUTOHSCROLL = 0x80, ES_NOHIDESEL = 0x100,
                ES_READONLY = 0x800, ES_WANTRETURN = 0x1000;
constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB,
               EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4, EM_LIMITTEXT = 0x00C5,
               EM_SETLIMITTEXT = 0x00C5, EM_GETLIMITTEXT = 0x00D5, EM_SETREADONLY = 0x00CF,
               EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9;
constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
               EN_MAXTEXT = 0x0501;

// list boxes
constexpr DWORD LBS_NOTIFY = 0x1, LBS_SORT = 0x2, LBS_NOREDRAW = 0x4, LBS_MULTIPLESEL = 0x8,
                LBS_HASSTRINGS = 0x40, LBS_USETABSTOPS = 0x80, LBS_NOINTEGRALHEIGHT = 0x100,
                LBS_WANTKEYBOARDINPUT = 0x400, LBS_EXTENDEDSEL = 0x800, LBS_DISABLENOSCROLL = 0x1000;
constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
               LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186, LB_GETSEL = 0x0187,
               LB_GETCURSEL = 0x0188, LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B,
               LB_SELECTSTRING = 0x018C, LB_GETTOPINDEX = 0x018E, LB_FINDSTRING = 0x018F,
               LB_SETTABSTOPS = 0x0192, LB_GETHORIZONTALEXTENT = 0x0193, LB_SETHORIZONTALEXTENT = 0x0194,
               LB_SETTOPINDEX = 0x0197, LB_FINDSTRINGEXACT = 0x01A2;
constexpr LRESULT LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2;
constexpr WORD LBN_ERRSPACE = static_cast<WORD>(-2), LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SELCANCEL = 3,
               LBN_SETFOCUS = 4, LBN_KILLFOCUS = 5;

// combo boxes
constexpr DWORD CBS_SIMPLE = 0x1, CBS_DROPDOWN = 0x2, CBS_DROPDOWNLIST = 0x3, CBS_AUTOHSCROLL = 0x40,
                CBS_SORT = 0x100, CBS_HASSTRINGS = 0x200;
constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_ADDSTRING = 0x0143,
               CB_DELETESTRING = 0x0144, CB_GETCOUNT = 0x0146, CB_GETCURSEL = 0x0147,
               CB_GETLBTEXT = 0x0148, CB_GETLBTEXTLEN = 0x0149, CB_INSERTSTRING = 0x014A,
               CB_RESETCONTENT = 0x014B, CB_FINDSTRING = 0x014C, CB_SELECTSTRING = 0x014D,
               CB_SETCURSEL = 0x014E, CB_SHOWDROPDOWN = 0x014F, CB_FINDSTRINGEXACT = 0x0158;
constexpr LRESULT CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2;
constexpr WORD CBN_ERRSPACE = static_cast<WORD>(-1), CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3,
               CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8,
               CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;

// scroll-bar controls
constexpr DWORD SBS_HORZ = 0x0, SBS_VERT = 0x1;

// the dialog codes a control answers WM_GETDLGCODE with
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr LRESULT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4,
                  DLGC_WANTMESSAGE = 0x4, DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10,
                  DLGC_UNDEFPUSHBUTTON = 0x20, DLGC_RADIOBUTTON = 0x40, DLGC_WANTCHARS = 0x80,
                  DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;

// keybd_event
constexpr DWORD KEYEVENTF_EXTENDEDKEY = 0x1, KEYEVENTF_KEYUP = 0x2;
// Types a key into the window with the keyboard focus, as the keyboard does.
void keybd_event(BYTE vk, BYTE scan, DWORD flags, DWORD extra);

// font families, as EnumFontFamiliesA reports them (the face name is what
// ADDFONTS lists; the rest is zero where Linux has no such information)
struct LOGFONTA {
  LONG lfHeight = 0, lfWidth = 0, lfEscapement = 0, lfOrientation = 0, lfWeight = 0;
  BYTE lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0, lfCharSet = 0, lfOutPrecision = 0,
       lfClipPrecision = 0, lfQuality = 0, lfPitchAndFamily = 0;
  char lfFaceName[32] = {};
};
using FONTENUMPROCA = int (*)(const LOGFONTA*, const void* metrics, DWORD fontType, LPARAM);
// family == nullptr: one call per installed family; else the family's styles.
int EnumFontFamiliesA(HDC dc, LPCSTR family, FONTENUMPROCA proc, LPARAM l);

namespace win {

// Delivers a batch action meant for a control (press, settext, select,
// dblclick, scroll, choose, text, answer) as a user's input to it: in
// `scope` (a dialog or window and its children) when it is not 0, else in
// the active window, else to the first control with that id. False when it
// does not fit (no such control, a disabled one, no such entry); the caller
// reports it.
bool DeliverControlAction(const BatchAction& action, HWND scope);

// The names of the installed font families, sorted (ADDFONTS).
std::vector<std::string> FontFamilies();

}  // namespace win
