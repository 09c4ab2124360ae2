// Standard MIDI Files read and written through libsmf. libsmf only ever sees
// a file that MidiFileCleaner has checked and rewritten, so that a truncated
// or hostile file is refused with a message instead of being parsed.
#pragma once

#include "MidiSong.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sorel::host {

class MidiFile {
public:
    // Files larger than this are refused unread.
    static constexpr size_t kMaxFileBytes = 64u * 1024u * 1024u;

    static bool read(const std::string& path, MidiSong& song, std::string& error);
    static bool readFromMemory(const uint8_t* data, size_t size, MidiSong& song, std::string& error);
    static bool write(const std::string& path, const MidiSong& song, std::string& error);
};

}  // namespace sorel::host
