// A bank chunk that is no chunk of this plug-in, or longer than any state may
// be, is refused by the set-chunk call: the instance keeps its whole state.
#include <gtest/gtest.h>

#include "engine/ParameterIndex.h"
#include "persistence/HostChunk.h"
#include "persistence/PresetFile.h"
#include "persistence/TempDataHome.h"
#include "support/TestHost.h"

namespace sorel {
namespace {

using test::TestHost;

constexpr int kBlock = 512, kBankChunk = 0;
constexpr int kPlayed[] = {param::kGlobalVolume, param::kRate, param::kStepAccent + 3, param::kAreaVolume};

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t size) {
    bytes.resize(std::min(size, bytes.size()));
    return bytes;
}
std::vector<uint8_t> Joined(std::vector<uint8_t> front, const std::vector<uint8_t>& back) {
    front.insert(front.end(), back.begin(), back.end());
    return front;
}

TEST(BankChunkRefusal, ARefusedBankChunkLeavesTheWholeStateAsItWas) {
    const test::TempDataHome home;
    TestHost author;
    ASSERT_TRUE(author.CreateAndOpen(kBlock));
    for (int index : kPlayed) author.SetParameter(index, 0.9f);
    const auto bank = author.GetChunk(kBankChunk);
    const auto header = Cut(bank, kHostChunkHeaderSize);
    // The author's state padded past the largest a chunk may hold.
    const auto padded = Joined(HostChunkState(bank, true, param::kCount)->Bytes(), std::vector<uint8_t>(kMaxPresetBytes));
    const struct {
        const char* what;
        std::vector<uint8_t> chunk;
        bool refused;
    } cases[] = {
        {"cut inside the header", Cut(bank, 5), true},
        {"cut inside the header's version", Cut(bank, 7), true},
        {"cut inside the compressed state", Cut(bank, bank.size() / 2), true},
        {"cut before the compressed state's trailer", Cut(bank, bank.size() - 4), true},
        {"padded past the largest chunk", Joined(bank, std::vector<uint8_t>(kMaxPresetBytes)), true},
        {"a plain state past the largest chunk", Joined(header, padded), true},
        {"inflating past the largest state", Joined(header, CompressToGzip(padded)), true},
        {"whole", bank, false},
    };
    for (const auto& [what, chunk, refused] : cases) {
        SCOPED_TRACE(what);
        TestHost player;
        ASSERT_TRUE(player.CreateAndOpen(kBlock));
        for (int index : kPlayed) player.SetParameter(index, 0.2f);
        const auto before = player.GetChunk(kBankChunk);
        EXPECT_EQ(player.SetChunk(kBankChunk, chunk), !refused);
        EXPECT_EQ(player.GetChunk(kBankChunk) == before, refused);
    }
}

}  // namespace
}  // namespace sorel
