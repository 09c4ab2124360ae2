#include "MidiFileCleaner.h"

#include <string_view>

namespace sorel::host {
namespace {

constexpr uint8_t kMetaEvent = 0xFF;
constexpr uint8_t kSysex = 0xF0;
constexpr uint8_t kEscapedSysex = 0xF7;
constexpr uint8_t kEndOfTrack = 0x2F;
constexpr uint8_t kTempo = 0x51;
constexpr uint8_t kTimeSignature = 0x58;
constexpr size_t kChunkHeaderBytes = 8;
constexpr uint32_t kHeaderLength = 6;

uint32_t bigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

uint16_t bigEndian16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

void appendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = uint8_t(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) out.push_back(groups[--count] | 0x80);
    out.push_back(groups[0]);
}

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

// The length the format fixes for a meta event that is kept; -1 for the
// meta events a render has no use for, which are skipped whatever their length.
int keptMetaLength(uint8_t type) {
    switch (type) {
    case kEndOfTrack: return 0;
    case kTempo: return 3;
    case kTimeSignature: return 4;
    default: return -1;
    }
}

int channelMessageDataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Reads one track chunk's events and appends the track in its plain form.
class TrackCleaner {
public:
    TrackCleaner(const uint8_t* data, size_t begin, size_t end, int track, std::vector<uint8_t>& out)
        : data_(data), pos_(begin), end_(end), track_(track), out_(out) {}

    bool run(std::string& error) {
        while (pos_ < end_) {
            // The end-of-track event closes the chunk.
            if (endOfTrack_) return fail("data behind the end-of-track event", error);
            if (!readEvent(error)) return false;
        }
        // libsmf reads a track until its end-of-track event and cannot do without one.
        if (!endOfTrack_) return fail("track without end-of-track event", error);
        return true;
    }

private:
    bool fail(const std::string& what, std::string& error) const {
        error = "track " + std::to_string(track_) + ": " + what + " at byte " + std::to_string(pos_);
        return false;
    }

    bool readEvent(std::string& error) {
        uint32_t delta = 0;
        if (!readVariableLength(data_, end_, pos_, delta)) return fail("bad delta time", error);
        ticks_ += delta;
        pendingDelta_ += delta;
        if (ticks_ > MidiFileCleaner::kMaxTicks) return fail("song too long", error);
        if (pos_ >= end_) return fail("event missing after delta time", error);
        uint8_t status = data_[pos_];
        if (status & 0x80) {
            ++pos_;
        } else {
            if (runningStatus_ == 0) return fail("data byte without status", error);
            status = runningStatus_;
        }
        if (status == kMetaEvent) return readMeta(error);
        if (status == kSysex || status == kEscapedSysex) return skipSysex(error);
        if (status > kSysex) return fail("unexpected system message", error);
        return readChannelMessage(status, error);
    }

    bool readMeta(std::string& error) {
        if (pos_ >= end_) return fail("truncated meta event", error);
        const uint8_t type = data_[pos_++];
        uint32_t length = 0;
        if (!readVariableLength(data_, end_, pos_, length) || length > end_ - pos_)
            return fail("truncated meta event", error);
        const int kept = keptMetaLength(type);
        if (kept >= 0 && length != uint32_t(kept)) return fail("meta event of a wrong length", error);
        if (kept >= 0) {
            emitDelta();
            out_.insert(out_.end(), {kMetaEvent, type, uint8_t(length)});
            out_.insert(out_.end(), data_ + pos_, data_ + pos_ + length);
        }
        endOfTrack_ = type == kEndOfTrack;
        pos_ += length;
        // Meta and system exclusive events end running status.
        runningStatus_ = 0;
        return true;
    }

    // System exclusive data means nothing to a render; its time carries over
    // to the next event kept.
    bool skipSysex(std::string& error) {
        uint32_t length = 0;
        if (!readVariableLength(data_, end_, pos_, length) || length > end_ - pos_)
            return fail("truncated system exclusive event", error);
        pos_ += length;
        runningStatus_ = 0;
        return true;
    }

    bool readChannelMessage(uint8_t status, std::string& error) {
        runningStatus_ = status;
        const int dataBytes = channelMessageDataBytes(status);
        for (int i = 0; i < dataBytes; ++i) {
            if (pos_ + i >= end_) return fail("truncated channel message", error);
            if (data_[pos_ + i] & 0x80) return fail("status byte inside a channel message", error);
        }
        emitDelta();
        out_.push_back(status);
        out_.insert(out_.end(), data_ + pos_, data_ + pos_ + dataBytes);
        pos_ += dataBytes;
        return true;
    }

    void emitDelta() {
        appendVariableLength(out_, pendingDelta_);
        pendingDelta_ = 0;
    }

    const uint8_t* data_;
    size_t pos_;
    const size_t end_;
    const int track_;
    std::vector<uint8_t>& out_;
    uint8_t runningStatus_ = 0;
    int64_t ticks_ = 0;
    uint32_t pendingDelta_ = 0;
    bool endOfTrack_ = false;
};

bool checkHeader(const uint8_t* data, size_t size, std::string& error) {
    if (size < kChunkHeaderBytes + kHeaderLength || std::string_view(reinterpret_cast<const char*>(data), 4) != "MThd") {
        error = "not a Standard MIDI File (no MThd header)";
        return false;
    }
    if (bigEndian32(data + 4) != kHeaderLength) {  // the only length libsmf reads
        error = "bad MThd header length";
        return false;
    }
    const int format = bigEndian16(data + 8);
    const uint16_t division = bigEndian16(data + 12);
    if (format == 2) {
        error = "format 2 files (independent sequences) are not supported";
    } else if (format > 2) {
        error = "unknown file format " + std::to_string(format);
    } else if (division & 0x8000) {
        error = "SMPTE time division is not supported (the file needs ticks per quarter note)";
    } else if (division == 0) {
        error = "zero ticks per quarter note";
    } else if (bigEndian16(data + 10) == 0) {
        error = "the file has no tracks";
    } else {
        return true;
    }
    return false;
}

}  // namespace

bool MidiFileCleaner::clean(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    if (!checkHeader(data, size, error)) return false;
    const int declaredTracks = bigEndian16(data + 10);
    out.assign(data, data + kChunkHeaderBytes + kHeaderLength);
    size_t pos = kChunkHeaderBytes + kHeaderLength;
    int tracks = 0;
    while (tracks < declaredTracks) {
        if (size - pos < kChunkHeaderBytes) {
            error = "the header declares " + std::to_string(declaredTracks) + " tracks but the file holds " +
                    std::to_string(tracks);
            return false;
        }
        const uint32_t length = bigEndian32(data + pos + 4);
        if (length > size - pos - kChunkHeaderBytes) {
            error = "chunk at byte " + std::to_string(pos) + " runs past the end of the file";
            return false;
        }
        // Chunks of other kinds are skipped, as the format asks.
        if (std::string_view(reinterpret_cast<const char*>(data + pos), 4) == "MTrk") {
            ++tracks;
            const size_t trackStart = out.size();
            out.insert(out.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
            const size_t begin = pos + kChunkHeaderBytes;
            if (!TrackCleaner(data, begin, begin + length, tracks, out).run(error)) return false;
            const size_t written = out.size() - trackStart - kChunkHeaderBytes;
            for (int i = 0; i < 4; ++i) out[trackStart + 4 + i] = uint8_t(written >> (24 - 8 * i));
        }
        pos += kChunkHeaderBytes + length;
    }
    return true;
}

}  // namespace sorel::host
