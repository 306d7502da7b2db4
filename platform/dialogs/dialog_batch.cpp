// Modal dialogs in batch mode: their box line, and the script's actions
// taken in order as the user's input to them.
#include <cctype>
#include <string>

#include "../window_impl.h"  // first: it brings Qt's image before the layer's headers name one

#include "../batch.h"
#include "../batchinput.h"
#include "../controls/controls.h"
#include "dialog_impl.h"

namespace win::detail {

void WriteDialogBoxLine(HWND dialog) {
  char caption[256] = {};
  GetWindowTextA(dialog, caption, sizeof caption);
  std::string text;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[16] = {};
    GetClassNameA(c, cls, sizeof cls);
    DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
    std::string name = cls;
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (name != "STATIC") continue;
    if ((style & SS_TYPEMASK) == SS_ICON) continue;
    int n = GetWindowTextLengthA(c);
    if (n <= 0) continue;
    std::string part(static_cast<size_t>(n) + 1, '\0');
    part.resize(static_cast<size_t>(GetWindowTextA(c, part.data(), n + 1)));
    if (!text.empty()) text += ' ';
    text += part;
  }
  WriteBoxLine(caption, text);
}

bool TakeDialogAction(HWND dialog) {
  auto act = TakeNextAction();
  if (!act) return false;
  switch (act->kind) {
    case ActionKind::Cancel:
      SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      break;
    case ActionKind::Wait:
      AdvanceVirtualTime(static_cast<unsigned long long>(act->x));
      break;
    case ActionKind::Type:
    case ActionKind::Key:
    case ActionKind::Click:
    case ActionKind::Move:
      DeliverInputAction(*act, dialog);
      break;
    case ActionKind::Press:
    case ActionKind::SetText:
    case ActionKind::Select:
    case ActionKind::DblClick:
    case ActionKind::Scroll:
    case ActionKind::Choose:
    case ActionKind::Text:
    case ActionKind::Answer:
      if (!DeliverControlAction(*act, dialog)) ReportUnfitAction(*act);
      break;
    case ActionKind::File:
    case ActionKind::Dir:
    case ActionKind::Menu:
    case ActionKind::Close:
    case ActionKind::Resize:
      ReportUnfitAction(*act);
      break;
  }
  return true;
}

}  // namespace win::detail
