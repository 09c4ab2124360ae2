// Sorel.so as a host meets it: identity, the dispatcher's answers, host
// identification and hostile calls.
#include <vector>

#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

TEST_F(PluginTest, IdentityOfTheEffect) {
    AEffect* e = host->Effect();
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->uniqueID, ('2' << 24) | ('u' << 16) | ('9' << 8) | '5');
    EXPECT_EQ(e->version, 10204);
    EXPECT_EQ(e->numInputs, 0);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->numParams, 0);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->flags, 0x1130 | effFlagsHasEditor);
    ERect* rect = nullptr;  // asked before any open, as hosts do
    ASSERT_EQ(host->Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 1000);
    EXPECT_EQ(rect->bottom - rect->top, 565);
    EXPECT_EQ(host->DispatchString(effGetEffectName), "Sorel");
    EXPECT_EQ(host->DispatchString(effGetVendorString), "Vardo");
    EXPECT_EQ(host->DispatchString(effGetProductString), "");
    EXPECT_EQ(host->Dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host->Dispatch(effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(host->Dispatch(effIdentify), 0x4E764566);
}

TEST_F(PluginTest, ParameterTextsAndConversions) {
    EXPECT_EQ(host->DispatchString(effGetParamName, kGlobalVolume), "Global volume");
    EXPECT_EQ(Display(kGlobalVolume), "64");
    EXPECT_EQ(Display(kKeyAreaStartNote), "C 2");
    SetText(kSortOrder + 5, "Reversed");
    EXPECT_EQ(Display(kSortOrder + 5), "Reversed");
    // A text that names no value changes nothing.
    EXPECT_FALSE(host->SetParameterText(kSortOrder + 5, "Sideways"));
    EXPECT_EQ(Display(kSortOrder + 5), "Reversed");
    Set(kGate, 500);  // limited to the range
    EXPECT_EQ(Display(kGate), "100");
    EXPECT_EQ(host->Dispatch(effString2Parameter, kGate, 0, nullptr), 1);
    host->SetParameter(PerStep(kStepTranspose, 0, 0, 0), 0.51f);
    EXPECT_EQ(Display(PerStep(kStepTranspose, 0, 0, 0)), "0");
    EXPECT_NEAR(host->GetParameter(PerStep(kStepTranspose, 0, 0, 0)), 0.5f, 1e-6);
    host->SetParameter(kSwing, 0.125f);
    EXPECT_NEAR(host->GetParameter(kSwing), 0.125f, 1e-6);
    // The host extension that shows a value before it is set.
    char text[64] = {};
    EXPECT_EQ(host->Dispatch(effVendorSpecific, 7, kGlobalVolume, text, 1.0f), 0xBEEF);
    EXPECT_STREQ(text, "127");
}

TEST_F(PluginTest, HostileDispatcherCallsAnswerZero) {
    std::vector<unsigned char> zeros(4096, 0);
    for (int opcode : {-5, 70, 71, 99, 1000, 0x7FFFFFFF}) EXPECT_EQ(host->Dispatch(opcode, 1, 2, zeros.data()), 0);
    for (int opcode : {effGetParamName, effGetParamDisplay, effGetParamLabel, effGetProgramName, effGetChunk,
                       effSetChunk, effProcessEvents, effGetMidiKeyName, effEditGetRect, effEditOpen,
                       effGetEffectName, effGetVendorString, effGetInputProperties, effGetOutputProperties,
                       effVendorSpecific, effSetProgramName, effGetProgramNameIndexed})
        EXPECT_EQ(host->Dispatch(opcode, 0, 0, nullptr), 0) << opcode;
    host->ProcessBlock(0);
    host->ProcessBlock(-5);
}

TEST_F(PluginTest, NoParameterIsEverReportedToTheHost) {
    host->SetParameter(kGlobalVolume, 0.3f);
    Set(kGate, 20);
    host->Controller(0, 1, 7, 64);
    host->ProcessBlocks(3, kBlock);
    EXPECT_EQ(host->CallCount(audioMasterAutomate), 0);
}

TEST_F(PluginTest, MidiKeyNamesOnlyWhenTheSettingIsOn) {
    MidiKeyName key{};
    key.thisKeyNumber = 36;
    EXPECT_EQ(host->Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
    Set(kEnableMidiNoteNames, 1);
    EXPECT_EQ(host->Dispatch(effGetMidiKeyName, 0, 0, &key), 1);
    EXPECT_STREQ(key.keyName, "T1 C2");  // key area 1 plays the key itself
    key.thisKeyNumber = 25;
    EXPECT_EQ(host->Dispatch(effGetMidiKeyName, 0, 0, &key), 1);
    EXPECT_STREQ(key.keyName, "Pattern 2");
    key.thisKeyNumber = 12;
    EXPECT_EQ(host->Dispatch(effGetMidiKeyName, 0, 0, &key), 1);
    EXPECT_STREQ(key.keyName, "order");
    Set(kKeyAreaOnOff + 1, 1);
    host->SetParameter(kKeyAreaBaseNote + 1, 50.0f / 119.0f);  // key area 2 (keys 60..71) moved up by two
    key.thisKeyNumber = 61;
    EXPECT_EQ(host->Dispatch(effGetMidiKeyName, 0, 0, &key), 1);
    EXPECT_STREQ(key.keyName, "T2 D#4");
    key.thisKeyNumber = 200;
    EXPECT_EQ(host->Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
    Set(kEnableMidiNoteNames, 0);
}

struct HostCase {
    const char* product;
    const char* startNoteText;
};

class HostIdentification : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostIdentification, NoteNamesFollowTheHostsOctaveNumbering) {
    TestHost host;
    host.SetProductString(GetParam().product);
    ASSERT_TRUE(host.CreateAndOpen());
    EXPECT_EQ(host.DispatchString(effGetParamDisplay, kKeyAreaStartNote), GetParam().startNoteText);
    EXPECT_GE(host.CallCount(audioMasterGetProductString), 1);
    EXPECT_GE(host.CallCount(audioMasterGetVendorVersion), 1);
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostIdentification,
                         ::testing::Values(HostCase{"CUBASE 12", "C 1"}, HostCase{"Ableton Live 11", "C 1"},
                                           HostCase{"Logic Pro", "C 1"}, HostCase{"Nuendo Live", "C 2"},
                                           HostCase{"REAPER", "C 2"}, HostCase{"", "C 2"}));

}  // namespace
}  // namespace sorel::test
