#include "MidiFile.h"

#include "MidiFileCleaner.h"

#include <smf.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

namespace sorel::host {
namespace {

// libsmf reports its failures through GLib's log; collect them for the message.
class GlibMessageCapture {
public:
    GlibMessageCapture() { previous_ = g_log_set_default_handler(&GlibMessageCapture::collect, &text_); }
    ~GlibMessageCapture() { g_log_set_default_handler(previous_, nullptr); }
    const std::string& text() const { return text_; }

private:
    static void collect(const gchar*, GLogLevelFlags, const gchar* message, gpointer user) {
        auto* text = static_cast<std::string*>(user);
        if (!text->empty()) *text += "; ";
        *text += message ? message : "";
    }
    GLogFunc previous_ = nullptr;
    std::string text_;
};

struct SmfDeleter {
    void operator()(smf_t* smf) const { smf_delete(smf); }
};
using SmfPointer = std::unique_ptr<smf_t, SmfDeleter>;

void collectTempoMap(smf_t* smf, MidiSong& song) {
    for (int i = 0;; ++i) {
        const smf_tempo_t* tempo = smf_get_tempo_by_number(smf, i);
        if (!tempo) break;
        const bool newTempo = song.tempos.empty() || song.tempos.back().microsPerQuarter != tempo->microseconds_per_quarter_note;
        if (newTempo && tempo->microseconds_per_quarter_note > 0)
            song.tempos.push_back({tempo->time_pulses, tempo->microseconds_per_quarter_note});
        const bool validSignature = tempo->numerator > 0 && tempo->denominator > 0;
        const bool newSignature = song.signatures.empty() || song.signatures.back().numerator != tempo->numerator ||
                                  song.signatures.back().denominator != tempo->denominator;
        if (validSignature && newSignature)
            song.signatures.push_back({tempo->time_pulses, tempo->numerator, tempo->denominator});
    }
}

void collectChannelMessages(smf_t* smf, MidiSong& song) {
    smf_rewind(smf);
    while (smf_event_t* event = smf_get_next_event(smf)) {
        if (smf_event_is_metadata(event) || smf_event_is_sysex(event)) continue;
        const int length = event->midi_buffer_length;
        if (length < 1 || length > 3 || (event->midi_buffer[0] & 0xF0) == 0xF0 || (event->midi_buffer[0] & 0x80) == 0)
            continue;
        MidiEvent out;
        out.tick = event->time_pulses;
        out.size = uint8_t(length);
        std::copy_n(event->midi_buffer, length, out.bytes.begin());
        song.events.push_back(out);
    }
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
}

int log2Denominator(int denominator) {
    int power = 0;
    while ((1 << power) < denominator && power < 7) ++power;
    return power;
}

struct TimedBytes {
    int64_t tick;
    std::vector<uint8_t> bytes;
};

// Tempo and metre first, then the channel messages, each group in its own
// order, merged by tick.
std::vector<TimedBytes> fileOrder(const MidiSong& song) {
    std::vector<TimedBytes> entries;
    for (const TempoChange& tempo : song.tempos) {
        const int us = tempo.microsPerQuarter;
        entries.push_back({tempo.tick, {0xFF, 0x51, 0x03, uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)}});
    }
    for (const TimeSignatureChange& signature : song.signatures) {
        entries.push_back({signature.tick, {0xFF, 0x58, 0x04, uint8_t(signature.numerator),
                                            uint8_t(log2Denominator(signature.denominator)), 24, 8}});
    }
    for (const MidiEvent& event : song.events)
        entries.push_back({event.tick, std::vector<uint8_t>(event.bytes.begin(), event.bytes.begin() + event.size)});
    std::stable_sort(entries.begin(), entries.end(), [](const TimedBytes& a, const TimedBytes& b) { return a.tick < b.tick; });
    for (TimedBytes& entry : entries) entry.tick = std::clamp<int64_t>(entry.tick, 0, MidiFileCleaner::kMaxTicks);
    return entries;
}

}  // namespace

bool MidiFile::readFromMemory(const uint8_t* data, size_t size, MidiSong& song, std::string& error) {
    song = MidiSong{};
    std::vector<uint8_t> clean;
    if (!MidiFileCleaner::clean(data, size, clean, error)) return false;
    GlibMessageCapture messages;
    SmfPointer smf(smf_load_from_memory(clean.data(), int(clean.size())));
    if (!smf) {
        error = messages.text().empty() ? "libsmf could not parse the file" : messages.text();
        return false;
    }
    song.ppqn = smf->ppqn;
    collectTempoMap(smf.get(), song);
    collectChannelMessages(smf.get(), song);
    song.lengthTicks = smf_get_length_pulses(smf.get());
    if (!song.events.empty()) song.lengthTicks = std::max(song.lengthTicks, song.events.back().tick);
    return true;
}

bool MidiFile::read(const std::string& path, MidiSong& song, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open MIDI file " + path;
        return false;
    }
    in.seekg(0, std::ios::end);
    const auto size = static_cast<long long>(in.tellg());
    if (size < 0 || size_t(size) > kMaxFileBytes) {
        error = "MIDI file " + path + " is unreadable or too large";
        return false;
    }
    in.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        error = "cannot read MIDI file " + path;
        return false;
    }
    if (!readFromMemory(bytes.data(), bytes.size(), song, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool MidiFile::write(const std::string& path, const MidiSong& song, std::string& error) {
    // libsmf may reorder events of one tick when it inserts them; appending
    // with our own deltas keeps the order (a note's end before a new start).
    std::vector<TimedBytes> track = fileOrder(song);
    GlibMessageCapture messages;
    SmfPointer smf(smf_new());
    if (!smf || smf_set_ppqn(smf.get(), song.ppqn) != 0) {
        error = "cannot create the MIDI file in memory";
        return false;
    }
    smf_track_t* smfTrack = smf_track_new();
    smf_add_track(smf.get(), smfTrack);
    int64_t previous = 0;
    for (TimedBytes& entry : track) {
        smf_event_t* event = smf_event_new_from_pointer(entry.bytes.data(), int(entry.bytes.size()));
        if (!event) {
            error = "cannot store a MIDI event";
            return false;
        }
        smf_track_add_event_delta_pulses(smfTrack, event, int(entry.tick - previous));
        previous = entry.tick;
    }
    const int64_t end = std::max(song.lengthTicks, previous);
    if (smf_track_add_eot_pulses(smfTrack, int(end)) != 0 || smf_save(smf.get(), path.c_str()) != 0) {
        error = "cannot write MIDI file " + path + (messages.text().empty() ? "" : ": " + messages.text());
        return false;
    }
    return true;
}

}  // namespace sorel::host
