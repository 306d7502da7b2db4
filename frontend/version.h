// The version texts of the programs, as their banners and --version show them.
#pragma once

// The system's version: the compiler's banner and $TILMVER.
#define TILMOR_SYSTEM_VERSION "5.0a-32"
// The interpreter is a revision ahead (its window title and information
// box); the runtime module runs its core and says the same.
#define TILMOR_INTERPRETER_VERSION "5.0b-32"
