// sorel-host run as a user runs it: exit status and messages.
#include "MidiFile.h"
#include "host/HostTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace sorel::host::test {
namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

class CommandLineToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        MidiSong song = songOf(480, {{0, 0x90, 60, 100}, {240, 0x80, 60, 0}, {480, 0x90, 67, 90}, {720, 0x80, 67, 0}}, 960);
        std::string error;
        ASSERT_TRUE(MidiFile::write(scratch.File("in.mid"), song, error)) << error;
    }
    void expectFailure(const CommandResult& result, int code, const std::string& message) {
        EXPECT_EQ(result.exitCode, code) << result.output;
        EXPECT_NE(result.output.find(message), std::string::npos) << result.output;
    }
    ScratchFolder scratch;
};

TEST_F(CommandLineToolTest, InfoShowsWhatAScannerSees) {
    const CommandResult result = runHostTool({"info", echoPluginPath()});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    for (const char* line : {"Name:            Echo", "Vendor:          Sorel tests", "Unique id:       'Echo' (0x4563686F)",
                             "Category:        1 (effect)", "Inputs:          0", "Outputs:         2", "Parameters:      4",
                             "Chunks:          no", "receiveVstMidiEvent  1", "receiveVstTimeInfo   1", "bypass               0"})
        EXPECT_NE(result.output.find(line), std::string::npos) << line << "\n" << result.output;
}

TEST_F(CommandLineToolTest, RenderAppliesSettingsAndWritesTheOutput) {
    const CommandResult result =
        runHostTool({"render", echoPluginPath(), scratch.File("in.mid"), scratch.File("out.mid"), "--set", "Transpose=5",
                     "--set-normalised", "Gain=0.5", "--block-size", "64", "--sample-rate", "44100"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("set Transpose = 5"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("2 notes in, 2 notes out, channels 1"), std::string::npos) << result.output;
    MidiSong out;
    std::string error;
    ASSERT_TRUE(MidiFile::read(scratch.File("out.mid"), out, error)) << error;
    ASSERT_EQ(out.events.size(), 4u);
    EXPECT_EQ(out.ppqn, 480);
    EXPECT_EQ(out.events[0].bytes[1], 65);
    EXPECT_EQ(out.events[2].tick, 480);
    EXPECT_EQ(out.events[2].bytes[1], 72);
}

// Failures exit with 1 and say what failed; command line mistakes exit with
// 2 and show the usage.
TEST_F(CommandLineToolTest, FailuresAndMistakesExitNonZeroWithAClearMessage) {
    std::ofstream(scratch.File("bad.mid")) << "MThd but not really a MIDI file";
    const std::string echo = echoPluginPath(), in = scratch.File("in.mid"), out = scratch.File("out.mid");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {{"info", scratch.File("missing.so")}, kFailed, "plug-in not found"},
        {{"info", noEntryModulePath()}, kFailed, "exports no VSTPluginMain"},
        {{"render", scratch.File("missing.so"), in, out}, kFailed, "plug-in not found"},
        {{"render", echo, scratch.File("bad.mid"), out}, kFailed, "bad.mid"},
        {{"render", echo, scratch.File("none.mid"), out}, kFailed, "cannot open MIDI file"},
        {{"render", echo, in, out, "--set", "Volume=3"}, kFailed, "unknown parameter name \"Volume\""},
        {{"render", echo, in, out, "--set", "Transpose=up"}, kFailed, "did not take"},
        {{"render", echo, in, out, "--preset", scratch.File("none.v2z")}, kFailed, "cannot open state file"},
        {{"render", echo, in, scratch.File("no/such/folder/out.mid")}, kFailed, "cannot write MIDI file"},
        {{"demo", "--plugin", scratch.File("missing.so")}, kFailed, "plug-in not found"},
        {{"gui", echo}, kFailed, " has no editor"},
        {{"play"}, kUsage, "unknown command \"play\""},
        {{"render", echo, in}, kUsage, "wrong number of arguments"},
        {{"render", echo, in, out, "--block-size", "0"}, kUsage, "--block-size"},
        {{"render", echo, in, out, "--tempo", "fast"}, kUsage, "--tempo"},
        {{"render", echo, in, out, "--loop", "4:2"}, kUsage, "START < END"},
        {{"render", echo, in, out, "--loop", "0:4", "--stopped"}, kUsage, "exclude each other"},
        {{"render", echo, in, out, "--set", "Transpose"}, kUsage, "NAME=VALUE"},
    };
    for (const Case& c : cases) expectFailure(runHostTool(c.args), c.code, c.message);
    EXPECT_FALSE(std::ifstream(out).good()) << "no output after a failure";
    const CommandResult help = runHostTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("sorel-host render PLUGIN.so IN.mid OUT.mid"), std::string::npos);
}

}  // namespace
}  // namespace sorel::host::test
