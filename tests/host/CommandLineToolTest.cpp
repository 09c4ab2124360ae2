// sorel-host run as a user runs it on Sorel: exit status, messages and the
// MIDI it writes.
#include "MidiFile.h"
#include "host/HostTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace sorel::host::test {
namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kPpqn = 480;
constexpr int kSixteenth = kPpqn / 4;

class CommandLineToolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MidiFile::write(in, heldChord(kPpqn, 4 * kPpqn), error)) << error; }
    ScratchFolder scratch;
    const std::string in = scratch.File("in.mid"), out = scratch.File("out.mid");
    std::string error;
};

TEST_F(CommandLineToolTest, InfoShowsWhatAScannerSees) {
    const CommandResult result = runHostTool({"info", SOREL_MODULE});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    for (const char* line : {"Name:            Sorel", "Unique id:       '2u95' (0x32753935)", "Category:        2 (synth)",
                             "Outputs:         2", "Chunks:          yes", "receiveVstTimeInfo   1", "bypass               0"})
        EXPECT_NE(result.output.find(line), std::string::npos) << line << "\n" << result.output;
}

// The settings take, and every note lands on the sixteenth grid of the file,
// whatever the sample rate and block size.
TEST_F(CommandLineToolTest, RenderAppliesSettingsAndWritesNotesOnTheGrid) {
    const CommandResult result = runHostTool({"render", SOREL_MODULE, in, out, "--set", "Octaves T1 P1=2",
                                              "--block-size", "64", "--sample-rate", "44100"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("set Octaves T1 P1 = 2"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("3 notes in"), std::string::npos) << result.output;
    MidiSong played;
    ASSERT_TRUE(MidiFile::read(out, played, error)) << error;
    EXPECT_EQ(played.ppqn, kPpqn);
    int ons = 0, highest = 0;
    for (const MidiEvent& e : played.events) {
        if (!e.isNoteOn()) continue;
        EXPECT_EQ(e.tick % kSixteenth, 0) << e.tick;
        ons += 1;
        highest = std::max(highest, int(e.bytes[1]));
    }
    EXPECT_GE(ons, 8);
    EXPECT_GE(highest, 55 + 12) << "the second octave plays";
}

// Failures exit with 1 and say what failed; command line mistakes exit with
// 2 and name the mistake.
TEST_F(CommandLineToolTest, FailuresAndMistakesExitNonZeroWithAClearMessage) {
    std::ofstream(scratch.File("bad.mid")) << "MThd but not really a MIDI file";
    const std::string sorel = SOREL_MODULE;
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    } const cases[] = {
        {{"info", scratch.File("missing.so")}, kFailed, "plug-in not found"},
        {{"info", SOREL_HOST_NO_ENTRY_MODULE}, kFailed, "exports no VSTPluginMain"},
        {{"demo", "--plugin", scratch.File("missing.so")}, kFailed, "plug-in not found"},
        {{"render", sorel, scratch.File("bad.mid"), out}, kFailed, "bad.mid"},
        {{"render", sorel, scratch.File("none.mid"), out}, kFailed, "cannot open MIDI file"},
        {{"render", sorel, in, out, "--set", "Volume=3"}, kFailed, "unknown parameter name \"Volume\""},
        {{"render", sorel, in, out, "--set", "Octaves T1 P1=up"}, kFailed, "is not a value of Octaves T1 P1"},
        {{"render", sorel, in, out, "--preset", scratch.File("none.v2z")}, kFailed, "cannot open state file"},
        {{"render", sorel, in, scratch.File("no/such/folder/out.mid")}, kFailed, "cannot write MIDI file"},
        {{"play"}, kUsage, "unknown command \"play\""},
        {{"render", sorel, in}, kUsage, "wrong number of arguments"},
        {{"render", sorel, in, out, "--block-size", "0"}, kUsage, "--block-size"},
        {{"render", sorel, in, out, "--tempo", "fast"}, kUsage, "--tempo"},
        {{"render", sorel, in, out, "--loop", "4:2"}, kUsage, "START < END"},
        {{"render", sorel, in, out, "--loop", "0:4", "--stopped"}, kUsage, "exclude each other"},
        {{"render", sorel, in, out, "--set", "Octaves T1 P1"}, kUsage, "NAME=VALUE"},
    };
    for (const Case& c : cases) {
        const CommandResult result = runHostTool(c.args);
        EXPECT_EQ(result.exitCode, c.code) << c.args[0] << " " << c.message << ": " << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    }
    EXPECT_FALSE(std::ifstream(out).good()) << "no output after a failure";
    const CommandResult help = runHostTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("sorel-host render PLUGIN.so IN.mid OUT.mid"), std::string::npos);
}

}  // namespace
}  // namespace sorel::host::test
