"""The slime's squelch: a seamless mono loop synthesised from a fixed seed and written as 16-bit PCM."""

import math
import os
import struct
import wave

import pixels

RATE = 22050
SECONDS = 1.6


def lowpass(samples, amount):
    """One-pole low-pass filter over the loop, run twice so that its end flows into its start."""
    y = 0.0
    out = [0.0] * len(samples)
    for _ in range(2):
        for i, x in enumerate(samples):
            y += amount * (x - y)
            out[i] = y
    return out


def synthesise():
    n = int(RATE * SECONDS)
    rng = pixels.Rng(23)
    noise = lowpass([rng.uniform() * 2 - 1 for _ in range(n)], 0.08)
    out = [0.0] * n
    # Squelches: bursts of wet noise with a falling tone underneath, at fixed places in the loop.
    events = [(0.00, 1.0, 210), (0.31, 0.6, 260), (0.52, 0.85, 180), (0.93, 0.55, 300), (1.18, 0.9, 200),
              (1.42, 0.45, 240)]
    for start, gain, pitch in events:
        length = int(RATE * (0.16 + 0.05 * gain))
        phase = 0.0
        for k in range(length):
            t = k / length
            envelope = math.sin(math.pi * min(1.0, t * 4)) if t < 0.25 else (1 - t) ** 2
            freq = pitch * (1.0 - 0.55 * t) + 25 * math.sin(t * 40)
            phase += 2 * math.pi * freq / RATE
            i = (int(start * RATE) + k) % n
            out[i] += gain * envelope * (0.45 * math.sin(phase) + 0.9 * noise[i] * (0.6 + 0.4 * math.sin(phase * 0.5)))
    # Small bubbles between the squelches.
    for b in range(9):
        start = int(rng.uniform() * n)
        freq = 500 + rng.below(500)
        length = int(RATE * 0.04)
        for k in range(length):
            t = k / length
            i = (start + k) % n
            out[i] += 0.18 * math.sin(2 * math.pi * freq * (1 + t) * k / RATE) * (1 - t) * math.sin(math.pi * t)
    peak = max(abs(v) for v in out) or 1.0
    return [v / peak * 0.8 for v in out]


def build(out_dir):
    samples = synthesise()
    path = os.path.join(out_dir, "slime_01.wav")
    os.makedirs(out_dir, exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(round(v * 32767))) for v in samples))
