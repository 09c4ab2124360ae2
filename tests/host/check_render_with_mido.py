#!/usr/bin/python3
"""Reads what sorel-host writes with an independent MIDI library (mido).

usage: check_render_with_mido.py SOREL_HOST ECHO_PLUGIN

The input is written by mido too, so neither side of the file handling is
checked only against itself. The echo plug-in sends back every event with
notes an octave up, at the sample it received it.
"""
import os
import subprocess
import sys
import tempfile

import mido


def write_input(path):
    song = mido.MidiFile(ticks_per_beat=240)
    track = mido.MidiTrack()
    song.tracks.append(track)
    track.append(mido.MetaMessage("set_tempo", tempo=mido.bpm2tempo(100), time=0))
    # (absolute tick, message); notes on two channels and a controller
    events = [(0, mido.Message("note_on", note=50, velocity=99, channel=0)),
              (60, mido.Message("note_off", note=50, velocity=0, channel=0)),
              (250, mido.Message("control_change", control=1, value=77, channel=3)),
              (480, mido.Message("note_on", note=57, velocity=64, channel=3)),
              (950, mido.Message("note_off", note=57, velocity=0, channel=3))]
    last = 0
    for tick, message in events:
        track.append(message.copy(time=tick - last))
        last = tick
    song.save(path)
    return events


def absolute(song):
    tick = 0
    for message in mido.merge_tracks(song.tracks):
        tick += message.time
        if not message.is_meta:
            yield tick, message


def main():
    host, plugin = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, XDG_DATA_HOME=folder)
        source = os.path.join(folder, "in.mid")
        target = os.path.join(folder, "out.mid")
        events = write_input(source)
        for block in ("32", "1024"):
            run = subprocess.run([host, "render", plugin, source, target, "--block-size", block],
                                 capture_output=True, text=True, env=env)
            assert run.returncode == 0, run.stdout + run.stderr
            song = mido.MidiFile(target)
            assert song.ticks_per_beat == 240, song.ticks_per_beat
            tempos = [m.tempo for m in mido.merge_tracks(song.tracks) if m.type == "set_tempo"]
            assert tempos == [mido.bpm2tempo(100)], tempos
            got = list(absolute(song))
            assert len(got) == len(events), (block, got)
            for (tick_in, sent), (tick_out, back) in zip(events, got):
                assert tick_out == tick_in, (block, tick_in, tick_out)
                assert back.type == sent.type and back.channel == sent.channel, (sent, back)
                if sent.type.startswith("note"):
                    assert back.note == sent.note + 12, (sent, back)
                else:
                    assert (back.control, back.value) == (sent.control, sent.value), (sent, back)
    print("mido read sorel-host's output: events, ticks and tempo as sent")


if __name__ == "__main__":
    main()
