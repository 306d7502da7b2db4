// The Standard MIDI file reader: tracks merged by tick, ticks turned into
// milliseconds through the tempo changes.
#include "midifile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace win {
namespace {

struct Reader {
  std::string_view b;
  size_t at = 0;
  bool ok = true;

  bool Has(size_t n) const { return at + n <= b.size(); }
  uint32_t Byte() {
    if (!Has(1)) return ok = false, 0;
    return static_cast<uint8_t>(b[at++]);
  }
  uint32_t Big(int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | Byte();
    return v;
  }
  uint32_t Little32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= Byte() << (8 * i);
    return v;
  }
  uint32_t VarLen() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      uint32_t c = Byte();
      v = v << 7 | (c & 0x7F);
      if (!(c & 0x80)) return v;
    }
    ok = false;
    return v;
  }
  std::string_view Take(size_t n) {
    if (!Has(n)) {
      ok = false;
      n = b.size() - at;
    }
    std::string_view s = b.substr(at, n);
    at += n;
    return s;
  }
};

struct TickEvent {
  uint64_t tick;
  int order;  // keeps the file's order among equal ticks
  uint32_t msg;
  uint32_t tempo;  // a tempo change when msg is 0
};

// A RIFF RMID file carries the MIDI file in its "data" chunk.
std::string_view Unwrap(std::string_view bytes) {
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "RMID") return bytes;
  Reader r{bytes, 12};
  while (r.Has(8)) {
    std::string_view id = r.Take(4);
    uint32_t len = r.Little32();
    if (id == "data") return r.Take(len);
    r.Take(len + (len & 1));
  }
  return {};
}

bool ReadTrack(std::string_view data, int& order, std::vector<TickEvent>& out, uint64_t& end) {
  Reader r{data};
  uint64_t tick = 0;
  uint32_t running = 0;
  while (r.ok && r.Has(1)) {
    tick += r.VarLen();
    uint32_t status = r.Byte();
    if (status < 0x80) {
      // running status: this byte was the first data byte
      if (!running) return false;
      --r.at;
      status = running;
    }
    if (status == 0xFF) {
      uint32_t type = r.Byte();
      std::string_view meta = r.Take(r.VarLen());
      if (type == 0x51 && meta.size() == 3) {
        uint32_t t = static_cast<uint8_t>(meta[0]) << 16 | static_cast<uint8_t>(meta[1]) << 8 |
                     static_cast<uint8_t>(meta[2]);
        out.push_back({tick, order++, 0, t});
      }
      if (type == 0x2F) break;
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      r.Take(r.VarLen());
      continue;
    }
    if (status >= 0xF0) return false;
    running = status;
    uint32_t d1 = r.Byte();
    uint32_t d2 = (status & 0xE0) == 0xC0 ? 0 : r.Byte();
    out.push_back({tick, order++, status | (d1 & 0x7F) << 8 | (d2 & 0x7F) << 16, 0});
  }
  end = std::max(end, tick);
  return r.ok;
}

}  // namespace

bool ParseMidiFile(std::string_view bytes, MidiSequence* seq, std::string* why) {
  auto fail = [&](const char* reason) {
    if (why) *why = reason;
    return false;
  };
  bytes = Unwrap(bytes);
  Reader r{bytes};
  if (r.Take(4) != "MThd" || r.Big(4) < 6) return fail("no MIDI file header");
  uint32_t format = r.Big(2), tracks = r.Big(2), division = r.Big(2);
  if (!r.ok || format > 2 || tracks == 0 || division == 0) return fail("a damaged MIDI file header");
  std::vector<TickEvent> events;
  int order = 0, found = 0;
  uint64_t endTick = 0;
  while (found < static_cast<int>(tracks) && r.Has(8)) {
    std::string_view id = r.Take(4);
    uint32_t len = r.Big(4);
    std::string_view body = r.Take(len);
    if (id != "MTrk") continue;  // chunks of other kinds are skipped
    if (!ReadTrack(body, order, events, endTick)) return fail("a damaged track");
    ++found;
  }
  if (found == 0) return fail("no track");
  std::stable_sort(events.begin(), events.end(), [](const TickEvent& a, const TickEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  // Ticks to milliseconds: quarter notes at the tempo in force, or SMPTE
  // frames.
  double msPerTick;
  bool smpte = division & 0x8000;
  if (smpte) {
    int fps = -static_cast<int8_t>(division >> 8);
    int perFrame = division & 0xFF;
    if (fps <= 0 || perFrame == 0) return fail("a damaged time division");
    msPerTick = 1000.0 / (fps * perFrame);
  } else {
    msPerTick = 500.0 / division;  // 120 beats per minute until told
  }
  MidiSequence s;
  s.tracks = found;
  double ms = 0;
  uint64_t last = 0;
  for (const TickEvent& e : events) {
    ms += static_cast<double>(e.tick - last) * msPerTick;
    last = e.tick;
    if (e.msg == 0) {
      if (!smpte && e.tempo > 0) msPerTick = e.tempo / 1000.0 / division;
      continue;
    }
    s.events.push_back({static_cast<unsigned>(ms), e.msg});
  }
  ms += static_cast<double>(endTick - last) * msPerTick;
  s.lengthMs = static_cast<unsigned>(ms);
  *seq = std::move(s);
  return true;
}

bool ReadMidiFile(const std::string& hostPath, MidiSequence* seq, std::string* why) {
  std::ifstream f(hostPath, std::ios::binary);
  if (!f) {
    if (why) *why = "cannot be read";
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return ParseMidiFile(bytes, seq, why);
}

}  // namespace win
