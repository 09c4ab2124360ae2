// sorel-host run on Sorel as a user runs it: exit status, messages and the
// MIDI it writes.
#include "MidiFile.h"
#include "MidiSong.h"
#include "persistence/TempDataHome.h"
#if SOREL_WITH_EDITOR
#include "support/XvfbServer.h"
#endif

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>

namespace sorel::host::test {
namespace {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// Runs a shell command; its standard output and standard error together.
CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) result.output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// sorel-host with the given arguments, as a user runs it.
std::string hostCommand(const std::vector<std::string>& arguments) {
    std::string command = quoted(SOREL_HOST_TOOL);
    for (const std::string& argument : arguments) command += " " + quoted(argument);
    return command;
}

CommandResult runHostTool(const std::vector<std::string>& arguments, const std::string& workingFolder = {}) {
    return runCommand((workingFolder.empty() ? "" : "cd " + quoted(workingFolder) + " && ") + hostCommand(arguments));
}

constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kPpqn = 480;
constexpr int kSixteenth = kPpqn / 4;

// The keys pressed together at the start and held for `ticks`.
MidiSong heldKeys(std::initializer_list<uint8_t> keys, int64_t ticks) {
    MidiSong song;
    song.ppqn = kPpqn;
    for (uint8_t key : keys) song.events.push_back({0, {0x90, key, 100}, 3});
    for (uint8_t key : keys) song.events.push_back({ticks, {0x80, key, 0}, 3});
    song.lengthTicks = ticks;
    return song;
}

class CommandLineToolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MidiFile::write(in, heldKeys({48, 52, 55}, 16 * kPpqn), error)) << error; }
    MidiSong read(const std::string& file) {
        MidiSong song;
        EXPECT_TRUE(MidiFile::read(file, song, error)) << error;
        return song;
    }
    sorel::test::TempDataHome scratch;  // also the data home of the plug-ins loaded meanwhile
    const std::string sorel = SOREL_MODULE, in = scratch.File("in.mid"), out = scratch.File("out.mid");
    std::string error;
};

// Failures exit with 1 and say what failed; command line mistakes exit with
// 2 and name the mistake.
TEST_F(CommandLineToolTest, EveryCommandAndFailureExitsWithItsCodeAndMessage) {
    std::ofstream(scratch.File("bad.mid")) << "MThd but not really a MIDI file";
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    } const cases[] = {
        {{"--help"}, 0, "sorel-host render PLUGIN.so IN.mid OUT.mid"},
        {{"info", sorel}, 0, "Unique id:       '2u95' (0x32753935)\n"},
        {{"info", sorel}, 0, "Chunks:          yes\n"},
        {{"info", sorel}, 0, "receiveVstTimeInfo   1\n"},
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
}

// A text given to --set names a value by the one rule of the plug-in: its
// display text with case and spaces set aside, else a whole number; anything
// else is refused, never read as something near it.
TEST_F(CommandLineToolTest, ASetTextNamesADisplayTextOrANumberAndNothingElse) {
    struct Case {
        const char* assignment;
        int code;
        std::string message;
    } const cases[] = {
        {"Sort order T1 P1=Hi-Lo", 0, "set Sort order T1 P1 = Hi-Lo"},
        {"Sort order T1 P1=hi - LO", 0, "set Sort order T1 P1 = Hi-Lo"},
        {"Sort order T1 P1=2", 0, "set Sort order T1 P1 = As played"},
        {"Sort order T1 P1=sideways", kFailed, "it takes one of \"Lo-Hi\", \"Hi-Lo\""},
        {"Octaves T1 P1= +3 ", 0, "set Octaves T1 P1 = 3"},
        {"Octaves T1 P1=2x", kFailed, "\"2x\" is not a value of Octaves T1 P1"},
        {"Octaves T1 P1=up", kFailed, "it takes a number from 1 to 5"},
        {"17109=d3", 0, "set 17109 = D 3"},  // a key area's start note
        {"17109=c#3", 0, "set 17109 = C# 3"},
        {"17109=40", 0, "set 17109 = E 3"},
        {"17109=h3", kFailed, "\"h3\" is not a value of 17109"},
    };
    for (const Case& c : cases) {
        const CommandResult result = runHostTool({"render", sorel, in, out, "--set", c.assignment});
        EXPECT_EQ(result.exitCode, c.code) << c.assignment << ": " << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << c.assignment << ": " << result.output;
    }
}

// The settings take, every note lands on the file's sixteenth grid, and no
// block size moves any event.
TEST_F(CommandLineToolTest, RenderAppliesSettingsAndNoBlockSizeMovesAnEvent) {
    std::vector<MidiEvent> reference;
    for (const char* frames : {"32", "1024", "333", "4096"}) {
        const CommandResult result = runHostTool({"render", sorel, in, out, "--set", "Octaves T1 P1=2", "--set",
                                                  "Sort order T1 P1=Hi-Lo", "--block-size", frames, "--sample-rate", "44100"});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_NE(result.output.find("set Octaves T1 P1 = 2"), std::string::npos) << result.output;
        const MidiSong played = read(out);
        EXPECT_EQ(played.ppqn, kPpqn);
        if (reference.empty()) reference = played.events;
        ASSERT_EQ(played.events.size(), reference.size()) << frames;
        for (size_t i = 0; i < reference.size(); ++i) {
            EXPECT_EQ(played.events[i].tick, reference[i].tick) << frames << " " << i;
            EXPECT_EQ(played.events[i].bytes, reference[i].bytes) << frames << " " << i;
        }
    }
    ASSERT_GE(reference.size(), 120u);
    int highest = 0;
    for (const MidiEvent& e : reference) {
        if (!e.isNoteOn()) continue;
        EXPECT_EQ(e.tick % kSixteenth, 0) << e.tick;
        highest = std::max(highest, int(e.bytes[1]));
    }
    EXPECT_GE(highest, 55 + 12) << "the second octave plays";
}

TEST_F(CommandLineToolTest, DemoFindsTheBuiltPluginAndDrawsTheArpeggio) {
    const CommandResult result = runHostTool({"demo"}, scratch.Root());
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find(std::filesystem::path(sorel).lexically_normal().string()), std::string::npos);
    const auto ons = std::ranges::count_if(read(scratch.File("demo.mid")).events, &MidiEvent::isNoteOn);
    EXPECT_GE(ons, 48) << "four bars of sixteenths, less the rests";
    // The roll of what Sorel sent: a row per pitch over two octaves, a "#" per note.
    const auto sent = result.output.find("Sorel sent:");
    ASSERT_NE(sent, std::string::npos) << result.output;
    std::istringstream roll(result.output.substr(sent));
    int marks = 0, rows = 0;
    for (std::string line; std::getline(roll, line);)
        if (line.size() >= 6 && line[5] == '|') rows += 1, marks += int(std::count(line.begin() + 5, line.end(), '#'));
    EXPECT_EQ(marks, ons) << result.output;
    EXPECT_GE(rows, 13) << result.output;
}

#if SOREL_WITH_EDITOR
// A ramp drawn with the mouse across the GATE lane in sorel-host gui (under
// Xvfb) is in the state the gui saves on closing, and render plays it.
TEST_F(CommandLineToolTest, ARampDrawnInTheEditorIsSavedAndPlayedWithRisingLengths) {
    if (!sorel::testing::XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
    const std::string state = scratch.File("ramp.state"), log = scratch.File("gui.log");
    constexpr int kSteps = 32, kGridLeft = 39, kGridBottom = 404;  // the pattern view's skin rectangle
    std::string drag = "xdotool search --sync --name 'sorel-host: Sorel' sleep 0.5";
    for (int step = 0; step < kSteps; ++step)
        drag += " mousemove --window %1 " + std::to_string(kGridLeft + 11 + 24 * step) + " " +
                std::to_string(kGridBottom - 4 - 3 * step) + (step == 0 ? " mousedown 1" : "");
    // A loaded machine may take seconds to open the editor; SIGTERM ends the
    // window as its close button does.
    const std::string gui = hostCommand({"gui", sorel, "--set", "Pattern Step mode=GATE", "--save-state", state});
    const CommandResult run = runCommand(gui + " >" + log + " & pid=$!; for i in $(seq 400); do grep -q 'editor of Sorel open' " +
                                         log + " && break; sleep 0.05; done; " + drag +
                                         " mouseup 1 sleep 0.2; dragged=$?; kill $pid; wait $pid && exit $dragged");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // C3 held for the pattern's 32 sixteenths.
    ASSERT_TRUE(MidiFile::write(in, heldKeys({48}, kSteps * kSixteenth), error)) << error;
    const CommandResult render = runHostTool({"render", sorel, in, out, "--state", state});
    ASSERT_EQ(render.exitCode, 0) << render.output;
    std::vector<int64_t> lengths;
    int64_t startedAt = -1;
    for (const MidiEvent& e : read(out).events) {
        if (e.isNoteOn()) startedAt = e.tick;
        if (e.isNoteOff() && startedAt >= 0) lengths.push_back(e.tick - std::exchange(startedAt, -1));
    }
    // Up to the middle of the ramp each note still ends before the next one starts.
    ASSERT_GE(lengths.size(), std::size_t(kSteps / 2));
    for (int step = 1; step < kSteps / 2; ++step) EXPECT_GE(lengths[step], lengths[step - 1]) << step;
    EXPECT_GT(lengths[kSteps / 2 - 1], 2 * lengths.front());
}

// A window closed by the window manager ends sorel-host gui as its close
// button does: exit status 0, the state saved where asked.
TEST_F(CommandLineToolTest, AWindowClosedByTheWindowManagerEndsTheGuiWithItsStateSaved) {
    if (!sorel::testing::XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
    const std::string state = scratch.File("closed.state"), log = scratch.File("gui.log");
    const std::string gui = hostCommand({"gui", sorel, "--set", "Octaves T1 P1=3", "--save-state", state});
    const CommandResult run = runCommand("timeout 30 " + gui + " >" + log + " & pid=$!; for i in $(seq 400); do grep -q " +
                                         "'editor of Sorel open' " + log + " && break; sleep 0.05; done; " +
                                         "xdotool search --sync --name 'sorel-host: Sorel' windowclose; wait $pid");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const CommandResult render = runHostTool({"render", sorel, in, out, "--state", state});
    ASSERT_EQ(render.exitCode, 0) << render.output;
    int highest = 0;
    for (const MidiEvent& e : read(out).events)
        if (e.isNoteOn()) highest = std::max(highest, int(e.bytes[1]));
    EXPECT_GE(highest, 55 + 24) << "the third octave of the saved state plays";
}
#else
// Without the editor the gui command says why no window opens.
TEST_F(CommandLineToolTest, TheGuiOfABuildWithoutTheEditorFailsAndSaysWhy) {
    const CommandResult run = runHostTool({"gui", sorel});
    EXPECT_EQ(run.exitCode, kFailed) << run.output;
    EXPECT_NE(run.output.find("built without windows"), std::string::npos) << run.output;
}
#endif

}  // namespace
}  // namespace sorel::host::test
