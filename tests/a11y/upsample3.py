"""Writes a 16 kHz mono 16-bit WAV as raw 48 kHz samples (linear interpolation), with a second
of silence before and after: the input of a capture device opened at 48 kHz.

    upsample3.py IN.wav OUT.raw
"""
import array
import sys
import wave

with wave.open(sys.argv[1]) as w:
    if w.getframerate() != 16000 or w.getnchannels() != 1 or w.getsampwidth() != 2:
        sys.exit("%s is not 16 kHz mono 16-bit" % sys.argv[1])
    s = array.array("h", w.readframes(w.getnframes()))
out = array.array("h")
for i, a in enumerate(s):
    b = s[i + 1] if i + 1 < len(s) else 0
    out.extend((a, round(a + (b - a) / 3), round(a + 2 * (b - a) / 3)))
silence = bytes(2 * 48000)
with open(sys.argv[2], "wb") as f:
    f.write(silence + out.tobytes() + silence)
