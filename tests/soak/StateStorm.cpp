#include "soak/StateStorm.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/ParameterIndex.h"
#include "persistence/HostChunk.h"
#include "persistence/PresetFile.h"

namespace sorel::soak {
namespace {

constexpr bool kProgramChunk = false;
constexpr int kFiles = 8;
constexpr const char* kStyles[] = {"1 bass", "2 lead", "3 rhythm", "4 misc"};
constexpr uint32_t kOddWords[] = {0, 1, 5, 6, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x05000000u, 17, 0x10000u};
constexpr uint8_t kGzipHeader[] = {0x1F, 0x8B, 0x08, 0x00, 0, 0, 0, 0, 0, 0x03};
constexpr uint8_t kFrameworkHeader[] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
constexpr int kLongestPresetHeader = 610;
// Words that matter most sit near the start: versions, counts.
constexpr int kHeadBytes = 2048;

std::string PresetPath(const std::string& dataRoot, int file) {
    return dataRoot + "presets/User/" + kStyles[file % std::size(kStyles)] + "/Soak " + std::to_string(file + 1) + ".v2z";
}

// The uncompressed file content for a program chunk's state: the preset
// header, then the state without the chunk's framework header.
std::vector<uint8_t> PresetBytes(const std::vector<uint8_t>& programChunk) {
    StateChunk preset;
    BoxInfo info;
    info.Set("Soak", "Soak", "Written by the soak", "Load me while playing");
    WritePresetHeader(preset, info);
    if (const auto state = HostChunkState(programChunk, kProgramChunk, param::kCount)) preset.PutBytes(state->Data(), state->Size());
    return preset.Bytes();
}

void WritePlain(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> RandomBytes(Dice& dice, std::vector<uint8_t> bytes, int count) {
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(dice.Uniform(0, 255)));
    return bytes;
}

// Flipped bits and odd words, mostly near the start.
void Mutate(Dice& dice, std::vector<uint8_t>& bytes) {
    if (bytes.size() < 16) return;
    const int last = static_cast<int>(bytes.size()) - 4;
    for (int i = static_cast<int>(dice.Uniform(1, 16)); i > 0; --i) {
        if (dice.Chance(0.5)) {
            bytes[dice.Uniform(0, last + 3)] ^= static_cast<uint8_t>(1 << dice.Uniform(0, 7));
        } else {
            const uint32_t word = dice.Pick(kOddWords);
            std::memcpy(bytes.data() + (dice.Uniform(0, dice.Chance(0.7) ? std::min(kHeadBytes, last) : last) & ~3), &word, 4);
        }
    }
}

}  // namespace

void StateStorm::FillShelf(const std::string& dataRoot, const std::vector<uint8_t>& chunk) {
    for (int f = 0; f < kFiles; ++f) {
        std::filesystem::create_directories(std::filesystem::path(PresetPath(dataRoot, f)).parent_path());
        SaveChunkToFile(PresetPath(dataRoot, f), StateChunk(PresetBytes(chunk)));
    }
}

void StateStorm::DamagePresetFile() {
    const std::string path = PresetPath(dataRoot_, static_cast<int>(dice_.Uniform(0, kFiles - 1)));
    std::vector<uint8_t> bytes = PresetBytes(own_);
    const auto size = static_cast<int64_t>(bytes.size());
    bool gzip = true;
    switch (dice_.Uniform(0, 8)) {
        case 0: break;                               // intact
        case 1: gzip = false; break;                 // uncompressed
        case 2: bytes.resize(dice_.Uniform(0, size)); break;  // content cut short
        case 3:                                      // compressed stream cut short
            SaveChunkToFile(path, StateChunk(bytes));
            std::filesystem::resize_file(path, dice_.Uniform(0, static_cast<int64_t>(std::filesystem::file_size(path))));
            return;
        case 4: Mutate(dice_, bytes); break;
        case 5:  // header only, or less
            bytes.resize(dice_.Uniform(0, std::min<int64_t>(size, kLongestPresetHeader)));
            gzip = false;
            break;
        case 6: bytes = RandomBytes(dice_, {}, static_cast<int>(dice_.Uniform(0, 100000))), gzip = false; break;
        case 7:  // a gzip header with nothing sane behind it
            bytes = RandomBytes(dice_, {std::begin(kGzipHeader), std::end(kGzipHeader)}, static_cast<int>(dice_.Uniform(0, 5000)));
            gzip = false;
            break;
        default: {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
            return;
        }
    }
    if (gzip) SaveChunkToFile(path, StateChunk(bytes));
    else WritePlain(path, bytes);
}

void StateStorm::Step(test::TestHost& plugin) {
    // Bank chunks are asked for too; the program chunk is the one kept.
    if (own_.empty() || dice_.Chance(0.05)) {
        if (dice_.Chance(0.5)) plugin.GetChunk(0);
        if (auto chunk = plugin.GetChunk(1); !chunk.empty()) own_ = std::move(chunk);
    }
    const int pick = static_cast<int>(dice_.Uniform(0, 99));
    if (pick < 35) return lastCall_ = "preset file rewritten", DamagePresetFile();
    std::vector<uint8_t> chunk = own_;  // the plug-in's own, as it is
    lastCall_ = pick >= 90 ? "random chunk" : pick >= 65 ? "mutated chunk" : pick >= 50 ? "truncated chunk" : "own chunk";
    if (pick >= 90) {
        // Random bytes, half of them behind a proper framework header.
        chunk = RandomBytes(dice_, {}, static_cast<int>(dice_.Uniform(0, 70000)));
        if (chunk.size() >= sizeof kFrameworkHeader && dice_.Chance(0.5))
            std::memcpy(chunk.data(), kFrameworkHeader, sizeof kFrameworkHeader);
    } else if (pick >= 65) {
        Mutate(dice_, chunk);
    } else if (pick >= 50) {
        chunk.resize(dice_.Uniform(0, static_cast<int64_t>(own_.size())));
    }
    plugin.Dispatch(effSetChunk, dice_.Chance(0.5) ? 0 : 1, static_cast<intptr_t>(chunk.size()), chunk.empty() ? nullptr : chunk.data());
}

}  // namespace sorel::soak
