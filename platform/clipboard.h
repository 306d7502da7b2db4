// The clipboard as CF_TEXT: Windows-1252 text with CR LF line ends, kept on
// the window system's clipboard as Unicode text with LF line ends.
#pragma once

#include <string>
#include <string_view>

namespace win {

// False when there is no application object (and so no clipboard).
bool ClipboardAvailable();
// EmptyClipboard.
void ClearClipboard();
// Puts the text (cut to 254 characters) on the clipboard; false without one.
bool PutClipboardText(std::string_view text);
// The clipboard's text, at most 255 characters; "" when it holds none.
std::string ClipboardText();

}  // namespace win
