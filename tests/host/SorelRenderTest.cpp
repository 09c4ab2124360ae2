// Sorel.so rendered through sorel-host, as a host would play it.
#include "MidiFile.h"
#include "ParameterSetter.h"
#include "Renderer.h"
#include "host/HostTestSupport.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

namespace sorel::host::test {
namespace {

constexpr int kPpqn = 480;
constexpr int kSixteenth = kPpqn / 4;

std::vector<MidiEvent> renderSorel(const MidiSong& song, int blockSize, const std::vector<std::string>& settings) {
    ScratchFolder scratch;  // Sorel reads its settings below XDG_DATA_HOME
    std::string error;
    auto plugin = HostedPlugin::load(SOREL_MODULE, error);
    if (!plugin) throw std::runtime_error(error);
    RenderOptions options;
    options.sampleRate = 44100.0;
    options.blockSize = blockSize;
    plugin->setSampleRate(options.sampleRate);
    plugin->setMaxBlockSize(options.blockSize);
    ParameterSetter setter(*plugin, plugin->namedParameterCount());
    for (const std::string& text : settings) {
        std::string shown;
        if (!setter.apply(*ParameterAssignment::parse(text, false), shown, error)) throw std::runtime_error(error);
    }
    return Renderer(*plugin, song, options).run().output.events;
}

TEST(SorelRenderTest, BlockSizeDoesNotMoveAnyEvent) {
    const MidiSong song = heldChord(kPpqn, 16 * kPpqn);
    const std::vector<std::string> settings = {"Octaves T1 P1=2", "Sort order T1 P1=Hi-Lo"};
    const std::vector<MidiEvent> reference = renderSorel(song, 32, settings);
    ASSERT_GE(reference.size(), 120u);
    for (int frames : {1024, 333, 4096}) {
        const std::vector<MidiEvent> other = renderSorel(song, frames, settings);
        ASSERT_EQ(other.size(), reference.size()) << frames;
        for (size_t i = 0; i < reference.size(); ++i) {
            EXPECT_EQ(other[i].tick, reference[i].tick) << frames << " " << i;
            EXPECT_EQ(other[i].bytes, reference[i].bytes) << frames << " " << i;
        }
    }
}

TEST(SorelRenderTest, DemoFindsTheBuiltPluginAndDrawsTheArpeggio) {
    ScratchFolder scratch;
    const CommandResult result = runHostTool({"demo"}, scratch.Root());
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find(std::filesystem::path(SOREL_MODULE).lexically_normal().string()), std::string::npos);
    MidiSong demo;
    std::string error;
    ASSERT_TRUE(MidiFile::read(scratch.File("demo.mid"), demo, error)) << error;
    const auto ons = std::ranges::count_if(demo.events, &MidiEvent::isNoteOn);
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

// A ramp drawn with the mouse across the GATE lane in sorel-host gui (under
// Xvfb) is in the state the gui saves on closing, and render plays it.
TEST(SorelRenderTest, ARampDrawnInTheEditorIsSavedAndPlayedWithRisingLengths) {
    if (!sorel::testing::XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
    ScratchFolder scratch;
    const std::string state = scratch.File("ramp.state"), log = scratch.File("gui.log");
    constexpr int kSteps = 32, kGridLeft = 39, kGridBottom = 404;  // the pattern view's skin rectangle
    std::string drag = "xdotool search --sync --name 'sorel-host: Sorel' sleep 0.5";
    for (int step = 0; step < kSteps; ++step)
        drag += " mousemove --window %1 " + std::to_string(kGridLeft + 11 + 24 * step) + " " +
                std::to_string(kGridBottom - 4 - 3 * step) + (step == 0 ? " mousedown 1" : "");
    // A loaded machine may take seconds to open the editor; SIGTERM ends the
    // window as its close button does.
    const std::string gui = hostCommand({"gui", SOREL_MODULE, "--set", "Pattern Step mode=GATE", "--save-state", state});
    const CommandResult run = runCommand(gui + " >" + log + " & pid=$!; for i in $(seq 400); do grep -q 'editor of Sorel open' " +
                                         log + " && break; sleep 0.05; done; " + drag +
                                         " mouseup 1 sleep 0.2; dragged=$?; kill $pid; wait $pid && exit $dragged");
    ASSERT_EQ(run.exitCode, 0) << run.output;

    // C3 held for the pattern's 32 sixteenths.
    std::string error;
    const MidiSong held = songOf(kPpqn, {{0, 0x90, 48, 100}, {kSteps * kSixteenth, 0x80, 48, 0}}, kSteps * kSixteenth);
    ASSERT_TRUE(MidiFile::write(scratch.File("held.mid"), held, error)) << error;
    const CommandResult render =
        runHostTool({"render", SOREL_MODULE, scratch.File("held.mid"), scratch.File("out.mid"), "--state", state});
    ASSERT_EQ(render.exitCode, 0) << render.output;
    MidiSong played;
    ASSERT_TRUE(MidiFile::read(scratch.File("out.mid"), played, error)) << error;
    std::vector<int64_t> lengths;
    int64_t startedAt = -1;
    for (const MidiEvent& e : played.events) {
        if (e.isNoteOn()) startedAt = e.tick;
        if (e.isNoteOff() && startedAt >= 0) lengths.push_back(e.tick - std::exchange(startedAt, -1));
    }
    // Up to the middle of the ramp each note still ends before the next one starts.
    ASSERT_GE(lengths.size(), std::size_t(kSteps / 2));
    for (int step = 1; step < kSteps / 2; ++step) EXPECT_GE(lengths[step], lengths[step - 1]) << step;
    EXPECT_GT(lengths[kSteps / 2 - 1], 2 * lengths.front());
}

}  // namespace
}  // namespace sorel::host::test
