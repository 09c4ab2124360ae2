#include "HostApplication.h"

#include "DemoSong.h"
#include "GuiHost.h"
#include "LoopPlayer.h"
#include "MidiFile.h"
#include "PianoRoll.h"
#include "ProgressBar.h"
#include "StateFile.h"
#include "engine/EngineContext.h"
#include "persistence/PresetFile.h"

#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <sstream>

namespace sorel::host {
namespace {

constexpr double kProgressAfterSeconds = 5.0;
const char* const kDemoOutput = "demo.mid";

const char* categoryName(VstIntPtr category) {
    static constexpr const char* kNames[] = {"unknown",    "effect",    "synth",   "analysis",
                                             "mastering",  "spatializer", "room fx", "surround fx",
                                             "restoration", "offline",  "shell",   "generator"};
    return category >= 0 && category < VstIntPtr(std::size(kNames)) ? kNames[category] : "?";
}

std::string flagNames(VstInt32 flags) {
    static constexpr std::pair<VstInt32, const char*> kFlags[] = {
        {effFlagsHasEditor, "editor"},         {effFlagsCanMono, "mono"},
        {effFlagsCanReplacing, "replacing"},   {effFlagsProgramChunks, "program chunks"},
        {effFlagsIsSynth, "synth"},            {effFlagsNoSoundInStop, "no sound in stop"},
        {effFlagsCanDoubleReplacing, "double replacing"}};
    std::string names;
    for (const auto& [bit, name] : kFlags)
        if (flags & bit) names += (names.empty() ? "" : ", ") + std::string(name);
    return names.empty() ? "none" : names;
}

std::string hex(VstInt32 value) {
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << std::setw(8) << std::setfill('0') << uint32_t(value);
    return text.str();
}

// A preset file holds its descriptive texts in a header before the state the
// plug-in reads; the state carries its own copy of the texts.
bool stripPresetHeader(std::vector<uint8_t>& preset) {
    if (preset.size() <= size_t(kPresetHeaderSize)) return false;
    preset.erase(preset.begin(), preset.begin() + kPresetHeaderSize);
    return true;
}

}  // namespace

int HostApplication::fail(const std::string& message) {
    err_ << "sorel-host: " << message << '\n';
    return kExitFailed;
}

bool HostApplication::failed(const std::string& message) {
    fail(message);
    return false;
}

int HostApplication::run(const std::vector<std::string>& arguments) {
    std::string error;
    const auto invocation = CommandLine::parse(arguments, error);
    if (!invocation) {
        err_ << "sorel-host: " << error << "\n\n" << CommandLine::usage();
        return kExitUsage;
    }
    return run(*invocation);
}

int HostApplication::run(const Invocation& invocation) {
    try {
        switch (invocation.command) {
        case Command::Info: return info(invocation);
        case Command::Render: return render(invocation);
        case Command::Demo: return demo(invocation);
        case Command::Gui: return gui(invocation);
        case Command::Help: out_ << CommandLine::usage(); return kExitOk;
        }
    } catch (const std::exception& problem) {
        return fail(problem.what());
    }
    return kExitUsage;
}

std::unique_ptr<HostedPlugin> HostApplication::loadPlugin(const std::string& path) {
    std::string error;
    auto plugin = HostedPlugin::load(path, error);
    if (!plugin) fail(error);
    return plugin;
}

int HostApplication::info(const Invocation& invocation) {
    auto plugin = loadPlugin(invocation.pluginPath);
    if (!plugin) return kExitFailed;
    const AEffect& effect = plugin->effect();
    const VstIntPtr category = plugin->category();
    out_ << "Plug-in:         " << plugin->path() << '\n'
         << "Name:            " << plugin->effectName() << '\n'
         << "Vendor:          " << plugin->vendorString() << '\n'
         << "Product:         " << plugin->productString() << '\n'
         << "Unique id:       '" << plugin->uniqueIdText() << "' (" << hex(effect.uniqueID) << ")\n"
         << "Version:         " << effect.version << '\n'
         << "Vendor version:  " << plugin->vendorVersion() << '\n'
         << "VST version:     " << plugin->vstVersion() << '\n'
         << "Category:        " << category << " (" << categoryName(category) << ")\n"
         << "Flags:           " << hex(effect.flags) << " (" << flagNames(effect.flags) << ")\n"
         << "Inputs:          " << effect.numInputs << '\n'
         << "Outputs:         " << effect.numOutputs << '\n'
         << "Initial delay:   " << effect.initialDelay << '\n'
         << "Parameters:      " << effect.numParams << '\n';
    if (plugin->reachesTable()) out_ << "Table:           " << plugin->namedParameterCount() << " parameters\n";
    out_ << "Programs:        " << effect.numPrograms << '\n'
         << "Chunks:          " << ((effect.flags & effFlagsProgramChunks) ? "yes" : "no") << '\n'
         << "Can do:\n";
    for (const char* question : {"receiveVstMidiEvent", "receiveVstEvents", "sendVstMidiEvent", "sendVstEvents",
                                 "receiveVstTimeInfo", "midiProgramNames", "offline", "bypass"}) {
        out_ << "  " << std::left << std::setw(21) << question << plugin->canDo(question) << '\n';
    }
    return kExitOk;
}

bool HostApplication::prepare(HostedPlugin& plugin, const Invocation& invocation) {
    plugin.setSampleRate(invocation.render.sampleRate);
    plugin.setMaxBlockSize(invocation.render.blockSize);
    if (!invocation.statePath.empty()) {
        std::vector<uint8_t> state;
        std::string error;
        if (!StateFile::read(invocation.statePath, state, error)) return failed(error);
        if (invocation.stateIsPreset && !stripPresetHeader(state))
            return failed(invocation.statePath + " is too short to be a preset");
        const size_t size = state.size();
        if (!plugin.setChunk(std::move(state), invocation.stateIsBank))
            return failed("the plug-in refused the state in " + invocation.statePath);
        if (!invocation.quiet) out_ << "loaded state " << invocation.statePath << " (" << size << " bytes)\n";
    }
    ParameterSetter setter(plugin, invocation.parameterCount.value_or(plugin.namedParameterCount()));
    for (const ParameterAssignment& assignment : invocation.assignments) {
        std::string shown;
        std::string error;
        if (!setter.apply(assignment, shown, error)) return failed(error);
        if (!invocation.quiet) out_ << "set " << assignment.name << " = " << shown << '\n';
    }
    return true;
}

bool HostApplication::renderAndWrite(HostedPlugin& plugin, const MidiSong& input, const Invocation& invocation,
                                     MidiSong& output) {
    Renderer renderer(plugin, input, invocation.render);
    const TempoMap tempo = invocation.render.beatsPerMinute
                               ? TempoMap(input, invocation.render.sampleRate, *invocation.render.beatsPerMinute)
                               : TempoMap(input, invocation.render.sampleRate);
    const double inputSeconds = tempo.ticksToSamples(input.lengthTicks) / invocation.render.sampleRate;
    ProgressBar bar(inputSeconds > kProgressAfterSeconds && !invocation.quiet);
    const RenderResult result = renderer.run([&bar](double fraction) { bar.update(fraction); });
    std::string error;
    if (!MidiFile::write(invocation.outputPath, result.output, error)) return failed(error);
    output = result.output;
    if (invocation.quiet) return true;
    out_ << "wrote " << invocation.outputPath << ": " << result.notesIn << " notes in, " << result.notesOut
         << " notes out";
    if (result.otherEventsOut > 0) out_ << ", " << result.otherEventsOut << " other events out";
    out_ << ", channels";
    if (result.channelsOut.empty()) out_ << " none";
    for (int channel : result.channelsOut) out_ << ' ' << channel;
    out_ << ", " << std::fixed << std::setprecision(2) << result.seconds << " s rendered\n";
    out_.unsetf(std::ios::fixed);
    if (result.eventsOutsideBlock > 0)
        err_ << "sorel-host: warning: the plug-in sent " << result.eventsOutsideBlock
             << " events with offsets outside their block\n";
    return true;
}

int HostApplication::render(const Invocation& invocation) {
    MidiSong input;
    std::string error;
    if (!MidiFile::read(invocation.inputPath, input, error)) return fail(error);
    // The plug-in reads it when it is created.
    if (invocation.seed) ::setenv(EngineContext::kRandomSeedVariable, std::to_string(*invocation.seed).c_str(), 1);
    auto plugin = loadPlugin(invocation.pluginPath);
    if (!plugin || !prepare(*plugin, invocation)) return kExitFailed;
    MidiSong output;
    return renderAndWrite(*plugin, input, invocation, output) ? kExitOk : kExitFailed;
}

std::vector<std::string> HostApplication::demoPluginCandidates() {
    std::vector<std::string> candidates;
    std::error_code code;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", code);
    if (!code) {
        const auto folder = self.parent_path();
        for (const char* relative : {"../../Sorel.so", "../Sorel.so", "Sorel.so"})
            candidates.push_back((folder / relative).lexically_normal().string());
    }
    if (const char* home = std::getenv("HOME")) candidates.push_back(std::string(home) + "/.vst/Sorel.so");
    return candidates;
}

int HostApplication::demo(const Invocation& given) {
    Invocation invocation = given;
    if (invocation.pluginPath.empty()) {
        const auto candidates = demoPluginCandidates();
        for (const std::string& candidate : candidates) {
            if (std::filesystem::is_regular_file(candidate)) {
                invocation.pluginPath = candidate;
                break;
            }
        }
        if (invocation.pluginPath.empty()) {
            std::string looked;
            for (const std::string& candidate : candidates) looked += "\n  " + candidate;
            return fail("Sorel.so not found; looked in:" + looked + "\nbuild it (scripts/build) or give --plugin PATH");
        }
    }
    if (invocation.outputPath.empty()) invocation.outputPath = kDemoOutput;
    if (!invocation.render.beatsPerMinute) invocation.render.beatsPerMinute = DemoSong::kBeatsPerMinute;

    auto plugin = loadPlugin(invocation.pluginPath);
    if (!plugin || !prepare(*plugin, invocation)) return kExitFailed;
    out_ << "Sorel demo: " << plugin->path() << "\nbuilt-in preset:\n";
    ParameterSetter setter(*plugin, plugin->namedParameterCount());
    for (const DemoSetting& setting : DemoSong::builtInPreset()) {
        std::string shown;
        std::string error;
        ParameterAssignment assignment = setting.assignment;
        std::string ignored;
        if (!setter.findIndex(assignment.name, ignored)) assignment.name = std::to_string(setting.fallbackIndex);
        if (!setter.apply(assignment, shown, error)) return fail(error);
        out_ << "  " << setting.assignment.name << " = " << shown << '\n';
    }
    const MidiSong input = DemoSong::chordProgression();
    MidiSong output;
    if (!renderAndWrite(*plugin, input, invocation, output)) return kExitFailed;
    out_ << '\n' << "played (C major, A minor, F major, G major, one bar each):\n"
         << PianoRoll::draw(input, invocation.rollBars) << '\n'
         << "Sorel sent:\n"
         << PianoRoll::draw(output, invocation.rollBars);
    return kExitOk;
}

int HostApplication::gui(const Invocation& invocation) {
    GuiHost window(out_);
    MidiSong song;
    std::string error;
    if (!invocation.inputPath.empty() && !MidiFile::read(invocation.inputPath, song, error)) return fail(error);
    auto plugin = loadPlugin(invocation.pluginPath);
    if (!plugin || !prepare(*plugin, invocation)) return kExitFailed;
    std::unique_ptr<LoopPlayer> player;
    if (!invocation.inputPath.empty()) {
        player = std::make_unique<LoopPlayer>(*plugin, song, invocation.render.beatsPerMinute);
        out_ << "playing " << invocation.inputPath << " in a loop of " << std::fixed << std::setprecision(2)
             << player->loopSeconds() << " s" << std::endl;
        out_.unsetf(std::ios::fixed);
    }
    if (player) player->start();
    const bool shown = window.run(*plugin, error);
    if (player) {
        player->stop();
        out_ << "played " << player->loopsPlayed() << " whole loops, " << player->notesOut() << " notes out\n";
    }
    if (!shown) return fail(error);
    if (!invocation.saveStatePath.empty()) {
        const std::vector<uint8_t> state = plugin->getChunk(invocation.stateIsBank);
        if (state.empty()) return fail("the plug-in gave no state to save");
        if (!StateFile::write(invocation.saveStatePath, state, error)) return fail(error);
        out_ << "saved state " << invocation.saveStatePath << " (" << state.size() << " bytes)\n";
    }
    return kExitOk;
}

}  // namespace sorel::host
