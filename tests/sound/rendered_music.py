#!/usr/bin/env python3
"""The real sound path once: the built-in synthesizer renders a MUSIC
melody and a PLAY chord into a WAV file on the program's clock; the right
pitches must sound at the right times (an FFT of slices of the file). And
a wave file written here plays through MCI open, status length, play wait
and close, taking exactly its length.
   rendered_music.py TILMOR"""
import os
import subprocess
import sys
import tempfile
import wave

try:
    import numpy as np
except ImportError:
    print("numpy is missing (scripts/install-deps.sh installs python3-numpy): skipped")
    sys.exit(77)

tilmor = os.path.realpath(sys.argv[1])
failures = []


def fail(what):
    print("---", what)
    failures.append(what)


def run(work, *args):
    env = dict(os.environ, TILMOR_WINDIR=os.path.join(work, ".windir"))
    os.makedirs(env["TILMOR_WINDIR"], exist_ok=True)
    return subprocess.run([tilmor, "--batch", *args], cwd=work, env=env, capture_output=True,
                          text=True, timeout=60)


def midi_hz(key):
    return 440.0 * 2 ** ((key - 69) / 12)


def spectrum(samples, rate, start_ms, length_ms=120):
    """The spectrum and the level of a slice of the file."""
    a = int(start_ms * rate / 1000)
    seg = samples[a:a + int(length_ms * rate / 1000)]
    seg = seg * np.hanning(len(seg))
    # Zero-padded for a finer frequency grid.
    n = 1 << 16
    return np.abs(np.fft.rfft(seg, n)), np.fft.rfftfreq(n, 1 / rate), float(np.sqrt(np.mean(seg ** 2)))


def strength(power, freqs, key):
    """The strongest part of the spectrum within a third of a semitone of a key."""
    hz = midi_hz(key)
    band = np.abs(12 * np.log2(np.maximum(freqs, 1) / hz)) < 0.34
    return power[band].max()


def level(samples, rate, start_ms, length_ms=120):
    return spectrum(samples, rate, start_ms, length_ms)[2]


with tempfile.TemporaryDirectory() as work:
    # The melody: A (key 57, 220 Hz), E (64), C one octave up (72), each
    # 500 ms at tempo 120 in legato, a quarter rest, then a chord.
    with open(os.path.join(work, "melody.tmf"), "w") as f:
        f.write('MUSIC "T120 L4 ML O4 A > E > C P"\nPLAY 70,2,0\n')
    r = run(work, "--midi-render", "melody.wav", "--midi-log", "midi.log", "melody.tmf")
    if r.returncode != 0 or r.stderr:
        fail(f"render run: exit {r.returncode}, {r.stderr.strip()}")
    wav_path = os.path.join(work, "melody.wav")
    if not os.path.exists(wav_path):
        fail("no WAV file rendered")
    else:
        with wave.open(wav_path) as w:
            rate, channels, width = w.getframerate(), w.getnchannels(), w.getsampwidth()
            data = w.readframes(w.getnframes())
        dtype = {2: "<i2", 4: "<f4"}.get(width)
        if dtype is None:
            fail(f"unexpected sample width {width}")
        else:
            samples = np.frombuffer(data, dtype=dtype).astype(np.float64).reshape(-1, channels).mean(axis=1)
            length_ms = len(samples) * 1000 / rate
            # The melody takes 2000 ms, the chord 1000 more, and the rest dies away.
            if not 3000 <= length_ms <= 3600:
                fail(f"rendered {length_ms:.0f} ms, want about 3250")
            keys = (57, 64, 72, 69)
            for start, key in zip((150, 650, 1150, 2200), keys):
                power, freqs, _ = spectrum(samples, rate, start)
                # The note's own pitch is there, and louder than the others'.
                mine = strength(power, freqs, key)
                band = (freqs > 60) & (freqs < 2000)
                if mine < 0.2 * power[band].max():
                    fail(f"at {start} ms key {key} ({midi_hz(key):.1f} Hz) is hardly there")
                for other in keys:
                    if other != key and strength(power, freqs, other) >= mine:
                        fail(f"at {start} ms key {other} is as loud as key {key}")
            # The rest between melody and chord is (nearly) silent, the notes are not.
            rest = level(samples, rate, 1850, 100)
            note = level(samples, rate, 650, 100)
            if not rest < note / 8:
                fail(f"the rest is not quiet: level {rest:.1f} against {note:.1f}")
            # Before the first note nothing sounds; it starts at once.
            onset = level(samples, rate, 0, 40)
            if onset < note / 20:
                fail("the first note does not start at 0 ms")

    # A wave file through MCI: 1234 ms of a 330 Hz tone.
    rate = 8000
    t = np.arange(9872) / rate
    with wave.open(os.path.join(work, "ton.wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes((np.sin(2 * np.pi * 330 * t) * 9000).astype("<i2").tobytes())
    with open(os.path.join(work, "mci.tmf"), "w") as f:
        f.write('PRINT @MCISEND$("open ton.wav type waveaudio alias ton")\n'
                'PRINT @MCISEND$("status ton length")\n'
                'PRINT @MCISEND$("play ton wait"); %MCIERROR\n'
                'PRINT @MCISEND$("status ton position")\n'
                'PRINT @MCISEND$("close ton"); %MCIERROR\n')
    r = run(work, "--sound-log", "sound.log", "mci.tmf")
    want_out = "1\n1234\n0\n1234\n0\n"
    if r.stdout != want_out or r.returncode != 0:
        fail(f"MCI run: exit {r.returncode}, output {r.stdout!r}, want {want_out!r}")
    log = open(os.path.join(work, "sound.log")).read().splitlines()
    want_log = ['0 MCI "open ton.wav type waveaudio alias ton" 0 1', '0 MCI "status ton length" 0 1234',
                '0 MCI "play ton wait" 0', '1234 MCI "status ton position" 0 1234', '1234 MCI "close ton" 0']
    if log != want_log:
        fail(f"sound log {log}")

sys.exit(1 if failures else 0)
