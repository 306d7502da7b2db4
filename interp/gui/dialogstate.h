// What the dialogs and the program-made controls keep between calls: the
// last dialog results, the control id counter and the dialog-font switch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialogbox.h"
#include "interp.h"
#include "winuser.h"

namespace tilmor {

struct DialogState {
  int32_t button = 0;     // %BUTTON
  std::string getInput;   // $GETINPUT: the last confirmed input line
  std::string getText;    // $GETTEXT: the last list choice or opened file
  int32_t curSel = 0;     // %GETCURSEL
  // %INPUT, &INPUT, !INPUT, $INPUT: the last confirmed input line as numbers and text
  int32_t inputInt = 0, inputLong = 0;
  double inputFloat = 0.0;
  std::string inputText;
  uint32_t nextId = 1000;   // the id of the next control
  bool dialogFont = false;  // SETDIALOGFONT
};

DialogState& DS();

// The owner of every dialog: the main window when it exists, else none.
HWND DialogOwner();
// After a dialog closed: the main window invalidated without erasing and updated.
void AfterDialog();
// Runs a modal dialog of the interpreter's own resources; its result
// (EndDialog's value, -1 when it could not be shown).
int RunDialog(const char* resource, DLGPROC proc);

// A list dialog of the given entries for the interpreter's own questions:
// the index of the chosen entry, -1 when none was chosen or it was
// cancelled. The program's dialog results stay as they are.
int ChooseFromList(const std::string& title, const std::vector<std::string>& entries);

void RegisterStandardDialogs();
void RegisterMessageBox();
void RegisterInputDialog();
void RegisterEditBox();
void RegisterListBoxDialog();
void RegisterFileDialogs();
void RegisterControlFunctions();
void RegisterItemListWindows();
void RegisterCreateFunctions();
void RegisterControlCommands();
void RegisterSendKeys();
// The first top-level window whose title begins with `prefix` (compared
// case-insensitively); 0 when none.
HWND FindTopLevelWindow(const std::string& prefix);

}  // namespace tilmor
