// MUSIC: the rest of the line as one string of the music-macro language.
#include "argreader.h"
#include "commands.h"
#include "data_registry.h"
#include "mainwindow.h"
#include "music.h"

namespace tilmor {

void RegisterMusic() {
  RegisterCommand("MUSIC", [](Interp& in, int) {
    ReadArg(in, ' ', kText);
    std::string text(in.res.text);
    if (text.size() > 255) text.resize(255);
    // The window stays responsive between the characters, not during a note.
    PlayMusic(Music(), text, [&in] { PumpBetweenLines(in); });
  });
}

}  // namespace tilmor
