// Batch mode: the program runs without a window. Text output goes to
// standard output, every message box to standard error as one line
// "[TITLE] TEXT", and dialogs take their answers from a script.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace win {

// True when a window system can be reached (X11 or Wayland, or a Qt
// platform named in QT_QPA_PLATFORM).
bool HasDisplay();

void SetBatchMode(bool on);
bool IsBatchMode();

// The script's clock in milliseconds: it stands still until a wait action
// or a command that takes its time (a note, a tone) moves it on.
unsigned long long BatchClock();
void AdvanceBatchClock(unsigned long long ms);

enum class ActionKind {
  // dialog answers
  Answer, File, Text, Cancel, Choose, Dir,
  // input, delivered as platform input while the program waits or polls
  // (or to the open modal dialog or context menu)
  Type, Key, Click, Move, Resize, Close, Wait,
  Press, SetText, Select, DblClick, Scroll, Menu
};

struct BatchAction {
  ActionKind kind = ActionKind::Cancel;
  int answer = 0;     // Answer: the dialog result id (IDOK ...)
  std::string value;  // File, Text, Dir, SetText, Choose by text: Windows-1252 text; Type: one character
  int x = 0, y = 0;   // Key: x is the virtual key; Click, Move, Resize; Wait: x ms
  bool right = false; // Click with the right button
  int id = 0;         // Press, SetText, Select, DblClick, Scroll, Menu: the control or item id
  int index = 0;      // Select, DblClick, Choose: the entry; Scroll: the position
  bool byText = false;  // Choose "TEXT"
  bool none = false;    // menu none: dismiss the context menu
};

bool IsInputAction(ActionKind k);
// The action as the script line says it, for "[BATCH] " reports.
std::string DescribeAction(const BatchAction& a);
// Reports an action that does not fit the window it reached, on standard
// error as "[BATCH] " and the action; the action is skipped.
void ReportUnfitAction(const BatchAction& a);

// Parses a script (UTF-8 text); on failure returns false with a message.
bool ParseBatchScript(std::string_view text, std::string* error);
bool LoadBatchScript(const std::string& path, std::string* error);
void ClearBatchScript();
// Takes the first queued action of one of the given kinds; "cancel" fits
// every dialog and is always taken when it comes first.
std::optional<BatchAction> TakeBatchAction(std::initializer_list<ActionKind> fits);
// Takes the first queued input action.
std::optional<BatchAction> TakeInputAction();
// The first queued action of any kind: a modal dialog takes the actions in
// their order.
const BatchAction* PeekNextAction();
std::optional<BatchAction> TakeNextAction();

// Writes Windows-1252 text to standard output as UTF-8 and flushes.
void WriteConsoleText(std::string_view text);
// Writes "[TITLE] TEXT" to standard error; line breaks in TEXT become " | ".
void WriteBoxLine(std::string_view title, std::string_view text);
std::string FormatBoxLine(std::string_view title, std::string_view text);

}  // namespace win
