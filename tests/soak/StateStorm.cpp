#include "soak/StateStorm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/ParameterIndex.h"
#include "persistence/HostChunk.h"
#include "persistence/PresetFile.h"

namespace sorel::soak {
namespace {

constexpr bool kProgramChunk = false;
constexpr const char* kStyles[] = {"1 bass", "2 lead", "3 rhythm", "4 misc"};
constexpr uint32_t kOddWords[] = {0, 1, 5, 6, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x05000000u, 17, 0x10000u};

// The uncompressed file content for a program chunk's state: the preset
// header, then the state without the chunk's framework header.
std::vector<uint8_t> PresetBytes(const std::vector<uint8_t>& programChunk, const std::string& name) {
    StateChunk preset;
    BoxInfo info;
    info.Set(name, "Soak", "Written by the soak", "Load me while playing");
    WritePresetHeader(preset, info);
    if (const auto state = HostChunkState(programChunk, kProgramChunk, param::kCount)) preset.PutBytes(state->Data(), state->Size());
    return preset.Bytes();
}

bool WriteGzip(const std::string& path, const std::vector<uint8_t>& bytes) { return SaveChunkToFile(path, StateChunk(bytes)); }

bool WritePlain(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

PresetShelf::PresetShelf(std::string dataRoot) : dataRoot_(std::move(dataRoot)) {}

std::string PresetShelf::Path(int file) const {
    char name[32];
    std::snprintf(name, sizeof name, "Soak %d.v2z", file + 1);
    return dataRoot_ + "presets/User/" + kStyles[file % std::size(kStyles)] + "/" + name;
}

void PresetShelf::Fill(const std::vector<uint8_t>& hostChunk) {
    for (int f = 0; f < kFiles; ++f) {
        std::filesystem::create_directories(std::filesystem::path(Path(f)).parent_path());
        WriteGzip(Path(f), PresetBytes(hostChunk, "Soak " + std::to_string(f + 1)));
    }
}

void PresetShelf::Damage(Dice& dice, const std::vector<uint8_t>& hostChunk) {
    auto uniform = [&](size_t lo, size_t hi) { return static_cast<size_t>(dice.Uniform(int64_t(lo), int64_t(hi))); };
    const std::string path = Path(static_cast<int>(uniform(0, kFiles - 1)));
    std::vector<uint8_t> bytes = PresetBytes(hostChunk, "Damaged");
    switch (uniform(0, 8)) {
        case 0: WriteGzip(path, bytes); break;   // intact
        case 1: WritePlain(path, bytes); break;  // uncompressed
        case 2:                                  // content cut short
            bytes.resize(uniform(0, bytes.size()));
            WriteGzip(path, bytes);
            break;
        case 3: {  // compressed stream cut short
            const std::string whole = path + ".whole";
            WriteGzip(whole, bytes);
            std::filesystem::resize_file(whole, uniform(0, std::filesystem::file_size(whole)));
            std::filesystem::rename(whole, path);
            break;
        }
        case 4:  // mutated content
            for (size_t i = uniform(1, 64); i > 0; --i) bytes[uniform(0, bytes.size() - 1)] = static_cast<uint8_t>(uniform(0, 255));
            WriteGzip(path, bytes);
            break;
        case 5:  // header only, or less
            bytes.resize(uniform(0, 610));
            WritePlain(path, bytes);
            break;
        case 6: {  // garbage
            bytes.assign(uniform(0, 100000), 0);
            for (uint8_t& b : bytes) b = static_cast<uint8_t>(uniform(0, 255));
            WritePlain(path, bytes);
            break;
        }
        case 7: {  // a gzip header with nothing sane behind it
            bytes = {0x1F, 0x8B, 0x08, 0x00, 0, 0, 0, 0, 0, 0x03};
            for (size_t i = uniform(0, 5000); i > 0; --i) bytes.push_back(static_cast<uint8_t>(uniform(0, 255)));
            WritePlain(path, bytes);
            break;
        }
        default: {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
            break;
        }
    }
}

// Bank chunks are asked for too; the program chunk is the one kept.
void StateStorm::TakeChunk(test::TestHost& plugin) {
    if (dice_.Chance(0.5)) plugin.GetChunk(0);
    if (auto chunk = plugin.GetChunk(1); !chunk.empty()) own_ = std::move(chunk);
}

std::vector<uint8_t> StateStorm::Mutated(const std::vector<uint8_t>& chunk) {
    std::vector<uint8_t> bytes = chunk;
    if (bytes.size() < 16) return bytes;
    const int mutations = dice_.Uniform(1, 16);
    for (int i = 0; i < mutations; ++i) {
        if (dice_.Chance(0.5)) {
            bytes[dice_.Uniform(0, static_cast<int>(bytes.size()) - 1)] ^= static_cast<uint8_t>(1 << dice_.Uniform(0, 7));
        } else {
            // Words that matter most sit near the start: versions, counts.
            const int limit = dice_.Chance(0.7) ? std::min<int>(2048, bytes.size() - 4) : static_cast<int>(bytes.size()) - 4;
            const uint32_t word = dice_.Pick(kOddWords);
            std::memcpy(bytes.data() + (dice_.Uniform(0, limit) & ~3), &word, 4);
        }
    }
    return bytes;
}

void StateStorm::Step(test::TestHost& plugin) {
    if (own_.empty() || dice_.Chance(0.05)) TakeChunk(plugin);
    const int pick = dice_.Uniform(0, 99);
    if (pick < 35) {
        shelf_.Damage(dice_, own_);
        return;
    }
    std::vector<uint8_t> chunk;
    if (pick < 50) {
        chunk = own_;
    } else if (pick < 65) {
        chunk.assign(own_.begin(), own_.begin() + dice_.Uniform(0, static_cast<int>(own_.size())));
    } else if (pick < 90) {
        chunk = Mutated(own_);
    } else {
        chunk.resize(dice_.Uniform(0, 70000));
        for (uint8_t& b : chunk) b = static_cast<uint8_t>(dice_.Uniform(0, 255));
        // Half of them behind a proper framework header.
        if (chunk.size() >= 8 && dice_.Chance(0.5)) {
            const uint8_t header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
            std::memcpy(chunk.data(), header, 8);
        }
    }
    plugin.Dispatch(effSetChunk, dice_.Chance(0.5) ? 0 : 1, static_cast<intptr_t>(chunk.size()), chunk.empty() ? nullptr : chunk.data());
}

}  // namespace sorel::soak
