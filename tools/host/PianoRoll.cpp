#include "PianoRoll.h"

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <sstream>
#include <vector>

namespace sorel::host {
namespace {

constexpr int kSixteenthsPerBar = 16;

struct PlayedNote {
    int pitch;
    int64_t on;
    int64_t off;
};

// Pairs every note-on with the next note-off of its channel and pitch; a note
// without one lasts to the end of the song.
std::vector<PlayedNote> pairNotes(const MidiSong& song) {
    std::map<int, std::deque<int64_t>> open;  // channel * 128 + pitch -> start ticks
    std::vector<PlayedNote> notes;
    for (const MidiEvent& event : song.events) {
        const int key = (event.channel() - 1) * 128 + event.bytes[1];
        if (event.isNoteOn()) {
            open[key].push_back(event.tick);
        } else if (event.isNoteOff() && !open[key].empty()) {
            notes.push_back({event.bytes[1], open[key].front(), event.tick});
            open[key].pop_front();
        }
    }
    for (auto& [key, starts] : open)
        for (int64_t start : starts) notes.push_back({key % 128, start, std::max(start + 1, song.lengthTicks)});
    return notes;
}

}  // namespace

std::string PianoRoll::noteName(int note) {
    static constexpr std::array<const char*, 12> kNames = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    note = std::clamp(note, 0, 127);
    return std::string(kNames[size_t(note % 12)]) + std::to_string(note / 12 - 1);
}

std::string PianoRoll::draw(const MidiSong& song, int maxBars) {
    const std::vector<PlayedNote> notes = pairNotes(song);
    if (notes.empty()) return "(no notes)\n";
    const double ticksPerColumn = song.ppqn / 4.0 / kColumnsPerSixteenth;
    const int64_t lastTick = std::max_element(notes.begin(), notes.end(), [](auto& a, auto& b) { return a.off < b.off; })->off;
    // A note that ends on a bar line does not reach into the next bar.
    const int barsInSong = int(double(lastTick - 1) / (song.ppqn * 4.0)) + 1;
    const int bars = std::clamp(barsInSong, 1, std::max(1, maxBars));
    const int columnsPerBar = kSixteenthsPerBar * kColumnsPerSixteenth;
    const int columns = bars * columnsPerBar;

    auto [lowest, highest] = std::minmax_element(notes.begin(), notes.end(), [](auto& a, auto& b) { return a.pitch < b.pitch; });
    const int top = highest->pitch;
    const int bottom = lowest->pitch;
    std::vector<std::string> grid(size_t(top - bottom + 1), std::string(size_t(columns), ' '));
    for (std::string& row : grid)
        for (int c = 0; c < columns; c += kColumnsPerSixteenth * 4) row[size_t(c)] = '.';
    for (const PlayedNote& note : notes) {
        const int first = int(double(note.on) / ticksPerColumn);
        if (first >= columns) continue;
        const int last = std::clamp(int((double(note.off) - 1) / ticksPerColumn), first, columns - 1);
        std::string& row = grid[size_t(top - note.pitch)];
        row[size_t(first)] = '#';
        for (int c = first + 1; c <= last; ++c) row[size_t(c)] = '=';
    }

    std::ostringstream out;
    const std::string margin(5, ' ');
    out << margin;
    for (int bar = 0; bar < bars; ++bar) {
        std::string label = "|bar " + std::to_string(bar + 1);
        label.resize(size_t(columnsPerBar), ' ');
        out << label;
    }
    out << "|\n";
    for (int pitch = top; pitch >= bottom; --pitch) {
        std::string name = noteName(pitch);
        name.resize(4, ' ');
        out << name << ' ';
        const std::string& row = grid[size_t(top - pitch)];
        for (int bar = 0; bar < bars; ++bar) out << '|' << row.substr(size_t(bar * columnsPerBar), size_t(columnsPerBar));
        out << "|\n";
    }
    if (barsInSong > bars) out << margin << "(first " << bars << " of " << barsInSong << " bars)\n";
    return out.str();
}

}  // namespace sorel::host
