#!/usr/bin/env python3
"""Writes the game's sound project "QUORBSound.fev" and the WAV files its events play.

Every sound is synthesised here from sines, a seeded noise source and envelopes (Python 3
standard library only), so a run always writes the same bytes. The files are mono, 16-bit,
22050 Hz. The music is rendered as a ring: notes that ring past the end of the loop continue at
its start, so the loop repeats without a click.

    make_sounds.py                 writes into data/sounds of this repository
    make_sounds.py --out FOLDER    writes into FOLDER
    make_sounds.py --check         writes nothing; exits 1 when data/sounds differs from a fresh run
"""

import argparse
import array
import math
import os
import sys
import tempfile
import wave

RATE = 22050
SEED = 0x51F0_2B7D
EFFECT_PEAK = 0.85  # of full scale
MUSIC_PEAK = 0.55
PROJECT_FILE = "QUORBSound.fev"


class Noise:
    """A xorshift generator: the same numbers on every machine and Python version."""

    def __init__(self, seed):
        self.state = (seed & 0xFFFFFFFF) or 1

    def next(self):
        """A number in [-1, 1)."""
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x / 2147483648.0 - 1.0


def silence(seconds):
    return [0.0] * int(round(seconds * RATE))


def add(buffer, start, samples, gain=1.0, wrap=False):
    """Mixes samples into buffer from sample index start; with wrap the buffer is a ring."""
    n = len(buffer)
    for i, s in enumerate(samples):
        j = start + i
        if wrap:
            j %= n
        elif j >= n:
            break
        buffer[j] += gain * s


def tone(freq, seconds, partials=((1.0, 1.0),), attack=0.003, decay=None, release=0.01, sweep_to=None):
    """A tone of harmonic or inharmonic partials (ratio, amplitude).

    decay: seconds for the level to fall by e (None holds it); release: a linear fade at the end;
    sweep_to: the frequency reached at the end, gliding exponentially."""
    count = int(round(seconds * RATE))
    out = [0.0] * count
    phases = [0.0] * len(partials)
    for i in range(count):
        t = i / RATE
        f = freq if sweep_to is None else freq * (sweep_to / freq) ** (t / seconds)
        s = 0.0
        for k, (ratio, amp) in enumerate(partials):
            phases[k] += 2.0 * math.pi * f * ratio / RATE
            s += amp * math.sin(phases[k])
        env = 1.0
        if t < attack:
            env = t / attack
        if decay is not None:
            env *= math.exp(-t / decay)
        left = (count - 1 - i) / RATE
        if left < release:
            env *= left / release
        out[i] = s * env
    return out


def noise_burst(noise, seconds, decay, smooth, attack=0.0005):
    """Decaying noise through a one-pole low-pass (smooth 0..1: the larger, the darker)."""
    count = int(round(seconds * RATE))
    out = [0.0] * count
    y = 0.0
    for i in range(count):
        t = i / RATE
        y += (1.0 - smooth) * (noise.next() - y)
        env = math.exp(-t / decay) * (min(1.0, t / attack) if attack > 0 else 1.0)
        out[i] = y * env
    return out


def bell(freq, seconds, decay, brightness=1.0):
    """A struck bell: inharmonic partials, the higher ones dying sooner."""
    partials = ((1.0, 1.0, decay), (2.0, 0.35 * brightness, decay * 0.5),
                (2.76, 0.3 * brightness, decay * 0.35), (5.4, 0.12 * brightness, decay * 0.2))
    out = [0.0] * int(round(seconds * RATE))
    for ratio, amp, d in partials:
        add(out, 0, tone(freq * ratio, seconds, ((1.0, amp),), attack=0.002, decay=d, release=0.02))
    return out


def fade_edges(samples, fade_in=0.0005, fade_out=0.008):
    """Starts and ends an effect at silence."""
    n = len(samples)
    a = max(1, int(fade_in * RATE))
    b = max(1, int(fade_out * RATE))
    for i in range(min(a, n)):
        samples[i] *= i / a
    for i in range(min(b, n)):
        samples[n - 1 - i] *= i / b
    return samples


# The effects ---------------------------------------------------------------------------------

def click():
    noise = Noise(SEED + 1)
    out = silence(0.06)
    add(out, 0, tone(2400.0, 0.06, attack=0.0003, decay=0.004))
    add(out, 0, tone(900.0, 0.06, attack=0.0005, decay=0.012), 0.5)
    add(out, 0, noise_burst(noise, 0.06, 0.002, 0.3), 0.4)
    return out


def buzz():
    out = silence(0.36)
    square = tuple((n, 1.0 / n) for n in range(1, 16, 2))
    for start in (0.0, 0.19):
        at = int(start * RATE)
        add(out, at, tone(140.0, 0.14, square, attack=0.005, release=0.03))
        add(out, at, tone(147.0, 0.14, square, attack=0.005, release=0.03), 0.6)
    return out


def blip():
    return tone(880.0, 0.16, ((1.0, 1.0), (2.0, 0.15)), attack=0.003, decay=0.09, release=0.02,
                sweep_to=330.0)


def wood_knock():
    noise = Noise(SEED + 4)
    out = silence(0.25)
    for freq, decay, amp in ((190.0, 0.05, 1.0), (410.0, 0.03, 0.6), (730.0, 0.02, 0.4), (1150.0, 0.012, 0.25)):
        add(out, 0, tone(freq, 0.25, attack=0.0008, decay=decay), amp)
    add(out, 0, noise_burst(noise, 0.02, 0.003, 0.6), 0.5)
    return out


def metal_hit():
    noise = Noise(SEED + 5)
    out = silence(1.0)
    for freq, decay, amp in ((520.0, 0.6, 1.0), (523.5, 0.6, 0.5), (1380.0, 0.45, 0.7), (2210.0, 0.3, 0.5),
                             (3130.0, 0.2, 0.35), (4270.0, 0.12, 0.2)):
        add(out, 0, tone(freq, 1.0, attack=0.0005, decay=decay, release=0.05), amp)
    add(out, 0, noise_burst(noise, 0.01, 0.0015, 0.2), 0.6)
    return out


def crack():
    noise = Noise(SEED + 6)
    out = silence(0.45)
    add(out, 0, noise_burst(noise, 0.45, 0.03, 0.15), 1.6)
    add(out, 0, tone(70.0, 0.45, attack=0.002, decay=0.06), 0.6)
    # Splinters: short clicks that thin out.
    t = 0.01
    while t < 0.3:
        at = int(t * RATE)
        add(out, at, noise_burst(noise, 0.006, 0.0015, 0.1), 0.5 * (1.0 - t / 0.3))
        t += 0.012 + 0.05 * (t / 0.3) + 0.01 * (noise.next() + 1.0)
    return out


def chime():
    out = silence(1.3)
    for start, freq in ((0.0, 1046.5), (0.12, 1318.5), (0.24, 1568.0)):
        add(out, int(start * RATE), bell(freq, 1.3 - start, 0.45, 0.6), 0.6)
    return out


def ding():
    return bell(880.0, 1.1, 0.5)


def beeps():
    out = silence(1.0)
    voice = ((1.0, 1.0), (3.0, 0.2))
    for start in (0.0, 0.2, 0.4):
        add(out, int(start * RATE), tone(988.0, 0.12, voice, attack=0.005, release=0.02))
    add(out, int(0.6 * RATE), tone(784.0, 0.38, voice, attack=0.005, release=0.08))
    return out


# The music -----------------------------------------------------------------------------------

BPM = 100
BEAT = 60.0 / BPM
BARS = 4
NOTE = {"A2": 110.0, "C3": 130.81, "D3": 146.83, "E3": 164.81, "F2": 87.31, "G2": 98.0,
        "C2": 65.41, "A3": 220.0, "B3": 246.94, "C4": 261.63, "D4": 293.66, "E4": 329.63,
        "F3": 174.61, "G3": 196.0, "F4": 349.23, "G4": 392.0, "A4": 440.0, "B4": 493.88, "C5": 523.25,
        "D5": 587.33, "E5": 659.26, "F5": 698.46, "G5": 783.99, "A5": 880.0}

# One bar each: bass root, pad chord, arpeggio of eight eighth notes.
PROGRESSION = (
    ("A2", ("A3", "C4", "E4"), ("A4", "C5", "E5", "A5", "E5", "C5", "A4", "C5")),
    ("F2", ("F3", "A3", "C4"), ("F4", "A4", "C5", "F5", "C5", "A4", "F4", "A4")),
    ("C2", ("G3", "C4", "E4"), ("C5", "E5", "G5", "E5", "C5", "G4", "E4", "G4")),
    ("G2", ("G3", "B3", "D4"), ("D5", "B4", "G4", "B4", "D5", "G5", "D5", "B4")),
)


def puzzle_music():
    loop = [0.0] * int(round(BARS * 4 * BEAT * RATE))
    for bar, (root, chord, arpeggio) in enumerate(PROGRESSION):
        bar_start = bar * 4 * BEAT
        # Pad: the chord swells in and lets go into the next bar (the last one into the first).
        for name in chord:
            pad = tone(NOTE[name], 4 * BEAT + 0.5, ((1.0, 1.0), (2.0, 0.15), (3.0, 0.05)), attack=0.3,
                       release=0.5)
            add(loop, int(bar_start * RATE), pad, 0.09, wrap=True)
        # Bass on beats one and three.
        for beat in (0, 2):
            note = tone(NOTE[root], 0.9, ((1.0, 1.0), (2.0, 0.3), (3.0, 0.1)), attack=0.008, decay=0.35,
                        release=0.1)
            add(loop, int((bar_start + beat * BEAT) * RATE), note, 0.32, wrap=True)
        # Arpeggio of bell-like eighth notes.
        for step, name in enumerate(arpeggio):
            note = tone(NOTE[name], 0.6, ((1.0, 1.0), (2.0, 0.2), (4.0, 0.05)), attack=0.004, decay=0.18,
                        release=0.05)
            add(loop, int((bar_start + step * BEAT / 2) * RATE), note, 0.13 if step % 2 == 0 else 0.09,
                wrap=True)
        # A soft kick on one and three, a light tick on two and four.
        for beat in range(4):
            at = int((bar_start + beat * BEAT) * RATE)
            if beat % 2 == 0:
                add(loop, at, tone(110.0, 0.25, attack=0.002, decay=0.08, release=0.03, sweep_to=45.0), 0.28,
                    wrap=True)
            else:
                add(loop, at, tone(2800.0, 0.03, attack=0.001, decay=0.008, release=0.005), 0.04, wrap=True)
    return loop


# Output --------------------------------------------------------------------------------------

# (group, event, file, volume, loop, what plays it, synthesiser)
EVENTS = (
    ("GUI", "ButtonPress", "Click.wav", 0.7, False, "a menu button is pressed", click),
    ("Editor", "EditorError", "Buzz.wav", 0.8, False, "the editor refuses a placement", buzz),
    ("Editor", "DeleteWidget", "Blip.wav", 0.8, False, "a widget is deleted", blip),
    ("Collision", "MetalHit", "MetalHit.wav", 1.0, False, "a metal star object hits a widget", metal_hit),
    ("Collision", "WoodHit", "WoodKnock.wav", 1.0, False, "a wooden star object hits a widget", wood_knock),
    ("Collision", "NodeBreak", "Crack.wav", 1.0, False, "a node breaks out of its group", crack),
    ("Objective", "InsideLocation", "Chime.wav", 0.8, False, "the star object enters a location", chime),
    ("Objective", "TargetHit", "Ding.wav", 0.9, False, "the star object reaches a target", ding),
    ("Objective", "TimerDone", "Beeps.wav", 0.8, False, "a time limit runs out", beeps),
    ("Music", "PuzzleMusic", "PuzzleMusic.wav", 0.45, True, "the music, looping until stopped", puzzle_music),
)


def pcm_bytes(samples, peak):
    """Scales the loudest sample to peak of full scale: little-endian 16-bit."""
    loudest = max(abs(s) for s in samples) or 1.0
    scale = peak * 32767.0 / loudest
    data = array.array("h", (max(-32768, min(32767, int(round(s * scale)))) for s in samples))
    if sys.byteorder == "big":
        data.byteswap()
    return data.tobytes()


def write_wav(path, samples, peak):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(pcm_bytes(samples, peak))


def project_text():
    lines = [
        "# The game's sound events, addressed as \"QUORBSound/<group>/<event>\". Each plays one WAV",
        "# file beside this one (mono, 16-bit, 22050 Hz).",
        "# Made by tools/sounds/make_sounds.py: change the script, not this file.",
        "project QUORBSound",
    ]
    groups = []
    for entry in EVENTS:
        if entry[0] not in groups:
            groups.append(entry[0])
    for group in groups:
        lines.append("")
        lines.append("group " + group)
        for g, event, file_name, volume, loop, what, _ in EVENTS:
            if g != group:
                continue
            lines.append("    event %s    # %s" % (event, what))
            lines.append("        file " + file_name)
            lines.append("        volume %g" % volume)
            if loop:
                lines.append("        loop 1")
            lines.append("    end")
        lines.append("end")
    return "\n".join(lines) + "\n"


def write_all(folder):
    os.makedirs(folder, exist_ok=True)
    written = []
    for _, _, file_name, _, loop, _, make in EVENTS:
        write_wav(os.path.join(folder, file_name), make(), MUSIC_PEAK if loop else EFFECT_PEAK)
        written.append(file_name)
    with open(os.path.join(folder, PROJECT_FILE), "w", encoding="ascii", newline="\n") as out:
        out.write(project_text())
    written.append(PROJECT_FILE)
    return written


def check(committed):
    """True when committed holds exactly what a fresh run writes."""
    same = True
    with tempfile.TemporaryDirectory() as fresh:
        written = write_all(fresh)
        for name in written:
            mine = os.path.join(fresh, name)
            theirs = os.path.join(committed, name)
            if not os.path.exists(theirs):
                print("make_sounds: %s is missing" % theirs)
                same = False
                continue
            with open(mine, "rb") as a, open(theirs, "rb") as b:
                if a.read() != b.read():
                    print("make_sounds: %s differs from a fresh run" % theirs)
                    same = False
        for name in sorted(os.listdir(committed)):
            if name not in written:
                print("make_sounds: %s is not written by this script" % os.path.join(committed, name))
                same = False
    return same


def main():
    default = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data",
                                            "sounds"))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=default, help="folder to write into (default: data/sounds)")
    parser.add_argument("--check", action="store_true", help="compare the folder with a fresh run")
    args = parser.parse_args()
    if args.check:
        if check(args.out):
            print("make_sounds: %s is up to date" % args.out)
            return 0
        print("make_sounds: regenerate with tools/sounds/make_sounds.py")
        return 1
    written = write_all(args.out)
    print("make_sounds: wrote %d files into %s" % (len(written), args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
