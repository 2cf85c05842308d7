#!/usr/bin/env python3
"""Writes the small WAV and list-file fixtures of the test suite into this folder.

Every file is built here byte by byte, so the suite never depends on files from elsewhere.
Run it again after changing it and commit the results.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
PCM_GUID_TAIL = bytes([0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                       0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71])


def chunk(tag, body):
    pad = b"\0" if len(body) % 2 else b""
    return tag + struct.pack("<I", len(body)) + body + pad


def fmt_pcm(channels, rate, bits, tag=1):
    align = channels * bits // 8
    return chunk(b"fmt ", struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits))


def fmt_extensible(channels, rate, bits, subformat):
    align = channels * bits // 8
    body = struct.pack("<HHIIHH", 0xFFFE, channels, rate, rate * align, align, bits)
    body += struct.pack("<HHI", 22, bits, 0x3 if channels == 2 else 0x4)
    body += struct.pack("<H", subformat) + PCM_GUID_TAIL
    return chunk(b"fmt ", body)


def riff(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def samples16(values):
    return struct.pack("<%dh" % len(values), *values)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# Stereo 16 bit, frames (L, R): (1, -1), (1000, -1000), (32767, -32768)
STEREO = samples16([1, -1, 1000, -1000, 32767, -32768])

write("list_chunk.wav", riff(fmt_pcm(2, 22050, 16),
                             chunk(b"LIST", b"INFOx"),  # odd size: followed by a pad byte
                             chunk(b"data", STEREO)))
write("data_before_fmt.wav", riff(chunk(b"fact", struct.pack("<I", 3)),
                                  chunk(b"data", STEREO), fmt_pcm(2, 22050, 16)))
write("extensible_pcm.wav", riff(fmt_extensible(2, 22050, 16, 1), chunk(b"data", STEREO)))
write("extensible_float.wav", riff(fmt_extensible(2, 22050, 32, 3),
                                   chunk(b"data", struct.pack("<2f", 0.5, -0.5))))
write("float32.wav", riff(fmt_pcm(1, 8000, 32, tag=3), chunk(b"data", struct.pack("<2f", 0.5, -0.5))))
write("pcm24.wav", riff(fmt_pcm(1, 8000, 24), chunk(b"data", b"\x01\x02\x03\x04\x05\x06")))
write("three_channels.wav", riff(fmt_pcm(3, 8000, 16), chunk(b"data", samples16([1, 2, 3]))))
write("rate_zero.wav", riff(fmt_pcm(1, 0, 16), chunk(b"data", samples16([1, 2]))))
write("no_data.wav", riff(fmt_pcm(1, 8000, 16)))
write("no_fmt.wav", riff(chunk(b"data", samples16([1, 2]))))
write("short_fmt.wav", riff(chunk(b"fmt ", struct.pack("<HHI", 1, 1, 8000)), chunk(b"data", b"\0\0")))
write("not_riff.wav", b"This is a text file, not a sound file.\n")
write("empty.wav", b"")
# The data chunk claims 100 frames of mono 16 bit but 10.5 frames follow.
truncated = riff(fmt_pcm(1, 8000, 16)) + b"data" + struct.pack("<I", 200) + samples16(range(10)) + b"\x7f"
write("truncated_data.wav", truncated)
# 8-bit mono with an odd data size and its pad byte, then a trailing chunk.
write("mono8_odd.wav", riff(fmt_pcm(1, 11025, 8), chunk(b"data", bytes([0, 128, 255])),
                            chunk(b"LIST", b"INFO")))

with open(os.path.join(HERE, "sine_list.txt"), "w") as f:
    f.write("Level -6 dB\n1;1000;1.0;0\n2;3000;0.333;90\n")
with open(os.path.join(HERE, "list_bad_token.txt"), "w") as f:
    f.write("Level -6 dB\n1;1000;1.0;0\n2;30x0;0.333;90\n")
with open(os.path.join(HERE, "list_no_level.txt"), "w") as f:
    f.write("Level dB\n1;1000;1.0;0\n")
with open(os.path.join(HERE, "list_not_finite.txt"), "w") as f:
    f.write("Level -6 dB\n1;1000;1.0;0\n2;1e999;0.333;90\n")
