// The dialog manager's own state, shared by its files.
#pragma once

#include <QFont>

#include "../batch.h"
#include "dialogbox.h"

namespace win::detail {

struct DialogData {
  DLGPROC proc = nullptr;
  int baseX = 0, baseY = 0;  // dialog base units in pixels
  HGDIOBJ font = 0;          // the template's font, owned by the dialog
  int defId = 0;             // set by DM_SETDEFID; 0: the BS_DEFPUSHBUTTON
  bool ended = false;
  int result = 0;
};

// The data of a dialog made by the dialog manager, or nullptr.
DialogData* DialogOf(HWND hwnd);

// Dialog base units of a font as Windows computes them: the average width
// of the 52 letters (rounded) and the height.
void BaseUnitsOf(const QFont& font, int* cx, int* cy);
// Every dialog made from now on uses these base units instead of its
// font's (tests that need exact pixels); 0, 0 goes back to the fonts.
void OverrideDialogBaseUnits(int cx, int cy);

// What a modal dialog does in batch mode when its queue is empty: takes the
// script's next action. False when the script has nothing left.
bool TakeDialogAction(HWND dialog);
// The box line of a modal dialog in batch mode: its caption and the texts
// of its static controls.
void WriteDialogBoxLine(HWND dialog);

}  // namespace win::detail
