#!/usr/bin/env python3
"""Writes the seed corpora of the persistence fuzz targets: small states of
every version, host chunks, preset files (plain and gzip), chord banks,
settings and control-zone files. Run from this folder."""
import gzip
import os
import struct


def text(value, width):
    raw = value.encode()[: width - 1]
    return raw + b"\0" * (width - len(raw))


def state(version=5, parameters=64, order=True, word=True, chords=((12, [0, 4, 7]), (24, [3, 10]))):
    out = b""
    if word:
        out += struct.pack("<i", version)
    out += b"\0"
    out += text("Seed", 33) + text("Fuzz", 51) + text("A description", 255) + text("Usage", 255)
    out += text("Bank", 32)
    out += struct.pack("<i", len(chords))
    for base, notes in chords:
        out += struct.pack("<ii", base, len(notes)) + b"".join(struct.pack("<i", n) for n in notes)
    out += b"".join(struct.pack("<i", -1 if i % 3 == 0 else 20 + i) for i in range(32))
    for i in range(4 * 12 * 17):
        start = i % 7
        out += struct.pack("<iiB", start, start + 1 + i % 20, i % 2)
    out += struct.pack("<dd", 1.0, 0.0)
    if order:
        out += struct.pack("<d", 1.0)
    out += b"".join(struct.pack("<d", float(i % 5) - 1.0) for i in range(parameters))
    return out


def host(body, bank=False, compressed=False):
    out = struct.pack("<ii", 0x70666674, 0x00010000)
    if bank:
        out += struct.pack("<iB", 4, 1)[:4] + b"Slot" + b"\x00"  # one named slot, not initialised
    return out + (gzip.compress(body, mtime=0) if compressed else body)


def preset(body):
    return struct.pack("<ii", 0, 0) + text("Seed preset", 33) + text("Fuzz", 51) + text("", 255) + text("", 255) \
        + struct.pack("<i", 0) + body


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


v5 = state()
write("state_chunk", "program_v5", host(v5))
write("state_chunk", "bank_v5", host(v5, bank=True))
write("state_chunk", "bare_v5", v5)
write("state_chunk", "compressed_v5", host(v5, compressed=True))
write("state_chunk", "compressed_short", host(v5, compressed=True)[:300])
write("state_chunk", "big_endian_v5", struct.pack(">i", 5) + v5[4:])
write("state_chunk", "v3_without_order", host(state(3, order=False)))
write("state_chunk", "v2", host(state(2, order=False)))
write("state_chunk", "no_word", host(state(1, word=False, order=False)))
write("state_chunk", "short", host(v5[:700]))
write("preset_file", "plain", preset(v5))
write("preset_file", "gzip", gzip.compress(preset(v5)))
write("preset_file", "gzip_v1", gzip.compress(preset(state(1, order=False))))
write("preset_file", "tiny", b"\x05\x00\x00")
write("chord_bank", "sixteen", struct.pack("<i", 16) + b"".join(struct.pack("<iii", 12 + i, 1, i) for i in range(16)))
write("chord_bank", "empty", struct.pack("<i", 0))
write("chord_bank", "surplus", struct.pack("<i", 18) + b"".join(struct.pack("<ii", 12, 0) for i in range(18)))
write("settings_file", "mixed", b"true\nfalse\r\nTRUE\n\ntrue\nfalse\ntrue\n")
write("settings_file", "short", b"true\ntrue")
write("control_zone_file", "keys", b"order\nchordmemory\nhold\r\npattern12\nnextpreset\npreviouspreset\nshift\nn/a\n")
write("control_zone_file", "patterns", b"".join(b"pattern%d\n" % i for i in range(0, 30)))
