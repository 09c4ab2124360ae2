// Sorel.lv2 as an LV2 host meets it: its ports as the VST 2 module lists its
// parameters, its state one chunk that the VST 2 module reads as its own, a
// snapshot saved and loaded again, moved ports, a small output buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "support/Lv2TestHost.h"
#include "support/TestHost.h"

namespace sorel::test {
namespace {

constexpr const char* kStateKey = "https://vardo.example/plugins/sorel#state";
constexpr int kFrames = 1024;

std::vector<Lv2Midi> PlayChord(Lv2TestHost& host, int blocks) {
    std::vector<Lv2Midi> heard;
    for (int block = 0; block < blocks; ++block) {
        if (block == 0) host.QueuePosition(0, {0, 1.0f, 120.0f, 0, 0.0f, 4.0f, 4});
        if (block == 1)
            for (int note : {36, 40, 43, 47}) host.QueueMidi(3, 0x90, uint8_t(note), 100);
        if (block == blocks - 20)
            for (int note : {36, 40, 43, 47}) host.QueueMidi(9, 0x80, uint8_t(note), 0);
        for (Lv2Midi m : host.Run(kFrames)) m.frame += int64_t(block) * kFrames, heard.push_back(m);
    }
    return heard;
}

bool HasPortProperty(const Lv2TestHost& host, const LilvPort* port, const char* uri) {
    LilvNode* property = lilv_new_uri(host.World(), uri);
    const bool has = lilv_port_has_property(host.Plugin(), port, property);
    lilv_node_free(property);
    return has;
}

TEST(Lv2HostTest, TheControlPortsAreTheHostParametersInTheirOrder) {
    Lv2TestHost lv2;
    ASSERT_TRUE(lv2.Loaded());
    TestHost vst2;
    ASSERT_TRUE(vst2.CreateAndOpen());
    const int count = vst2.Effect()->numParams;
    ASSERT_EQ(lilv_plugin_get_num_ports(lv2.Plugin()), uint32_t(2 + count));
    std::set<std::string> symbols;
    for (int i = 0; i < count; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(lv2.Plugin(), uint32_t(2 + i));
        LilvNode* name = lilv_port_get_name(lv2.Plugin(), port);
        EXPECT_EQ(lilv_node_as_string(name), vst2.DispatchString(effGetParamName, i)) << i;
        lilv_node_free(name);
        symbols.insert(lilv_node_as_string(lilv_port_get_symbol(lv2.Plugin(), port)));
    }
    EXPECT_EQ(symbols.size(), size_t(count));
    const struct {
        const char* symbol;
        bool integer, toggled, enumeration;
    } kinds[] = {{"area1_pattern", true, false, true},  {"area2_hold", false, true, false},
                 {"area3_play_order", true, false, true}, {"scale", true, false, true},
                 {"scale_key", true, false, true},      {"area4_volume", false, false, false}};
    for (const auto& k : kinds) {
        LilvNode* symbol = lilv_new_string(lv2.World(), k.symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(lv2.Plugin(), symbol);
        lilv_node_free(symbol);
        ASSERT_NE(port, nullptr) << k.symbol;
        EXPECT_EQ(HasPortProperty(lv2, port, LV2_CORE__integer), k.integer) << k.symbol;
        EXPECT_EQ(HasPortProperty(lv2, port, LV2_CORE__toggled), k.toggled) << k.symbol;
        EXPECT_EQ(HasPortProperty(lv2, port, LV2_CORE__enumeration), k.enumeration) << k.symbol;
    }
}

TEST(Lv2HostTest, TheStateIsOneChunkTheVst2ModuleReadsAsItsOwn) {
    Lv2TestHost lv2;
    ASSERT_TRUE(lv2.Loaded());
    TestHost vst2;
    ASSERT_TRUE(vst2.CreateAndOpen());
    auto fresh = lv2.SaveProperties();
    ASSERT_EQ(fresh.size(), 1u);
    ASSERT_TRUE(fresh.contains(kStateKey));
    EXPECT_EQ(fresh[kStateKey].type, LV2_ATOM__Chunk);
    EXPECT_EQ(fresh[kStateKey].bytes, vst2.GetChunk(0));

    ASSERT_TRUE(lv2.LoadPreset(lv2.Presets().at("rhythm: Swing Stabs")));
    const auto loaded = lv2.SaveProperties();
    ASSERT_NE(loaded.at(kStateKey).bytes, fresh[kStateKey].bytes);
    ASSERT_TRUE(vst2.SetChunk(0, loaded.at(kStateKey).bytes));
    EXPECT_EQ(vst2.GetChunk(0), loaded.at(kStateKey).bytes);

    // And back: the VST 2 module's chunk restores the LV2 instance.
    Lv2TestHost other;
    EXPECT_EQ(other.RestoreProperties(loaded), LV2_STATE_SUCCESS);
    EXPECT_EQ(other.SaveProperties().at(kStateKey).bytes, loaded.at(kStateKey).bytes);
    std::map<std::string, Lv2TestHost::Property> wrongType = loaded;
    wrongType[kStateKey].type = LV2_ATOM__String;
    EXPECT_EQ(other.RestoreProperties(wrongType), LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ(other.RestoreProperties({}), LV2_STATE_ERR_NO_PROPERTY);
}

TEST(Lv2HostTest, ASessionSavedAndReopenedPlaysTheSame) {
    Lv2TestHost first;
    ASSERT_TRUE(first.Loaded());
    ASSERT_TRUE(first.LoadPreset(first.Presets().at("lead: Glass Run")));
    first.SetControl("area1_gate", 0.3f);
    first.Run(kFrames);
    const std::string saved = first.SnapshotText();
    ASSERT_NE(saved.find("base64Binary"), std::string::npos);
    const auto played = PlayChord(first, 100);

    Lv2TestHost reopened;
    ASSERT_TRUE(reopened.LoadSnapshotText(saved));
    EXPECT_FLOAT_EQ(reopened.Control("area1_gate"), 0.3f);
    reopened.Run(kFrames);
    EXPECT_GT(played.size(), 20u);
    EXPECT_EQ(PlayChord(reopened, 100), played);
}

// A port the host leaves alone does not apply again: after a pattern switch
// the timing ports stand for the new pattern, whose values stay its own.
TEST(Lv2HostTest, OnlyAPortTheHostMovesApplies) {
    Lv2TestHost lv2;
    ASSERT_TRUE(lv2.Loaded());
    TestHost vst2;
    ASSERT_TRUE(vst2.CreateAndOpen(kFrames));
    const int gate = 8, pattern = 0;  // host indices: "Area 1 gate", "Area 1 pattern"
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(lv2.Plugin(), lilv_plugin_get_port_by_index(lv2.Plugin(), 2 + gate), &def, &min, &max);
    const float low = lilv_node_as_float(min);
    lilv_node_free(def), lilv_node_free(min), lilv_node_free(max);
    // The range's end: the same value whatever the parameter's curve.
    const float gateValue = low;

    lv2.SetControl("area1_gate", gateValue);
    lv2.Run(kFrames);
    vst2.SetHostParameter(gate, 0.0f);
    vst2.ProcessBlock(kFrames);
    lv2.SetControl("area1_pattern", 3.0f);
    lv2.Run(kFrames);
    vst2.SetHostParameter(pattern, 3.0f / 11.0f);
    vst2.ProcessBlock(kFrames);
    const auto state = lv2.SaveProperties().at(kStateKey).bytes;
    EXPECT_EQ(state, vst2.GetChunk(0));
    Lv2TestHost fresh;
    EXPECT_NE(state, fresh.SaveProperties().at(kStateKey).bytes);
}

// With room for only a few events a block, what does not fit comes in the
// next blocks, in order; nothing is written past the room given.
TEST(Lv2HostTest, ASmallOutputBufferLosesNothing) {
    const uint32_t room = sizeof(LV2_Atom) + sizeof(LV2_Atom_Sequence_Body) + 3 * (sizeof(LV2_Atom_Event) + 8);
    Lv2TestHost small(48000.0, room);
    Lv2TestHost roomy;
    ASSERT_TRUE(small.Loaded());
    std::vector<Lv2Midi> few, all;
    for (int block = 0; block < 40; ++block) {
        for (Lv2TestHost* host : {&small, &roomy}) {
            if (block == 1)
                for (int note = 60; note < 72; ++note) host->QueueMidi(0, 0x95, uint8_t(note), 90);
            if (block == 10)
                for (int note = 60; note < 72; ++note) host->QueueMidi(0, 0x85, uint8_t(note), 0);
        }
        for (const Lv2Midi& m : small.Run(256)) few.push_back(m);
        EXPECT_LE(small.LastOutputSize(), room - sizeof(LV2_Atom));
        EXPECT_TRUE(small.OutputGuardIntact());
        for (const Lv2Midi& m : roomy.Run(256)) all.push_back(m);
    }
    ASSERT_EQ(all.size(), 24u);
    ASSERT_EQ(few.size(), all.size());
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(std::tie(few[i].status, few[i].data1), std::tie(all[i].status, all[i].data1)) << i;
}

}  // namespace
}  // namespace sorel::test
