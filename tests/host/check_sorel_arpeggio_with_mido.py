#!/usr/bin/python3
"""Renders a held C major chord through Sorel with sorel-host and reads the
result with mido, an independent MIDI library.

usage: check_sorel_arpeggio_with_mido.py SOREL_HOST SOREL_SO

Four bars at 120 beats per minute, "Rate" 12 (a sixteenth): 64 notes, one
every 120 ticks at 480 ticks per quarter, C3 E3 G3 from low to high, each
ended at 90 % of its step by the default gate; block sizes 32 and 1024 must
give the same file contents.
"""
import os
import subprocess
import sys
import tempfile

import mido

PPQN = 480
SIXTEENTH = PPQN // 4
CHORD = (48, 52, 55)
FOUR_BARS = 16 * PPQN


def write_chord(path):
    song = mido.MidiFile(ticks_per_beat=PPQN)
    track = mido.MidiTrack()
    song.tracks.append(track)
    track.append(mido.MetaMessage("set_tempo", tempo=mido.bpm2tempo(120), time=0))
    for note in CHORD:
        track.append(mido.Message("note_on", note=note, velocity=100, time=0))
    for i, note in enumerate(CHORD):
        track.append(mido.Message("note_off", note=note, velocity=0, time=FOUR_BARS if i == 0 else 0))
    song.save(path)


def notes(path):
    tick = 0
    result = []
    for message in mido.merge_tracks(mido.MidiFile(path).tracks):
        tick += message.time
        if message.type == "note_on" and message.velocity > 0:
            result.append(("on", tick, message.note, message.channel))
        elif message.type == "note_off" or (message.type == "note_on" and message.velocity == 0):
            result.append(("off", tick, message.note, message.channel))
    return result


def main():
    host, plugin = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, XDG_DATA_HOME=folder)
        source = os.path.join(folder, "chord.mid")
        write_chord(source)
        rendered = {}
        for block in ("32", "1024"):
            target = os.path.join(folder, "out%s.mid" % block)
            run = subprocess.run([host, "render", plugin, source, target, "--set", "Rate T1 P1=12",
                                  "--block-size", block], capture_output=True, text=True, env=env)
            assert run.returncode == 0, run.stdout + run.stderr
            rendered[block] = notes(target)
        assert rendered["32"] == rendered["1024"], "block size changed the output"
        events = rendered["32"]
        ons = [e for e in events if e[0] == "on"]
        offs = [e for e in events if e[0] == "off"]
        assert len(ons) == 64, len(ons)
        assert len(offs) == 64, len(offs)
        for k, (_, tick, note, channel) in enumerate(ons):
            assert tick == k * SIXTEENTH, (k, tick)
            assert note == CHORD[k % 3], (k, note)
            assert channel == 0, channel
        for k, (_, tick, note, _) in enumerate(offs):
            assert tick == k * SIXTEENTH + SIXTEENTH * 9 // 10, (k, tick)
            assert note == CHORD[k % 3], (k, note)
    print("mido read Sorel's arpeggio: 64 sixteenths of C3 E3 G3, same for blocks of 32 and 1024")


if __name__ == "__main__":
    main()
