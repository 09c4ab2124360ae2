// Reads a state chunk for a plug-in from a file: a gzip-compressed preset
// (".v2z") or a plain chunk file, told apart by the gzip magic bytes; writes
// a plain chunk file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sorel::host {

class StateFile {
public:
    // Larger (decompressed) states are refused: no plug-in state is this big.
    static constexpr size_t kMaxStateBytes = 64u * 1024u * 1024u;

    static bool read(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
    static bool write(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
};

}  // namespace sorel::host
