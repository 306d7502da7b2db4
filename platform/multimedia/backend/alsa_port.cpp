// The ALSA sequencer client of the interpreter: one output port connected
// to the named destination; messages go out directly, unqueued.
#include "alsa_port.h"

#include <alsa/asoundlib.h>

namespace win::sound {

struct SequencerPort::Parts {
  snd_seq_t* seq = nullptr;
  int port = -1;
};

SequencerPort::~SequencerPort() {
  if (!p_) return;
  snd_seq_close(p_->seq);
  delete p_;
}

bool SequencerPort::Connect(const std::string& name) {
  if (p_) return true;
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) return false;
  snd_seq_set_client_name(seq, "TILMOR");
  int port = snd_seq_create_simple_port(seq, "MIDI-Ausgabe", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  snd_seq_addr_t dest;
  if (port < 0 || snd_seq_parse_address(seq, &dest, name.c_str()) < 0 ||
      snd_seq_connect_to(seq, port, dest.client, dest.port) < 0) {
    snd_seq_close(seq);
    return false;
  }
  p_ = new Parts{seq, port};
  return true;
}

void SequencerPort::Send(uint32_t msg) {
  if (!p_) return;
  snd_seq_event_t ev;
  snd_seq_ev_clear(&ev);
  snd_seq_ev_set_source(&ev, p_->port);
  snd_seq_ev_set_subs(&ev);
  snd_seq_ev_set_direct(&ev);
  auto ch = static_cast<unsigned char>(msg & 0x0F);
  auto d1 = static_cast<unsigned char>((msg >> 8) & 0x7F), d2 = static_cast<unsigned char>((msg >> 16) & 0x7F);
  switch (msg & 0xF0) {
    case 0x80: snd_seq_ev_set_noteoff(&ev, ch, d1, d2); break;
    case 0x90: snd_seq_ev_set_noteon(&ev, ch, d1, d2); break;
    case 0xA0: snd_seq_ev_set_keypress(&ev, ch, d1, d2); break;
    case 0xB0: snd_seq_ev_set_controller(&ev, ch, d1, d2); break;
    case 0xC0: snd_seq_ev_set_pgmchange(&ev, ch, d1); break;
    case 0xD0: snd_seq_ev_set_chanpress(&ev, ch, d1); break;
    case 0xE0: snd_seq_ev_set_pitchbend(&ev, ch, (d1 | d2 << 7) - 8192); break;
    default: return;
  }
  snd_seq_event_output_direct(p_->seq, &ev);
}

}  // namespace win::sound
