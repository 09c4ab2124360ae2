// Sorel.so as a host meets it: identity, the dispatcher's answers, host
// identification and hostile calls.
#include <tuple>
#include <utility>
#include <vector>

#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

// What a host reads first, beyond what the scanner test sees: no parameter
// reported, the state in chunks, the editor's size known before it opens.
// A build without the editor says so and refuses every editor call.
TEST_F(PluginTest, IdentityOfTheEffect) {
    const AEffect* e = host->Effect();
    const int editorFlag = SOREL_WITH_EDITOR ? effFlagsHasEditor : 0;
    EXPECT_EQ(std::tuple(e->numParams, e->numPrograms, e->flags, e->version), std::tuple(56, 1, 0x1130 | editorFlag, 10204));
    ERect* rect = nullptr;  // asked before any open, as hosts do
    ASSERT_EQ(host->Dispatch(effEditGetRect, 0, 0, &rect), SOREL_WITH_EDITOR);
    if (!SOREL_WITH_EDITOR) {
        EXPECT_EQ(rect, nullptr);
        int parentWindow = 0x2a00001;  // never looked at: there is no window to open
        for (int opcode : {effEditOpen, effEditIdle, effEditClose})
            EXPECT_EQ(host->Dispatch(opcode, 0, 0, &parentWindow), 0) << opcode;
        return;
    }
    EXPECT_EQ(std::pair(rect->right - rect->left, rect->bottom - rect->top), std::pair(1000, 565));
}

TEST_F(PluginTest, ParameterTextsAndConversions) {
    EXPECT_EQ(host->ParameterName(kGlobalVolume), "Global volume");
    SetText(kSortOrder + 5, "Reversed");
    EXPECT_FALSE(host->SetParameterText(kSortOrder + 5, "Sideways")) << "a text that names no value changes nothing";
    EXPECT_EQ(Display(kSortOrder + 5), "Reversed");
    Set(kGate, 500);  // limited to the range
    EXPECT_EQ(Display(kGate), "100");
    EXPECT_EQ(host->Dispatch(effVendorSpecific, kTableText, kGate, nullptr), 1);
    const int transpose = PerStep(kStepTranspose, 0, 0, 0);
    host->SetParameter(transpose, 0.51f);
    EXPECT_EQ(std::pair(Display(transpose), host->GetParameter(transpose)), std::pair(std::string("0"), 0.5f));
    // The host extension that shows a value before it is set, by host index.
    constexpr int kHostGlobalVolume = 52;
    char text[64] = {};
    EXPECT_EQ(host->Dispatch(effVendorSpecific, 7, kHostGlobalVolume, text, 1.0f), 0xBEEF);
    EXPECT_STREQ(text, "127");
}

TEST_F(PluginTest, HostileCallsAnswerZeroAndReportNothing) {
    std::vector<unsigned char> zeros(4096, 0);
    for (int opcode : {-5, 70, 71, 99, 1000, 0x7FFFFFFF}) EXPECT_EQ(host->Dispatch(opcode, 1, 2, zeros.data()), 0);
    for (int opcode : {effGetParamName, effGetParamDisplay, effGetParamLabel, effGetProgramName, effGetChunk, effSetChunk,
                       effProcessEvents, effGetMidiKeyName, effEditGetRect, effEditOpen, effGetEffectName, effGetVendorString,
                       effGetInputProperties, effGetOutputProperties, effVendorSpecific, effSetProgramName,
                       effGetProgramNameIndexed})
        EXPECT_EQ(host->Dispatch(opcode, 0, 0, nullptr), 0) << opcode;
    for (int frames : {0, -5}) host->ProcessBlock(frames);
    // No parameter change, from the host or a controller, is reported back.
    host->SetParameter(kGlobalVolume, 0.3f);
    host->Controller(0, 1, 7, 64);
    host->ProcessBlocks(3, kBlock);
    EXPECT_EQ(host->CallCount(audioMasterAutomate), 0);
}

TEST_F(PluginTest, MidiKeyNamesOnlyWhenTheSettingIsOn) {
    const auto name = [&](int key) {
        MidiKeyName k{};
        k.thisKeyNumber = key;
        return host->Dispatch(effGetMidiKeyName, 0, 0, &k) ? std::string(k.keyName) : "<none>";
    };
    EXPECT_EQ(name(36), "<none>");  // until the setting is on
    Set(kEnableMidiNoteNames, 1);
    Set(kKeyAreaOnOff + 1, 1);
    host->SetParameter(kKeyAreaBaseNote + 1, 50.0f / 119.0f);  // key area 2 (keys 60..71) moved up by two
    // Key area 1 plays the key itself; below it the control zone's functions.
    for (const auto& [key, text] : std::vector<std::pair<int, std::string>>{
             {36, "T1 C2"}, {25, "Pattern 2"}, {12, "order"}, {61, "T2 D#4"}, {200, "<none>"}})
        EXPECT_EQ(name(key), text) << key;
}

TEST(HostIdentification, NoteNamesFollowTheHostsOctaveNumbering) {
    for (const auto& [product, startNote] : std::vector<std::pair<std::string, std::string>>{
             {"CUBASE 12", "C 1"}, {"Ableton Live 11", "C 1"}, {"Logic Pro", "C 1"}, {"Nuendo Live", "C 2"},
             {"REAPER", "C 2"}, {"", "C 2"}}) {
        TestHost host;
        host.SetProductString(product);
        ASSERT_TRUE(host.CreateAndOpen());
        EXPECT_EQ(host.ParameterDisplay(kKeyAreaStartNote), startNote) << product;
        EXPECT_GE(host.CallCount(audioMasterGetProductString), 1);
        EXPECT_GE(host.CallCount(audioMasterGetVendorVersion), 1);
    }
}

}  // namespace
}  // namespace sorel::test
