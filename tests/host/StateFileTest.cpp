#include "StateFile.h"
#include "HostedPlugin.h"
#include "host/HostTestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>

namespace sorel::host::test {
namespace {

std::vector<uint8_t> patternBytes(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t((i * 7 + i / 251) & 0xFF);
    return bytes;
}

void writeGzip(const std::string& path, const std::vector<uint8_t>& bytes) {
    gzFile file = gzopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(gzwrite(file, bytes.data(), unsigned(bytes.size())), int(bytes.size()));
    gzclose(file);
}

void writePlain(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(StateFileTest, ReadsGzipPresetsAndPlainChunksAlike) {
    ScratchFolder scratch;
    const auto state = patternBytes(200000);  // more than one read chunk
    writeGzip(scratch.file("a.v2z"), state);
    writePlain(scratch.file("a.chunk"), state);
    std::vector<uint8_t> read;
    std::string error;
    ASSERT_TRUE(StateFile::read(scratch.file("a.v2z"), read, error)) << error;
    EXPECT_EQ(read, state);
    ASSERT_TRUE(StateFile::read(scratch.file("a.chunk"), read, error)) << error;
    EXPECT_EQ(read, state);
}

TEST(StateFileTest, RefusesMissingEmptyAndTruncatedFiles) {
    ScratchFolder scratch;
    std::vector<uint8_t> read;
    std::string error;
    EXPECT_FALSE(StateFile::read(scratch.file("none.v2z"), read, error));
    writePlain(scratch.file("empty"), {});
    EXPECT_FALSE(StateFile::read(scratch.file("empty"), read, error));
    EXPECT_NE(error.find("empty"), std::string::npos);
    writeGzip(scratch.file("whole.v2z"), patternBytes(5000));
    std::ifstream in(scratch.file("whole.v2z"), std::ios::binary);
    std::vector<uint8_t> compressed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    compressed.resize(compressed.size() / 2);
    writePlain(scratch.file("cut.v2z"), compressed);
    EXPECT_FALSE(StateFile::read(scratch.file("cut.v2z"), read, error));
    EXPECT_NE(error.find("damaged"), std::string::npos);
}

TEST(StateFileTest, PluginReceivesTheDecompressedStateAsAProgramOrBankChunk) {
    ScratchFolder scratch;
    const auto state = patternBytes(1234);
    writeGzip(scratch.file("p.v2z"), state);
    echoLog() = EchoPluginLog{};
    std::string error;
    auto plugin = HostedPlugin::load(echoPluginPath(), error);
    ASSERT_TRUE(plugin) << error;
    std::vector<uint8_t> read;
    ASSERT_TRUE(StateFile::read(scratch.file("p.v2z"), read, error)) << error;
    ASSERT_TRUE(plugin->setChunk(read, false));
    EXPECT_EQ(echoLog().chunk, state);
    EXPECT_FALSE(echoLog().chunkWasBank);
    ASSERT_TRUE(plugin->setChunk(read, true));
    EXPECT_TRUE(echoLog().chunkWasBank);
}

}  // namespace
}  // namespace sorel::host::test
