#include "MidiFile.h"

#include <smf.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string_view>

namespace sorel::host {
namespace {

// libsmf keeps times in int; longer songs would overflow its sums.
constexpr int64_t kMaxTicks = std::numeric_limits<int32_t>::max() / 2;
constexpr uint8_t kEndOfTrack = 0x2F;

uint32_t bigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

uint16_t bigEndian16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

// Reads a variable-length quantity of at most four bytes; false when it runs
// past the end or is longer than the format allows.
bool readVariableLength(const uint8_t* data, size_t end, size_t& pos, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= end) return false;
        const uint8_t byte = data[pos++];
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

// The meta events whose length the format fixes; libsmf reads them by that
// length, whatever the event says.
bool metaLengthFits(uint8_t type, uint32_t length) {
    switch (type) {
    case 0x00: return length == 0 || length == 2;  // sequence number
    case 0x20:                                     // channel prefix
    case 0x21: return length == 1;                 // port
    case kEndOfTrack: return length == 0;
    case 0x51: return length == 3;  // tempo
    case 0x54: return length == 5;  // SMPTE offset
    case 0x58: return length == 4;  // time signature
    case 0x59: return length == 2;  // key signature
    default: return true;
    }
}

int channelMessageDataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

bool checkTrackEvents(const uint8_t* data, size_t begin, size_t end, int track, std::string& error) {
    size_t pos = begin;
    uint8_t runningStatus = 0;
    int64_t ticks = 0;
    auto fail = [&](const std::string& what) {
        error = "track " + std::to_string(track) + ": " + what + " at byte " + std::to_string(pos);
        return false;
    };
    bool endOfTrack = false;
    while (pos < end) {
        // The end-of-track event closes the chunk; libsmf misreads anything behind it.
        if (endOfTrack) return fail("data behind the end-of-track event");
        uint32_t delta = 0;
        if (!readVariableLength(data, end, pos, delta)) return fail("bad delta time");
        ticks += delta;
        if (ticks > kMaxTicks) return fail("song too long");
        if (pos >= end) return fail("event missing after delta time");
        uint8_t status = data[pos];
        if (status & 0x80) {
            ++pos;
        } else {
            if (runningStatus == 0) return fail("data byte without status");
            status = runningStatus;
        }
        if (status == 0xFF) {
            if (pos >= end) return fail("truncated meta event");
            const uint8_t type = data[pos++];
            endOfTrack = type == kEndOfTrack;
            uint32_t length = 0;
            if (!readVariableLength(data, end, pos, length) || length > end - pos)
                return fail("truncated meta event");
            if (!metaLengthFits(type, length)) return fail("meta event of a wrong length");
            pos += length;
            // Meta and system exclusive events end running status (libsmf
            // would misread the data bytes that follow as another meta event).
            runningStatus = 0;
        } else if (status == 0xF7) {
            return fail("escaped system exclusive event (0xF7), which libsmf cannot read");
        } else if (status == 0xF0) {
            uint32_t length = 0;
            if (!readVariableLength(data, end, pos, length) || length > end - pos)
                return fail("truncated system exclusive event");
            pos += length;
            runningStatus = 0;
        } else if (status >= 0xF0) {
            return fail("unexpected system message");
        } else {
            runningStatus = status;
            for (int i = 0; i < channelMessageDataBytes(status); ++i, ++pos) {
                if (pos >= end) return fail("truncated channel message");
                if (data[pos] & 0x80) return fail("status byte inside a channel message");
            }
        }
    }
    // libsmf reads a track until its end-of-track event and cannot do without one.
    if (!endOfTrack) return fail("track without end-of-track event");
    return true;
}

// Walks the header and every chunk so that libsmf only ever sees a file whose
// lengths all stay inside the buffer.
bool checkStructure(const uint8_t* data, size_t size, std::string& error) {
    if (size < 14 || std::string_view(reinterpret_cast<const char*>(data), 4) != "MThd") {
        error = "not a Standard MIDI File (no MThd header)";
        return false;
    }
    const uint32_t headerLength = bigEndian32(data + 4);
    if (headerLength != 6) {  // the only length libsmf reads
        error = "bad MThd header length";
        return false;
    }
    const int format = bigEndian16(data + 8);
    const int declaredTracks = bigEndian16(data + 10);
    const uint16_t division = bigEndian16(data + 12);
    if (format == 2) {
        error = "format 2 files (independent sequences) are not supported";
        return false;
    }
    if (format > 2) {
        error = "unknown file format " + std::to_string(format);
        return false;
    }
    if (division & 0x8000) {
        error = "SMPTE time division is not supported (the file needs ticks per quarter note)";
        return false;
    }
    if (division == 0) {
        error = "zero ticks per quarter note";
        return false;
    }
    if (declaredTracks == 0) {
        error = "the file has no tracks";
        return false;
    }
    size_t pos = 8 + headerLength;
    int tracks = 0;
    while (tracks < declaredTracks) {
        if (size - pos < 8) {
            error = "the header declares " + std::to_string(declaredTracks) + " tracks but the file holds " +
                    std::to_string(tracks);
            return false;
        }
        const uint32_t length = bigEndian32(data + pos + 4);
        if (length > size - pos - 8) {
            error = "chunk at byte " + std::to_string(pos) + " runs past the end of the file";
            return false;
        }
        const bool isTrack = std::string_view(reinterpret_cast<const char*>(data + pos), 4) == "MTrk";
        if (isTrack && !checkTrackEvents(data, pos + 8, pos + 8 + length, tracks + 1, error)) return false;
        if (isTrack) ++tracks;
        pos += 8 + length;
    }
    return true;
}

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
    for (TimedBytes& entry : entries) entry.tick = std::clamp<int64_t>(entry.tick, 0, kMaxTicks);
    return entries;
}

}  // namespace

bool MidiFile::readFromMemory(const uint8_t* data, size_t size, MidiSong& song, std::string& error) {
    song = MidiSong{};
    if (!checkStructure(data, size, error)) return false;
    GlibMessageCapture messages;
    SmfPointer smf(smf_load_from_memory(data, int(size)));
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
