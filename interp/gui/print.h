// PRINT's item formatting, shared by the window and file output.
#pragma once

#include <string>

#include "interp.h"

namespace tilmor {

// Reads the items of the parameter text and returns what PRINT writes:
// strings in the string width, numbers in the number width, "," as one
// blank, ";" as nothing, and "\n" at the end unless a separator ends the line.
std::string FormatPrintItems(Interp& in);

// PRINT #n and INPUT #n: the file layer's handlers, called with the
// parameter text still starting at "#".
using FileCommandHandler = void (*)(Interp& in);
void SetFileTextCommands(FileCommandHandler print, FileCommandHandler input);
FileCommandHandler FileInputHandler();

}  // namespace tilmor
