#include "CommandLine.h"

#include <charconv>
#include <map>

namespace sorel::host {
namespace {

constexpr double kMinSampleRate = 8000.0;
constexpr double kMaxSampleRate = 384000.0;
constexpr int kMaxBlockSize = 8192;
constexpr double kMaxBeatsPerMinute = 999.0;
constexpr int kMaxParameterCount = 1 << 20;
constexpr int kMaxLoopPasses = 1000;
constexpr long long kMaxSeed = 0xFFFFFFFFLL;

template <typename Number>
bool parseNumber(const std::string& text, Number& value) {
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
    return code == std::errc() && end == text.data() + text.size();
}

bool parseLoop(const std::string& text, LoopRange& loop) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) return false;
    return parseNumber(text.substr(0, colon), loop.startQuarters) && parseNumber(text.substr(colon + 1), loop.endQuarters) &&
           loop.startQuarters >= 0.0 && loop.endQuarters > loop.startQuarters;
}

class OptionReader {
public:
    OptionReader(const std::vector<std::string>& arguments, std::string& error) : arguments_(arguments), error_(error) {}

    bool done() const { return next_ >= arguments_.size(); }
    const std::string& take() { return arguments_[next_++]; }
    bool value(const std::string& option, std::string& out) {
        if (done()) return fail(option + " needs a value");
        out = take();
        return true;
    }
    template <typename Number>
    bool number(const std::string& option, Number& out, Number low, Number high) {
        std::string text;
        if (!value(option, text)) return false;
        if (!parseNumber(text, out) || out < low || out > high)
            return fail(option + " takes a number from " + std::to_string(low) + " to " + std::to_string(high) +
                        ", not \"" + text + "\"");
        return true;
    }
    bool fail(const std::string& message) {
        error_ = message;
        return false;
    }

private:
    const std::vector<std::string>& arguments_;
    std::string& error_;
    size_t next_ = 0;
};

bool readAssignment(OptionReader& reader, const std::string& option, bool normalised, Invocation& invocation) {
    std::string text;
    if (!reader.value(option, text)) return false;
    auto assignment = ParameterAssignment::parse(text, normalised);
    if (!assignment) return reader.fail(option + " takes NAME=VALUE, not \"" + text + "\"");
    invocation.assignments.push_back(*assignment);
    return true;
}

bool readOption(OptionReader& reader, const std::string& option, Invocation& inv) {
    RenderOptions& r = inv.render;
    if (option == "--tempo") {
        double bpm = 0.0;
        if (!reader.number(option, bpm, 1.0, kMaxBeatsPerMinute)) return false;
        r.beatsPerMinute = bpm;
        return true;
    }
    if (option == "--sample-rate") return reader.number(option, r.sampleRate, kMinSampleRate, kMaxSampleRate);
    if (option == "--block-size") return reader.number(option, r.blockSize, 1, kMaxBlockSize);
    if (option == "--preset" || option == "--state") {
        inv.stateIsPreset = option == "--preset";
        return reader.value(option, inv.statePath);
    }
    if (option == "--bank") return inv.stateIsBank = true;
    if (option == "--save-state") return reader.value(option, inv.saveStatePath);
    if (option == "--set") return readAssignment(reader, option, false, inv);
    if (option == "--set-normalised") return readAssignment(reader, option, true, inv);
    if (option == "--param-count") {
        int count = 0;
        if (!reader.number(option, count, 0, kMaxParameterCount)) return false;
        inv.parameterCount = count;
        return true;
    }
    if (option == "--loop") {
        std::string text;
        LoopRange loop;
        if (!reader.value(option, text)) return false;
        if (!parseLoop(text, loop)) return reader.fail("--loop takes START:END in quarter notes with START < END");
        r.loop = loop;
        return true;
    }
    if (option == "--loop-passes") return reader.number(option, r.loopPasses, 1, kMaxLoopPasses);
    if (option == "--stopped") return r.stopped = true;
    if (option == "--tail-bars") return reader.number(option, r.tailBars, 0.0, 64.0);
    if (option == "--plugin") return reader.value(option, inv.pluginPath);
    if (option == "--out") return reader.value(option, inv.outputPath);
    if (option == "--bars") return reader.number(option, inv.rollBars, 1, 64);
    if (option == "--quiet") return inv.quiet = true;
    if (option == "--seed") {
        long long seed = 0;
        if (!reader.number(option, seed, 0LL, kMaxSeed)) return false;
        inv.seed = seed;
        return true;
    }
    return reader.fail("unknown option " + option);
}

bool takePositionals(std::vector<std::string>& positionals, Invocation& inv, std::string& error) {
    const std::map<Command, std::pair<size_t, size_t>> expected = {
        {Command::Info, {1, 1}}, {Command::Render, {3, 3}}, {Command::Demo, {0, 0}}, {Command::Gui, {1, 2}}};
    const auto [fewest, most] = expected.at(inv.command);
    if (positionals.size() < fewest || positionals.size() > most) {
        error = "wrong number of arguments";
        return false;
    }
    if (inv.command == Command::Info) inv.pluginPath = positionals[0];
    if (inv.command == Command::Gui) {
        inv.pluginPath = positionals[0];
        if (positionals.size() > 1) inv.inputPath = positionals[1];
    }
    if (inv.command == Command::Render) {
        inv.pluginPath = positionals[0];
        inv.inputPath = positionals[1];
        inv.outputPath = positionals[2];
    }
    return true;
}

}  // namespace

std::optional<Invocation> CommandLine::parse(const std::vector<std::string>& arguments, std::string& error) {
    Invocation inv;
    if (arguments.empty() || arguments[0] == "help" || arguments[0] == "--help" || arguments[0] == "-h") return inv;
    const std::map<std::string, Command> commands = {{"info", Command::Info}, {"render", Command::Render}, {"demo", Command::Demo},
                                                     {"gui", Command::Gui}};
    const auto command = commands.find(arguments[0]);
    if (command == commands.end()) {
        error = "unknown command \"" + arguments[0] + "\"";
        return std::nullopt;
    }
    inv.command = command->second;
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    OptionReader reader(rest, error);
    std::vector<std::string> positionals;
    while (!reader.done()) {
        const std::string& argument = reader.take();
        if (argument.size() > 2 && argument.rfind("--", 0) == 0) {
            if (!readOption(reader, argument, inv)) return std::nullopt;
        } else {
            positionals.push_back(argument);
        }
    }
    if (inv.render.stopped && inv.render.loop) {
        error = "--loop and --stopped exclude each other: a stopped transport does not loop";
        return std::nullopt;
    }
    if (!takePositionals(positionals, inv, error)) return std::nullopt;
    return inv;
}

std::string CommandLine::usage() {
    return R"(sorel-host: a small VST 2 host for the command line

usage:
  sorel-host info PLUGIN.so
      what a host's scanner sees: identity, flags, channels, category,
      MIDI and time abilities, parameters, programs, chunk support
  sorel-host render PLUGIN.so IN.mid OUT.mid [options]
      plays IN.mid into the plug-in and writes the MIDI it sends to OUT.mid
  sorel-host demo [--plugin Sorel.so] [--out demo.mid]
      renders a built-in chord progression through Sorel, writes demo.mid
      and prints a piano roll
  sorel-host gui PLUGIN.so [IN.mid] [options]
      shows the plug-in's editor in a window of its own; with IN.mid, plays
      it through the plug-in in a loop, in real time, with a running transport

render and gui options:
  --tempo BPM              fixed tempo instead of IN.mid's tempo map
  --sample-rate HZ         default 48000
  --block-size N           frames per block, default 512
  --preset FILE.v2z        load a Sorel preset first (its state, behind the header)
  --state FILE             hand a state chunk file (gzip or plain) to the plug-in first
  --bank                   hand the state over as a bank chunk
  --save-state FILE        gui: write the plug-in's state chunk to FILE when the
                           window closes (for render --state)
  --set NAME=VALUE         set a parameter (name or index) from a text
  --set-normalised NAME=X  set a parameter to X in 0..1
  --param-count N          how many parameters to search by name
  --loop START:END         loop the transport between two quarter-note positions
  --loop-passes N          times the loop plays before the song runs on (default 2)
  --stopped                keep the transport stopped while IN.mid plays
  --tail-bars N            bars rendered after the song ends (default 1)
  --bars N                 bars shown in the demo's piano roll (default 8)
  --quiet                  no summary
  --seed N                 another sequence of random note picks (0 to 4294967295)
)";
}

}  // namespace sorel::host
