// FluidSynth: its settings, the sound font, the audio driver or the file
// renderer, and short messages turned into its calls.
#include "synth.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <cstdlib>

namespace win::sound {

struct Synth::Parts {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_audio_driver_t* driver = nullptr;
  fluid_file_renderer_t* renderer = nullptr;
  double rate = 44100;
  int period = 64;
  unsigned long long rendered = 0;  // frames
};

std::string FindSoundFont() {
  if (const char* p = std::getenv("TILMOR_SOUNDFONT"); p && *p) return access(p, R_OK) == 0 ? p : "";
  for (const char* f : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                        "/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
                        "/usr/share/sounds/sf3/MuseScore_General.sf3", "/usr/share/soundfonts/default.sf2"})
    if (access(f, R_OK) == 0) return f;
  return {};
}

Synth::~Synth() { Stop(); }

bool Synth::Create() {
  if (p_) return true;
  std::string font = FindSoundFont();
  if (font.empty()) return false;
  // FluidSynth's messages (no JACK, no server) mean nothing to the user.
  for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) fluid_set_log_function(level, nullptr, nullptr);
  auto* p = new Parts;
  p->settings = new_fluid_settings();
  fluid_settings_setint(p->settings, "synth.reverb.active", 1);
  fluid_settings_setint(p->settings, "audio.period-size", p->period);
  p->synth = new_fluid_synth(p->settings);
  if (!p->synth || fluid_synth_sfload(p->synth, font.c_str(), 1) == FLUID_FAILED) {
    if (p->synth) delete_fluid_synth(p->synth);
    delete_fluid_settings(p->settings);
    delete p;
    return false;
  }
  fluid_settings_getnum(p->settings, "synth.sample-rate", &p->rate);
  p_ = p;
  return true;
}

bool Synth::Start() {
  if (!Create()) return false;
  if (p_->driver || p_->renderer) return true;
  p_->driver = new_fluid_audio_driver(p_->settings, p_->synth);
  for (const char* name : {"pipewire", "pulseaudio", "alsa", "sdl2"}) {
    if (p_->driver) break;
    fluid_settings_setstr(p_->settings, "audio.driver", name);
    p_->driver = new_fluid_audio_driver(p_->settings, p_->synth);
  }
  // Without an audio output the synthesizer still takes its notes, silently.
  return true;
}

bool Synth::StartRender(const std::string& wavPath) {
  if (!Create()) return false;
  if (p_->renderer) return true;
  fluid_settings_setstr(p_->settings, "audio.file.name", wavPath.c_str());
  fluid_settings_setstr(p_->settings, "audio.file.type", "wav");
  p_->renderer = new_fluid_file_renderer(p_->synth);
  return p_->renderer != nullptr;
}

void Synth::RenderTo(unsigned long long ms) {
  if (!p_ || !p_->renderer) return;
  auto target = static_cast<unsigned long long>(static_cast<double>(ms) * p_->rate / 1000.0);
  while (p_->rendered + static_cast<unsigned long long>(p_->period) <= target) {
    if (fluid_file_renderer_process_block(p_->renderer) != FLUID_OK) return;
    p_->rendered += static_cast<unsigned long long>(p_->period);
  }
}

void Synth::Send(uint32_t msg) {
  if (!p_) return;
  fluid_synth_t* s = p_->synth;
  int status = static_cast<int>(msg & 0xF0), ch = static_cast<int>(msg & 0x0F);
  int d1 = static_cast<int>((msg >> 8) & 0x7F), d2 = static_cast<int>((msg >> 16) & 0x7F);
  switch (status) {
    case 0x80: fluid_synth_noteoff(s, ch, d1); break;
    case 0x90:
      if (d2 == 0)
        fluid_synth_noteoff(s, ch, d1);
      else
        fluid_synth_noteon(s, ch, d1, d2);
      break;
    case 0xA0: fluid_synth_key_pressure(s, ch, d1, d2); break;
    case 0xB0: fluid_synth_cc(s, ch, d1, d2); break;
    case 0xC0: fluid_synth_program_change(s, ch, d1); break;
    case 0xD0: fluid_synth_channel_pressure(s, ch, d1); break;
    case 0xE0: fluid_synth_pitch_bend(s, ch, d1 | d2 << 7); break;
    default: break;
  }
}

void Synth::Stop() {
  if (!p_) return;
  if (p_->driver) delete_fluid_audio_driver(p_->driver);
  if (p_->renderer) delete_fluid_file_renderer(p_->renderer);
  delete_fluid_synth(p_->synth);
  delete_fluid_settings(p_->settings);
  delete p_;
  p_ = nullptr;
}

}  // namespace win::sound
