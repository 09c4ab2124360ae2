#include "soak/StateStorm.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace sorel::soak {
namespace {

constexpr size_t kFrameworkHeader = 8;
constexpr size_t kPresetNameWidth = 33, kAuthorWidth = 51, kTextWidth = 255;
constexpr const char* kStyles[] = {"1 bass", "2 lead", "3 rhythm", "4 misc"};
constexpr uint32_t kOddWords[] = {0, 1, 5, 6, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x05000000u, 17, 0x10000u};

void AppendWord(std::vector<uint8_t>& bytes, uint32_t word) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
}

void AppendText(std::vector<uint8_t>& bytes, const std::string& text, size_t width) {
    const size_t start = bytes.size();
    bytes.resize(start + width, 0);
    std::memcpy(bytes.data() + start, text.data(), std::min(text.size(), width - 1));
}

// The state a host chunk carries, inflated when the plug-in compressed it.
std::vector<uint8_t> ChunkState(const std::vector<uint8_t>& hostChunk) {
    if (hostChunk.size() <= kFrameworkHeader) return {};
    std::vector<uint8_t> packed(hostChunk.begin() + kFrameworkHeader, hostChunk.end());
    if (packed.size() < 2 || packed[0] != 0x1f || packed[1] != 0x8b) return packed;
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK) return {};
    std::vector<uint8_t> state;
    uint8_t buffer[65536];
    stream.next_in = packed.data();
    stream.avail_in = static_cast<uInt>(packed.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        state.insert(state.end(), buffer, buffer + (sizeof buffer - stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? state : std::vector<uint8_t>{};
}

}  // namespace

PresetShelf::PresetShelf(std::string dataRoot) : dataRoot_(std::move(dataRoot)) {}

std::string PresetShelf::Path(int file) const {
    char name[32];
    std::snprintf(name, sizeof name, "Soak %d.v2z", file + 1);
    return dataRoot_ + "presets/User/" + kStyles[file % std::size(kStyles)] + "/" + name;
}

std::vector<uint8_t> PresetShelf::PresetBytes(const std::vector<uint8_t>& hostChunk, const std::string& name) {
    std::vector<uint8_t> bytes;
    AppendWord(bytes, 1);
    AppendWord(bytes, 2);
    AppendText(bytes, name, kPresetNameWidth);
    AppendText(bytes, "Soak", kAuthorWidth);
    AppendText(bytes, "Written by the soak", kTextWidth);
    AppendText(bytes, "Load me while playing", kTextWidth);
    AppendWord(bytes, 3);
    const std::vector<uint8_t> state = ChunkState(hostChunk);
    bytes.insert(bytes.end(), state.begin(), state.end());
    return bytes;
}

bool PresetShelf::WriteGzip(const std::string& path, const std::vector<uint8_t>& bytes) {
    gzFile file = gzopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = bytes.empty() || gzwrite(file, bytes.data(), static_cast<unsigned>(bytes.size())) > 0;
    return gzclose(file) == Z_OK && written;
}

bool PresetShelf::WritePlain(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

void PresetShelf::Fill(const std::vector<uint8_t>& hostChunk) {
    for (int f = 0; f < kFiles; ++f) {
        std::filesystem::create_directories(std::filesystem::path(Path(f)).parent_path());
        WriteGzip(Path(f), PresetBytes(hostChunk, "Soak " + std::to_string(f + 1)));
    }
}

void PresetShelf::Damage(std::mt19937_64& rng, const std::vector<uint8_t>& hostChunk) {
    auto uniform = [&](size_t lo, size_t hi) { return std::uniform_int_distribution<size_t>(lo, hi)(rng); };
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

StateStorm::StateStorm(uint64_t seed, PresetShelf* shelf) : rng_(seed), shelf_(shelf) {}

void StateStorm::TakeChunk(test::TestHost& plugin) {
    void* data = nullptr;
    const intptr_t size = plugin.Dispatch(effGetChunk, Chance(0.5) ? 0 : 1, 0, &data);
    if (size > 0 && data) own_.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
}

std::vector<uint8_t> StateStorm::Mutated(const std::vector<uint8_t>& chunk) {
    std::vector<uint8_t> bytes = chunk;
    if (bytes.size() < 16) return bytes;
    const int mutations = Uniform(1, 16);
    for (int i = 0; i < mutations; ++i) {
        if (Chance(0.5)) {
            bytes[Uniform(0, static_cast<int>(bytes.size()) - 1)] ^= static_cast<uint8_t>(1 << Uniform(0, 7));
        } else {
            // Words that matter most sit near the start: versions, counts.
            const int limit = Chance(0.7) ? std::min<int>(2048, bytes.size() - 4) : static_cast<int>(bytes.size()) - 4;
            const uint32_t word = kOddWords[Uniform(0, std::size(kOddWords) - 1)];
            std::memcpy(bytes.data() + (Uniform(0, limit) & ~3), &word, 4);
        }
    }
    return bytes;
}

void StateStorm::Step(test::TestHost& plugin, Injected& injected) {
    if (own_.empty() || Chance(0.05)) TakeChunk(plugin);
    const int pick = Uniform(0, 99);
    if (pick < 35 && shelf_) {
        shelf_->Damage(rng_, own_);
        ++injected[Injected::kPresetFiles];
        return;
    }
    std::vector<uint8_t> chunk;
    bool damaged = true;
    if (pick < 50) {
        chunk = own_;
        damaged = false;
    } else if (pick < 65) {
        chunk.assign(own_.begin(), own_.begin() + Uniform(0, static_cast<int>(own_.size())));
    } else if (pick < 90) {
        chunk = Mutated(own_);
    } else {
        chunk.resize(Uniform(0, 70000));
        for (uint8_t& b : chunk) b = static_cast<uint8_t>(Uniform(0, 255));
        // Half of them behind a proper framework header.
        if (chunk.size() >= 8 && Chance(0.5)) {
            const uint8_t header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
            std::memcpy(chunk.data(), header, 8);
        }
    }
    ++injected[Injected::kChunks];
    if (damaged) ++injected[Injected::kDamagedChunks];
    plugin.Dispatch(effSetChunk, Chance(0.5) ? 0 : 1, static_cast<intptr_t>(chunk.size()), chunk.empty() ? nullptr : chunk.data());
}

}  // namespace sorel::soak
