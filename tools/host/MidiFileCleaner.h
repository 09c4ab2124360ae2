// Checks a Standard MIDI File and rewrites it in the plain form libsmf reads
// correctly. libsmf trusts the lengths it finds and takes a meta event's
// length as a single byte, so a truncated or hostile file could make it read
// past its buffer, and a long text event (a copyright line, lyrics) made it
// lose every note behind it. The rewritten file keeps what a render uses:
// channel messages, tempo, metre and each track's end, every event with its
// own status byte and every length in its shortest form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace sorel::host {

class MidiFileCleaner {
public:
    // libsmf keeps times in int; longer songs would overflow its sums.
    static constexpr int64_t kMaxTicks = std::numeric_limits<int32_t>::max() / 2;

    // False, with the reason in `error`, for a file that is not sound.
    static bool clean(const uint8_t* data, size_t size, std::vector<uint8_t>& out, std::string& error);
};

}  // namespace sorel::host
