// PASSWORD and @PWD$: a reversible scrambling of the two high bits of each
// character with a password repeated to 255 characters.
#include "commands.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

std::string g_password;

void Pwd(Interp& in) {
  std::string s = ReadText(in, ')');
  if (g_password.size() == 255) {
    for (size_t i = 0; i < s.size() && i < 255; ++i) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      unsigned char p = static_cast<unsigned char>(g_password[254 - i]);
      s[i] = static_cast<char>((c & 0x3F) | ((c ^ p) & 0xC0));
    }
  }
  SetResultText(in, std::move(s));
}

}  // namespace

void CmdPassword(Interp& in, int) {
  ReadArg(in, ' ', kRawText);
  std::string text = in.res.type == kString ? in.res.text.str() : std::string();
  g_password.clear();
  if (text.empty()) return;
  std::string unit;
  for (char c : text) unit += static_cast<char>((static_cast<unsigned char>(c) % 4) * 64);
  while (g_password.size() < 255) g_password += unit;
  g_password.resize(255);
}

void RegisterPasswordFunction() { RegisterFunction("PWD$", Pwd); }

}  // namespace tilmor
