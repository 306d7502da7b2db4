// Sound files decoded by libsndfile into clips that play on the audio output.
#pragma once

#include <memory>
#include <string>

#include "sound_backend.h"

namespace win::sound {

// nullptr when libsndfile cannot read the file.
std::unique_ptr<AudioClip> LoadClip(const std::string& hostPath);
// A sine tone; returns when it has sounded, false without an audio output.
bool PlayTone(unsigned frequency, unsigned ms);

}  // namespace win::sound
