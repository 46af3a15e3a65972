"""Composes and renders Splosh's music: a cheerful, quiet 48-second loop in
C major (mallet melody, bass, off-beat chords, an arpeggio in the middle
part, light drums), written as a 16-bit stereo WAVE file for the encoders.

    python3 tools/make_music.py OUT_WAV

The loop is rendered into a circular buffer: a note or echo that rings past
the end goes on at the start, so the last sample runs into the first when
the game repeats the music. The mix is brought to -16 LUFS (ITU-R BS.1770)
and kept below -2 dBFS, leaving the encoders room.
"""

import math
import struct
import sys
import wave

RATE = 44100
BEATS_PER_MINUTE = 120
BEAT = RATE * 60 // BEATS_PER_MINUTE  # samples per beat
EIGHTH = BEAT // 2
BAR = 4 * BEAT
TARGET_LUFS = -16.0
PEAK_CEILING = 10 ** (-2.0 / 20)

NOTE_NAMES = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}

# One chord per bar: root note and chord tones (semitones above C4).
CHORDS = {
    'C': (0, (0, 4, 7)),
    'Dm': (2, (2, 5, 9)),
    'Em': (4, (4, 7, 11)),
    'F': (5, (5, 9, 12)),
    'G': (7, (7, 11, 14)),
    'Am': (9, (9, 12, 16)),
}

# The opening phrase, which comes back in the last section: note:length in
# eighths, one bar per line ("r" is a rest).
THEME = """
    E5:2 G5:1 E5:1 C5:2 D5:1 E5:1
    C5:2 A4:1 C5:1 E5:4
    F5:2 A5:1 F5:1 C5:2 F5:1 A5:1
    G5:3 F5:1 E5:2 D5:2"""

# Sections: the chords of their eight bars and the melody.
SECTIONS = [
    ('C Am F G C Am Dm G', THEME + """
        E5:2 G5:1 C6:1 B5:2 G5:2
        A5:2 E5:1 C5:1 E5:4
        F5:2 E5:1 D5:1 A5:2 F5:2
        D5:2 B4:1 D5:1 G5:4"""),
    ('F G Em Am Dm G C C', """
        A5:1 G5:1 F5:1 G5:1 A5:2 C6:2
        B5:1 A5:1 G5:1 A5:1 B5:2 D6:2
        G5:2 E5:2 B4:2 E5:2
        A5:3 G5:1 E5:4
        F5:1 E5:1 D5:1 E5:1 F5:2 A5:2
        G5:1 F5:1 E5:1 F5:1 G5:2 B5:2
        C6:2 G5:2 E5:2 G5:2
        C6:4 r:4"""),
    ('C Am F G F G Dm G', THEME + """
        C6:2 A5:1 F5:1 A5:2 C6:2
        B5:2 G5:1 D5:1 G5:2 B5:2
        A5:2 F5:1 D5:1 F5:1 E5:1 D5:2
        B4:2 D5:1 G5:1 F5:2 D5:2"""),
]

# Bass notes per bar: start and length in eighths, semitones above the root.
BASS_PATTERN = [(0, 1.5, 0), (2, 1, 7), (3, 1, 12), (4, 1.5, 0), (6, 1, 7), (7, 1, 12)]


def frequency(semitones_from_c4):
    return 261.6255653 * 2 ** (semitones_from_c4 / 12)


def note_number(name):
    """"E5" -> semitones above C4."""
    return NOTE_NAMES[name[0]] + 12 * (int(name[1:]) - 4)


class Noise:
    """A fixed linear congruential sequence in -1..1, the same on every run."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) % 2**32
        return self.state / 2**31 - 1.0


def fade(i, count, fade_samples):
    """1 inside the note, a raised-cosine ramp over its last samples, so that
    no note ends with a step."""
    left = count - i
    return 1.0 if left >= fade_samples else 0.5 - 0.5 * math.cos(math.pi * left / fade_samples)


def mallet(freq, length):
    """A soft vibraphone: a sine with a brief, bright frequency-modulated
    attack and a second partial that dies first."""
    count = length + int(0.6 * RATE)
    step = 2 * math.pi * freq / RATE
    out = []
    for i in range(count):
        t = i / RATE
        bright = 1.2 * math.exp(-t / 0.04)
        tone = math.sin(step * i + bright * math.sin(4 * step * i)) + 0.25 * math.exp(-t / 0.12) * math.sin(
            2 * step * i)
        env = (1 - math.exp(-t / 0.003)) * math.exp(-t / 0.45) * fade(i, count, 2000)
        out.append(tone * env)
    return out


def bass(freq, length):
    count = length + int(0.05 * RATE)
    step = 2 * math.pi * freq / RATE
    out = []
    for i in range(count):
        t = i / RATE
        tone = math.sin(step * i) + 0.35 * math.sin(2 * step * i) + 0.12 * math.sin(3 * step * i)
        env = (1 - math.exp(-t / 0.004)) * (0.55 + 0.45 * math.exp(-t / 0.12)) * fade(i, count, int(0.05 * RATE))
        out.append(tone * env)
    return out


def electric_piano(freqs, length):
    count = length + int(0.08 * RATE)
    out = [0.0] * count
    for freq in freqs:
        step = 2 * math.pi * freq / RATE
        for i in range(count):
            t = i / RATE
            env = (1 - math.exp(-t / 0.004)) * math.exp(-t / 0.18) * fade(i, count, int(0.08 * RATE))
            out[i] += math.sin(step * i + 0.8 * math.exp(-t / 0.08) * math.sin(step * i)) * env / len(freqs)
    return out


def kick():
    out, phase = [], 0.0
    for i in range(int(0.25 * RATE)):
        t = i / RATE
        phase += 2 * math.pi * (48 + 80 * math.exp(-t / 0.025)) / RATE
        out.append(math.sin(phase) * math.exp(-t / 0.09) * fade(i, int(0.25 * RATE), 400))
    return out


def hat(noise, length_seconds=0.05):
    count = int(length_seconds * RATE)
    out, last = [], 0.0
    for i in range(count):
        sample = noise.next()
        out.append((sample - last) * math.exp(-i / RATE / 0.012) * fade(i, count, 200))
        last = sample
    return out


def snare(noise):
    count = int(0.2 * RATE)
    out, low = [], 0.0
    for i in range(count):
        t = i / RATE
        sample = noise.next()
        low += 0.35 * (sample - low)  # a one-pole low-pass takes the hiss off
        body = 0.5 * math.sin(2 * math.pi * 190 * t) * math.exp(-t / 0.04)
        out.append((low * math.exp(-t / 0.05) + body) * fade(i, count, 300))
    return out


class Loop:
    """A stereo circular buffer the length of the tune."""

    def __init__(self, length):
        self.length = length
        self.left = [0.0] * length
        self.right = [0.0] * length

    def add(self, start, samples, gain, pan=0.0):
        """Mixes mono samples in from `start`, wrapping past the end; pan -1
        is left, 1 right (constant power)."""
        angle = (pan + 1) * math.pi / 4
        gl, gr = gain * math.cos(angle), gain * math.sin(angle)
        for i, sample in enumerate(samples):
            n = (start + i) % self.length
            self.left[n] += sample * gl
            self.right[n] += sample * gr


def echo(dry, delay, feedback):
    """The repeats of a feedback echo over a looping signal, in their steady
    state: the delay line runs twice round the loop, so repeats of the end
    already sound at the start."""
    length = len(dry)
    line = [0.0] * length
    for n in range(2 * length):
        back = (n - delay) % length
        line[n % length] = dry[back] + feedback * line[back]
    return line


def melody_notes(text, first_bar):
    notes, position = [], first_bar * 8
    for token in text.split():
        name, eighths = token.split(':')
        if name != 'r':
            notes.append((position, int(eighths), note_number(name)))
        position += int(eighths)
    return notes


def compose():
    bars = [chord for chords, _ in SECTIONS for chord in chords.split()]
    loop = Loop(len(bars) * BAR)
    noise = Noise(2009)
    lead = [0.0] * loop.length
    for s, (_, text) in enumerate(SECTIONS):
        for start, eighths, number in melody_notes(text, 8 * s):
            samples = mallet(frequency(number), eighths * EIGHTH)
            for i, sample in enumerate(samples):
                lead[(start * EIGHTH + i) % loop.length] += sample
    loop.add(0, lead, 0.30, 0.15)
    # A dotted-eighth echo, its repeats spread to both sides.
    repeats = echo(lead, 3 * EIGHTH // 2, 0.35)
    loop.add(0, repeats, 0.10, -0.7)
    loop.add(EIGHTH // 2, repeats, 0.07, 0.7)

    for b, chord in enumerate(bars):
        root, tones = CHORDS[chord]
        bar_start = b * BAR
        for start, eighths, interval in BASS_PATTERN:
            loop.add(bar_start + int(start * EIGHTH), bass(frequency(root - 24 + interval), int(eighths * EIGHTH)),
                     0.28)
        middle_part = 8 <= b < 16
        if middle_part:
            # Sixteenth notes up and down the chord and its octave.
            notes = tones + (tones[0] + 12,)
            for k, index in enumerate([0, 1, 2, 3, 2, 1, 0, 1] * 2):
                loop.add(bar_start + k * EIGHTH // 2, electric_piano([frequency(notes[index])], EIGHTH // 2), 0.12,
                         -0.5 if k % 2 else -0.2)
        else:
            for beat in range(4):
                loop.add(bar_start + beat * BEAT + EIGHTH, electric_piano([frequency(t) for t in tones], EIGHTH // 2),
                         0.24, -0.4)
        for beat in range(4):
            if beat % 2 == 0 and not (middle_part and beat == 2):
                loop.add(bar_start + beat * BEAT, kick(), 0.45)
            if beat % 2 == 1:
                loop.add(bar_start + beat * BEAT, snare(noise), 0.2, 0.1)
        last_bar = b == len(bars) - 1
        for step in range(16 if last_bar else 8):
            accent = 1.0 if step % 2 == 0 else 0.6
            loop.add(bar_start + step * (EIGHTH // 2 if last_bar else EIGHTH), hat(noise), 0.07 * accent, 0.35)
    return loop


def biquad(samples, b, a):
    b0, b1, b2 = b
    _, a1, a2 = a
    x1 = x2 = y1 = y2 = 0.0
    out = []
    for x in samples:
        y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2
        x2, x1, y2, y1 = x1, x, y1, y
        out.append(y)
    return out


def k_weighting_filters(rate):
    """The two stages of ITU-R BS.1770's K-weighting (a high shelf and a
    high-pass), designed for any sample rate."""
    f0, gain_db, q = 1681.974450955533, 3.999843853973347, 0.7071752369554196
    k = math.tan(math.pi * f0 / rate)
    vh = 10 ** (gain_db / 20)
    vb = vh ** 0.4996667741545416
    a0 = 1 + k / q + k * k
    shelf = ((vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0), \
        (1.0, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0)
    f0, q = 38.13547087602444, 0.5003270373238773
    k = math.tan(math.pi * f0 / rate)
    a0 = 1 + k / q + k * k
    highpass = (1.0, -2.0, 1.0), (1.0, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0)
    return shelf, highpass


def integrated_loudness(left, right, rate=RATE):
    """Gated loudness in LUFS: 400 ms blocks stepped by 100 ms, an absolute
    gate at -70 LUFS and a relative one 10 LU below the ungated mean."""
    weighted = []
    for channel in (left, right):
        for b, a in k_weighting_filters(rate):
            channel = biquad(channel, b, a)
        weighted.append(channel)
    block, hop = int(0.4 * rate), int(0.1 * rate)
    energies = []
    for start in range(0, len(left) - block + 1, hop):
        energies.append(sum(sum(x * x for x in ch[start:start + block]) / block for ch in weighted))

    def loudness(power):
        return -0.691 + 10 * math.log10(power)

    gated = [e for e in energies if e > 0 and loudness(e) > -70]
    relative_gate = loudness(sum(gated) / len(gated)) - 10
    gated = [e for e in gated if loudness(e) > relative_gate]
    return loudness(sum(gated) / len(gated))


def write_wave(path, loop, gain):
    frames = bytearray()
    for l, r in zip(loop.left, loop.right):
        frames += struct.pack('<hh', round(l * gain * 32767), round(r * gain * 32767))
    with wave.open(path, 'wb') as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


def main(out_path):
    loop = compose()
    # The loudness of the loop as it plays on: measured over two rounds, so
    # the gating blocks also span the seam.
    lufs = integrated_loudness(loop.left * 2, loop.right * 2)
    gain = 10 ** ((TARGET_LUFS - lufs) / 20)
    peak = max(max(abs(x) for x in loop.left), max(abs(x) for x in loop.right))
    if peak * gain > PEAK_CEILING:
        sys.exit(f'make_music: peak {20 * math.log10(peak * gain):.1f} dBFS at {TARGET_LUFS} LUFS; lower the drums')
    write_wave(out_path, loop, gain)
    print(f'make_music: {loop.length / RATE:.1f} s, {lufs:.1f} LUFS raised by {20 * math.log10(gain):.1f} dB, '
          f'peak {20 * math.log10(peak * gain):.1f} dBFS')


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit('usage: make_music.py OUT_WAV')
    main(sys.argv[1])
