// Pattern preset files (".v2z"): a gzip stream holding a header with the
// preset's descriptive texts, then the state. Plain (uncompressed) files
// read the same.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/BoxInfo.h"
#include "persistence/PluginState.h"
#include "persistence/StateChunk.h"

namespace sorel {

inline constexpr std::string_view kPresetExtension = ".v2z";
inline constexpr std::string_view kPlainPresetExtension = ".v2";
// A preset holds about half a megabyte; more than this is not a preset.
inline constexpr size_t kMaxPresetBytes = 16u << 20;
inline constexpr int kPresetHeaderSize = 606;

// Appends the file's uncompressed content. False (chunk left empty) when the
// file cannot be opened, is damaged or too large.
bool ReadFileToChunk(const std::string& path, StateChunk& chunk);
// Gzip-compressed, written to a temporary file and renamed into place.
bool SaveChunkToFile(const std::string& path, const StateChunk& chunk);

// Gzip data of `bytes`, compressed fast: states are long runs of repeated
// values. Empty when zlib fails (out of memory).
std::vector<uint8_t> CompressToGzip(std::span<const uint8_t> bytes);
// What a gzip stream that ends before its end is worth: a preset file cut
// short keeps what came (missing fields keep their reset values); a host's
// chunk cut short is refused, since the host stored it whole.
enum class CutStream { kKeepWhatCame, kRefuse };
// Inflates gzip data; plain data comes back unchanged. Nothing when damaged or too large.
std::optional<StateChunk> DecompressPreset(std::span<const uint8_t> bytes,
                                           CutStream cut = CutStream::kKeepWhatCame);

// The header texts and the position of the state behind them (-1 when the
// data is too short for the header; the texts read so far stay).
struct PresetHeader {
    BoxInfo info;
    int statePos = -1;
};
PresetHeader ReadPresetHeader(const StateChunk& chunk);
void WritePresetHeader(StateChunk& chunk, const BoxInfo& info);

// Header + state, as a preset file holds it (before compression).
StateChunk ComposePreset(const PluginState& state);
bool WritePresetFile(const std::string& path, const PluginState& state);

}  // namespace sorel
