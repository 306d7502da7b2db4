// Message boxes and the common file dialogs, Win32-shaped. In batch mode
// they write their line to standard error and take their answer from the
// batch script.
#pragma once

#include <string>
#include <vector>

#include "wintypes.h"

// Returns the id of the chosen button (IDOK ...).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;

struct OPENFILENAMEA {
  DWORD lStructSize = 76;
  HWND hwndOwner = 0;
  HINSTANCE hInstance = 0;
  LPCSTR lpstrFilter = nullptr;  // pairs of NUL-terminated texts, ended by a second NUL
  LPSTR lpstrCustomFilter = nullptr;
  DWORD nMaxCustFilter = 0;
  DWORD nFilterIndex = 1;
  LPSTR lpstrFile = nullptr;  // in: initial name; out: the chosen path
  DWORD nMaxFile = 0;
  LPSTR lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  LPCSTR lpstrInitialDir = nullptr;
  LPCSTR lpstrTitle = nullptr;
  DWORD Flags = 0;
  WORD nFileOffset = 0;
  WORD nFileExtension = 0;
  LPCSTR lpstrDefExt = nullptr;
};

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn);

namespace win {
// The buttons of a box of this type, left to right, as dialog results.
std::vector<int> ButtonIds(UINT type);
// What the two boxes do in batch mode: the line on standard error and the
// script's answer (MessageBoxA), the script's file (the file dialogs).
int BatchMessageBox(LPCSTR text, LPCSTR caption, UINT type);
BOOL BatchFileDialog(OPENFILENAMEA* ofn);
// Puts a chosen path into the caller's buffer; false when it has none.
bool CopyFileNameOut(OPENFILENAMEA* ofn, const std::string& path);
// "Text|*.x|All|*.*" to the NUL-separated form of lpstrFilter.
std::string FilterFromBars(const std::string& bars);
// The first button of a box of this type: the batch answer when the script
// has none.
int FirstButton(UINT type);
// The open-file dialog for an existing file, with a "Text|*.x|..." filter;
// "" when cancelled.
std::string AskOpenFileName(const std::string& title, const std::string& filterBars);
}  // namespace win
