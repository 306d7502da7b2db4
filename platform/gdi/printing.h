// Print jobs on printer contexts (CreateDCA with a printer), Win32-shaped.
//
// A printer context names its printer by driver, device and port as the
// system profile does: a port "FILE:name" writes each job as a PDF file
// (a relative name lies in the Windows directory; later jobs of the same
// run get "-2", "-3" ... before the extension), any other port prints on
// the CUPS queue named by the device. Pages are drawn at 300 dots per inch.
#pragma once

#include "../wingdi.h"

struct DOCINFOA {
  int cbSize = sizeof(DOCINFOA);
  LPCSTR lpszDocName = nullptr;
  LPCSTR lpszOutput = nullptr;  // a file for the job instead of the port
  LPCSTR lpszDatatype = nullptr;
  DWORD fwType = 0;
};

constexpr int SP_ERROR = -1;

int StartDocA(HDC hdc, const DOCINFOA* info);
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);
// The name of the system's default printer (CUPS's default destination).
BOOL GetDefaultPrinterA(LPSTR buffer, DWORD* size);
