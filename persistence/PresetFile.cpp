#include "persistence/PresetFile.h"

#include <cstdio>
#include <unistd.h>
#include <zlib.h>

#include "persistence/StateWriter.h"

namespace sorel {

namespace {

constexpr unsigned kReadPiece = 1023;
constexpr int32_t kHeaderWord = 0;
constexpr int kGzipWindowBits = 15 + 16;  // gzip wrapper only
constexpr int kMemoryLevel = 8;           // zlib's default

bool IsGzip(std::span<const uint8_t> bytes) { return bytes.size() >= 2 && bytes[0] == 0x1f && bytes[1] == 0x8b; }

}  // namespace

bool ReadFileToChunk(const std::string& path, StateChunk& chunk) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    gzrewind(file);
    StateChunk content;
    uint8_t buffer[kReadPiece + 1];
    bool complete = true;
    for (;;) {
        const int got = gzread(file, buffer, kReadPiece);
        if (got < 0 || content.Size() + static_cast<size_t>(got) > kMaxPresetBytes) {
            complete = false;
            break;
        }
        content.PutBytes(buffer, static_cast<size_t>(got));
        if (got < static_cast<int>(kReadPiece)) break;
    }
    gzclose(file);
    if (!complete) return false;
    chunk.PutBytes(content.Data(), content.Size());
    return true;
}

bool SaveChunkToFile(const std::string& path, const StateChunk& chunk) {
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    gzFile file = gzopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = chunk.Empty() || gzwrite(file, chunk.Data(), static_cast<unsigned>(chunk.Size())) ==
                                              static_cast<int>(chunk.Size());
    const bool closed = gzclose(file) == Z_OK;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::vector<uint8_t> CompressToGzip(std::span<const uint8_t> bytes) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::vector<uint8_t> packed(deflateBound(&stream, static_cast<uLong>(bytes.size())));
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    const bool finished = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    packed.resize(finished ? stream.total_out : 0);
    deflateEnd(&stream);
    return packed;
}

std::optional<StateChunk> DecompressPreset(std::span<const uint8_t> bytes, CutStream cut) {
    if (!IsGzip(bytes)) {
        if (bytes.size() > kMaxPresetBytes) return std::nullopt;
        return StateChunk(bytes);
    }
    z_stream stream{};
    if (inflateInit2(&stream, kGzipWindowBits) != Z_OK) return std::nullopt;
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    StateChunk content;
    uint8_t buffer[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        const size_t produced = sizeof buffer - stream.avail_out;
        if (content.Size() + produced > kMaxPresetBytes) status = Z_MEM_ERROR;
        else content.PutBytes(buffer, produced);
        if (status == Z_BUF_ERROR && stream.avail_in == 0) break;  // the stream ends before its end
    }
    inflateEnd(&stream);
    if (cut == CutStream::kRefuse && status != Z_STREAM_END) return std::nullopt;
    if (status == Z_MEM_ERROR || status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_ERROR) {
        return std::nullopt;
    }
    return content;
}

PresetHeader ReadPresetHeader(const StateChunk& chunk) {
    PresetHeader header;
    int32_t word = 0;
    int pos = chunk.GetInt32(word, 0);
    pos = chunk.GetInt32(word, pos);
    pos = chunk.GetText(header.info.name, BoxInfo::kNameWidth, pos);
    pos = chunk.GetText(header.info.author, BoxInfo::kAuthorWidth, pos);
    pos = chunk.GetText(header.info.description, BoxInfo::kDescriptionWidth, pos);
    pos = chunk.GetText(header.info.usage, BoxInfo::kUsageWidth, pos);
    header.statePos = chunk.GetInt32(word, pos);
    return header;
}

void WritePresetHeader(StateChunk& chunk, const BoxInfo& info) {
    chunk.PutInt32(kHeaderWord);
    chunk.PutInt32(kHeaderWord);
    chunk.PutText(info.name, BoxInfo::kNameWidth);
    chunk.PutText(info.author, BoxInfo::kAuthorWidth);
    chunk.PutText(info.description, BoxInfo::kDescriptionWidth);
    chunk.PutText(info.usage, BoxInfo::kUsageWidth);
    chunk.PutInt32(kHeaderWord);
}

StateChunk ComposePreset(const PluginState& state) {
    StateChunk chunk;
    WritePresetHeader(chunk, state.boxInfo);
    WriteState(chunk, state);
    return chunk;
}

bool WritePresetFile(const std::string& path, const PluginState& state) {
    return SaveChunkToFile(path, ComposePreset(state));
}

}  // namespace sorel
