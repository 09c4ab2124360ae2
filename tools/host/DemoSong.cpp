#include "DemoSong.h"

#include "engine/ParameterIndex.h"

#include <array>
#include <cmath>
#include <string>

namespace sorel::host {
namespace {

constexpr uint8_t kVelocity = 100;
constexpr int kQuartersPerBar = 4;

void addChord(MidiSong& song, const std::array<int, 3>& notes, int bar) {
    const int64_t start = int64_t(bar) * kQuartersPerBar * DemoSong::kPpqn;
    const int64_t end = start + kQuartersPerBar * DemoSong::kPpqn;
    for (int note : notes) song.events.push_back({start, {0x90, uint8_t(note), kVelocity}, 3});
    for (int note : notes) song.events.push_back({end, {0x80, uint8_t(note), 0}, 3});
}

std::string stepName(const char* family, int step) {
    return std::string(family) + " 1/1/" + std::to_string(step + 1);
}

}  // namespace

MidiSong DemoSong::chordProgression() {
    MidiSong song;
    song.ppqn = kPpqn;
    song.tempos.push_back({0, int(std::lround(60'000'000.0 / kBeatsPerMinute))});
    song.signatures.push_back({0, 4, 4});
    addChord(song, {48, 52, 55}, 0);  // C major
    addChord(song, {45, 48, 52}, 1);  // A minor
    addChord(song, {41, 45, 48}, 2);  // F major
    addChord(song, {43, 47, 50}, 3);  // G major
    song.lengthTicks = 4 * kQuartersPerBar * kPpqn;
    return song;
}

std::vector<DemoSetting> DemoSong::builtInPreset() {
    using namespace sorel::param;
    std::vector<DemoSetting> settings = {
        {{"Rate T1 P1", "12", false}, kRate},  // 1/16
        {{"Sort order T1 P1", "Lo-Hi alt", false}, kSortOrder},
        {{"Octaves T1 P1", "2", false}, kOctaves},
        {{"Gate T1 P1", "-30", false}, kGate},
    };
    // An accent on every beat and a rest closing every second beat.
    for (int step = 0; step < kSteps; step += 4) settings.push_back({{stepName("Step accent", step), "40", false}, kStepAccent + step});
    for (int step = 7; step < kSteps; step += 8) settings.push_back({{stepName("Step note list", step), "Off", false}, kStepNoteList + step});
    return settings;
}

}  // namespace sorel::host
