// The MCI device "sequencer": a MIDI file played through the MIDI mapper.
// A waited play sends its notes from the interpreter's thread; one in the
// background has a thread of its own, or in batch mode catches up with
// the clock whenever the sound layer is called.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "batch.h"
#include "mci_device.h"
#include "midifile.h"
#include "midiout.h"
#include "sound.h"

namespace win {
namespace {

class Sequencer : public MciDevice {
 public:
  Sequencer(int id, const std::string& name, const std::string& element, MidiSequence seq)
      : MciDevice(id, name, "sequencer", element), seq_(std::move(seq)) {}
  ~Sequencer() override {
    EndThread();
    if (out_) midiOutClose(out_);
  }

  unsigned LengthMs() const override { return seq_.lengthMs; }
  int Tracks() const override { return seq_.tracks; }
  bool HasMedia() const override { return !element_empty_; }
  void SetEmpty() { element_empty_ = true; }

  void Poll() override {
    if (mode_ == MciMode::Playing && !thread_.joinable()) CatchUp(SoundClock());
    Position();
  }

 protected:
  MCIERROR StartOutput(unsigned from, unsigned to, bool repeat, bool wait) override {
    if (!out_ && midiOutOpen(&out_, MIDI_MAPPER, 0, 0, 0) != MMSYSERR_NOERROR) {
      out_ = 0;
      return MCIERR_SEQ_NOMIDIPRESENT;
    }
    next_ = First(from);
    base_ = static_cast<long long>(started_) - from;
    if (wait) {
      while (next_ < seq_.events.size() && Within(seq_.events[next_].ms, to)) {
        WaitUntil(static_cast<unsigned long long>(base_ + seq_.events[next_].ms));
        CatchUp(SoundClock());
      }
      return 0;
    }
    if (IsBatchMode()) return 0;  // Poll sends the notes
    stop_ = false;
    thread_ = std::thread([this, from, to, repeat] { Run(from, to, repeat); });
    return 0;
  }

  void StopOutput() override {
    if (mode_ == MciMode::Playing && !thread_.joinable()) CatchUp(SoundClock());
    EndThread();
    EndNotes(SoundClock());
  }

  // A play that ends before the file does leaves no note sounding.
  void FinishOutput() override {
    unsigned long long end = started_ + (to_ - from_);
    if (!thread_.joinable()) CatchUp(end);
    EndThread();
    EndNotes(end);
  }

 private:
  // A play to the end of the file takes the events at its very end too.
  bool Within(unsigned ms, unsigned to) const { return ms < to || to >= seq_.lengthMs; }

  size_t First(unsigned from) const {
    auto it = std::lower_bound(seq_.events.begin(), seq_.events.end(), from,
                               [](const MidiEvent& e, unsigned v) { return e.ms < v; });
    return static_cast<size_t>(it - seq_.events.begin());
  }

  // Sends what is due by `now` at the times it was due.
  void CatchUp(unsigned long long now) {
    for (;;) {
      if (next_ >= seq_.events.size() || !Within(seq_.events[next_].ms, to_)) {
        if (!repeat_) return;
        long long restart = base_ + to_;
        if (restart > static_cast<long long>(now)) return;
        base_ += to_ - from_;
        next_ = First(from_);
        continue;
      }
      long long due = base_ + seq_.events[next_].ms;
      if (due > static_cast<long long>(now)) return;
      Send(seq_.events[next_].msg, static_cast<unsigned long long>(due));
      ++next_;
    }
  }

  void Run(unsigned from, unsigned to, bool repeat) {
    std::unique_lock<std::mutex> hold(lock_);
    size_t i = next_;
    long long base = base_;
    while (!stop_) {
      if (i >= seq_.events.size() || !Within(seq_.events[i].ms, to)) {
        if (!repeat) break;
        base += to - from;
        i = First(from);
        long long wait = base + from - static_cast<long long>(SoundClock());
        if (wait > 0) wake_.wait_for(hold, std::chrono::milliseconds(wait));
        continue;
      }
      long long wait = base + seq_.events[i].ms - static_cast<long long>(SoundClock());
      if (wait > 0) {
        wake_.wait_for(hold, std::chrono::milliseconds(wait));
        continue;
      }
      Send(seq_.events[i++].msg, SoundClock());
    }
  }

  // Sends a message and keeps count of the notes it leaves sounding.
  void Send(uint32_t msg, unsigned long long ms) {
    uint32_t status = msg & 0xF0, note = msg & 0x7F0F;
    if (status == 0x90 && (msg >> 16 & 0x7F) != 0)
      sounding_.insert(note);
    else if (status == 0x80 || status == 0x90)
      sounding_.erase(note);
    MidiShortAt(out_, msg, ms);
  }

  void EndNotes(unsigned long long ms) {
    for (uint32_t note : sounding_) MidiShortAt(out_, 0x90 | note, ms);
    sounding_.clear();
  }

  void EndThread() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard<std::mutex> hold(lock_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  MidiSequence seq_;
  std::set<uint32_t> sounding_;  // channel | key << 8
  bool element_empty_ = false;
  HMIDIOUT out_ = 0;
  size_t next_ = 0;
  long long base_ = 0;
  std::thread thread_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool stop_ = false;
};

}  // namespace

MciDevice* MakeSequencer(int id, const std::string& name, const std::string& element,
                         const std::string& hostPath, MCIERROR* error) {
  MidiSequence seq;
  if (!hostPath.empty() && !ReadMidiFile(hostPath, &seq, nullptr)) {
    *error = MCIERR_INVALID_FILE;
    return nullptr;
  }
  auto* d = new Sequencer(id, name, element, std::move(seq));
  if (hostPath.empty()) d->SetEmpty();
  return d;
}

}  // namespace win
