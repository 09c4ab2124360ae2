#include "PresetBuilder.h"

#include <algorithm>
#include <charconv>
#include <functional>

#include "ParameterDirectory.h"
#include "engine/ParameterIndex.h"
#include "frame/Vardo.h"
#include "module/vst2/IPlugVST.h"
#include "persistence/StateApplier.h"
#include "persistence/VardoPersistence.h"
#include "persistence/VardoStateTarget.h"

namespace sorel::factory {

namespace {

using namespace sorel::param;

// The factory builds presets without a host: nothing to report to, no time.
VstIntPtr SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The same steps as the module's entry: the plug-in object with its persistence.
std::unique_ptr<PluginCore> BuildPlugin(PluginHost& host) {
    auto plugin = std::make_unique<Vardo>(host);
    plugin->SetPersistenceHooks(MakePersistenceHooks(*plugin));
    return plugin;
}

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "Play*4" stands for four "Play" items.
std::vector<std::string> ExpandList(const Recipe& recipe, const RecipeEntry& entry) {
    std::vector<std::string> items;
    for (const std::string& item : SplitList(entry.value, ',')) {
        const size_t star = item.rfind('*');
        if (star == std::string::npos) {
            items.push_back(item);
            continue;
        }
        const auto count = ParseInt(Trim(std::string_view(item).substr(star + 1)));
        if (!count || *count < 1 || *count > kSteps) recipe.Fail(entry, "\"" + item + "\": a repeat count of 1..32 must follow '*'");
        items.insert(items.end(), static_cast<size_t>(*count), std::string(Trim(std::string_view(item).substr(0, star))));
    }
    return items;
}

// "on"/"off" as the table's 1/0.
std::string_view Switch(const Recipe& recipe, const RecipeEntry& entry, std::string_view text) {
    if (text == "on" || text == "1") return "1";
    if (text == "off" || text == "0") return "0";
    recipe.Fail(entry, "\"" + std::string(text) + "\" is neither on nor off");
}

// Tool buttons, menu actions, locks, the MIDI-learn map and the machine's
// global settings are not what a preset is made of.
bool IsPresetSetting(int index) {
    if (index >= kDrawTool && index <= kLockRate) return false;
    if (index >= kCcTeachSelection && index <= kBoxSettings && index != kControlZoneSync) return false;
    for (int setting : {kUseOnlyOrderOnOff, kTransposeAsSemitones, kTransposeAllOutputNotes, kDisableControlZone, kGateLengthInSteps})
        if (index == setting) return false;
    return true;
}

std::string AreaPatternName(const char* base, const LaneAddress& at) {
    return std::string(base) + " T" + std::to_string(at.area + 1) + " P" + std::to_string(at.pattern + 1);
}

}  // namespace

PresetBuilder::PresetBuilder() {
    effect_ = CreateEffect(&SilentHost, &BuildPlugin);
    if (effect_ == nullptr) throw std::runtime_error("the plug-in could not be created");
    effect_->dispatcher(effect_, effOpen, 0, 0, nullptr, 0.0f);
    vardo_ = static_cast<Vardo*>(CoreOf(effect_));
    // Factory content must not depend on the settings of the machine it is built on.
    vardo_->ApplyGlobalSettings(GlobalSettings{});
    target_ = std::make_unique<VardoStateTarget>(*vardo_);
    directory_ = std::make_unique<ParameterDirectory>(vardo_->Params());
}

PresetBuilder::~PresetBuilder() {
    if (effect_ != nullptr) effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
}

void PresetBuilder::ApplyPreset(const Recipe& recipe) {
    for (const RecipeEntry& entry : recipe.Entries()) ApplyLine(recipe, entry);
    const std::pair<const char*, const std::string*> texts[] = {
        {"name", &info_.name}, {"author", &info_.author}, {"description", &info_.description}, {"usage", &info_.usage}};
    for (const auto& [key, text] : texts) {
        if (Trim(*text).empty()) recipe.Fail(0, std::string("the box info text \"") + key + "\" is missing");
    }
}

void PresetBuilder::ApplyBank(const Recipe& recipe) {
    for (const RecipeEntry& entry : recipe.Entries()) {
        if (!ApplyChordLine(recipe, entry)) recipe.Fail(entry, "a chord-memory bank holds only \"chord <slot>\" lines, not \"" + entry.key + "\"");
    }
}

PluginState PresetBuilder::CapturePreset() {
    PluginState state = CaptureState(*target_, "");
    state.boxInfo = info_;
    return state;
}

ChordBankData PresetBuilder::ChordMemory() {
    TargetLock lock(*target_);
    return target_->GetChordMemory();
}

void PresetBuilder::ApplyLine(const Recipe& recipe, const RecipeEntry& entry) {
    struct InfoField {
        const char* key;
        std::string BoxInfo::*text;
        size_t width;
    };
    static constexpr InfoField kInfoFields[] = {{"name", &BoxInfo::name, BoxInfo::kNameWidth},
                                                {"author", &BoxInfo::author, BoxInfo::kAuthorWidth},
                                                {"description", &BoxInfo::description, BoxInfo::kDescriptionWidth},
                                                {"usage", &BoxInfo::usage, BoxInfo::kUsageWidth}};
    for (const InfoField& field : kInfoFields) {
        if (entry.key != field.key) continue;
        if (entry.value.size() >= field.width)
            recipe.Fail(entry, "the " + entry.key + " has " + std::to_string(entry.value.size()) + " characters, at most " +
                                   std::to_string(field.width - 1) + " fit");
        info_.*field.text = entry.value;
        return;
    }
    const std::vector<std::string> words = SplitWords(entry.key);
    static constexpr const char* kLaneDirectives[] = {"steps", "switches", "loop", "lane", "direction", "reset"};
    for (const char* directive : kLaneDirectives) {
        if (words.front() != directive) continue;
        const auto at = LaneAddress::Parse(words, 1);
        if (!at) recipe.Fail(entry, "\"" + entry.key + "\": expected \"" + directive + " T<1-4> P<1-12> <lane>\" with a lane of ORDER, CHRDMEM, LENGTH, GATE, ACCENT, TRANSP, DIV, SHIFT, CHORD, CC1..CC8");
        ApplyLaneLine(recipe, entry, *at, directive);
        return;
    }
    if (ApplyChordLine(recipe, entry)) return;
    if (words.front() == "cc") return ApplyControllerNumber(recipe, entry);

    // A recipe line loses trailing blanks, which one name ("Scale key ") ends in.
    const std::vector<int>& named = directory_->IndicesOf(entry.key);
    const std::vector<int>& indices = named.empty() ? directory_->IndicesOf(entry.key + " ") : named;
    if (indices.empty()) recipe.Fail(entry, "unknown parameter \"" + entry.key + "\"");
    if (indices.size() > 1)
        recipe.Fail(entry, "\"" + entry.key + "\" names " + std::to_string(indices.size()) + " parameters; address the lane with steps, switches, direction or reset");
    ApplyParameter(recipe, entry, indices.front(), entry.value);
}

void PresetBuilder::ApplyParameter(const Recipe& recipe, const RecipeEntry& entry, int index, std::string_view text) {
    if (!IsPresetSetting(index))
        recipe.Fail(entry, "\"" + vardo_->Params().Get(index)->Name() + "\" is no preset setting");
    std::string problem;
    const auto value = directory_->ValueFor(index, text, problem);
    if (!value) recipe.Fail(entry, problem);
    vardo_->SetParameterValue(index, *value, ChangeSource::Host);
}

int PresetBuilder::NamedIndex(const Recipe& recipe, const RecipeEntry& entry, const std::string& name, int expected) const {
    const std::vector<int>& indices = directory_->IndicesOf(name);
    if (std::find(indices.begin(), indices.end(), expected) == indices.end())
        recipe.Fail(entry, "the plug-in has no parameter \"" + name + "\" for this lane");
    return expected;
}

void PresetBuilder::ApplyLaneLine(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at, const std::string& what) {
    if (what == "steps") return ApplySteps(recipe, entry, at);
    if (what == "switches") return ApplySwitches(recipe, entry, at);
    if (what == "loop") return ApplyLoop(recipe, entry, at);
    if (what == "lane") return ApplyLaneOn(recipe, entry, at);
    if (what == "direction") {
        const int index = NamedIndex(recipe, entry, AreaPatternName("Direction", at), PerPatternLane(kDirection, at.area, at.pattern, at.lane));
        return ApplyParameter(recipe, entry, index, entry.value);
    }
    const int index = NamedIndex(recipe, entry, AreaPatternName("Reset nl on pattern reset", at),
                                 PerPatternLane(kResetLaneOnPatternReset, at.area, at.pattern, at.lane));
    ApplyParameter(recipe, entry, index, Switch(recipe, entry, entry.value));
}

void PresetBuilder::ApplySteps(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at) {
    const std::vector<std::string> values = ExpandList(recipe, entry);
    if (values.size() > static_cast<size_t>(kSteps))
        recipe.Fail(entry, std::to_string(values.size()) + " values for a lane of 32 steps");
    for (size_t step = 0; step < values.size(); ++step) {
        const int s = static_cast<int>(step);
        ApplyParameter(recipe, entry, NamedIndex(recipe, entry, at.StepParameterName(s), at.StepParameterIndex(s)), values[step]);
    }
}

void PresetBuilder::ApplySwitches(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at) {
    const std::vector<std::string> values = ExpandList(recipe, entry);
    if (values.size() > static_cast<size_t>(kSteps))
        recipe.Fail(entry, std::to_string(values.size()) + " switches for a lane of 32 steps");
    for (size_t step = 0; step < values.size(); ++step) {
        const int s = static_cast<int>(step);
        const std::string name = "Step on/off " + std::to_string(s + 1);
        const int index = LaneSwitch(at.area, at.pattern, at.lane, s);
        const bool on = Switch(recipe, entry, values[step]) == "1";
        const std::string_view value = SwitchValue(index, on) == 1.0 ? "1" : "0";
        // The ORDER lane's switches exist twice; both must agree, or a later load would undo one.
        if (at.lane == 0) ApplyParameter(recipe, entry, NamedIndex(recipe, entry, name, PerStep(kStepOnOff, at.area, at.pattern, s)), value);
        ApplyParameter(recipe, entry, NamedIndex(recipe, entry, name, index), value);
    }
}

void PresetBuilder::ApplyLoop(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at) {
    const std::vector<std::string> words = SplitWords(entry.value);
    const auto first = words.size() == 2 ? ParseInt(words[0]) : std::nullopt;
    const auto last = words.size() == 2 ? ParseInt(words[1]) : std::nullopt;
    if (!first || !last || *first < 1 || *first > *last || *last > kSteps)
        recipe.Fail(entry, "a loop is \"<first step> <last step>\" within 1..32, found \"" + entry.value + "\"");
    UpdateLaneLoop(at, [&](LaneLoop& loop) {
        loop.start = *first - 1;
        loop.end = *last;
    });
}

void PresetBuilder::ApplyLaneOn(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at) {
    const bool on = Switch(recipe, entry, entry.value) == "1";
    UpdateLaneLoop(at, [&](LaneLoop& loop) { loop.enabled = on; });
}

void PresetBuilder::UpdateLaneLoop(const LaneAddress& at, const std::function<void(LaneLoop&)>& change) {
    TargetLock lock(*target_);
    LaneLoop loop = target_->GetLaneLoop(at.area, at.pattern, at.lane);
    change(loop);
    target_->SetLaneLoop(at.area, at.pattern, at.lane, loop);
}

bool PresetBuilder::ApplyChordLine(const Recipe& recipe, const RecipeEntry& entry) {
    const std::vector<std::string> words = SplitWords(entry.key);
    if (words.front() != "chord") return false;
    const auto slot = words.size() >= 2 ? ParseInt(words[1]) : std::nullopt;
    const bool isBase = words.size() == 3 && words[2] == "base";
    if (!slot || *slot < 1 || *slot > kChordSlots || (words.size() == 3 && !isBase) || words.size() > 3)
        recipe.Fail(entry, "\"" + entry.key + "\": expected \"chord <1-16>\" or \"chord <1-16> base\"");
    std::string list = entry.value;
    std::replace(list.begin(), list.end(), ',', ' ');
    std::vector<int32_t> notes;
    // Chord notes live in the slot's frame of three octaves around its base note.
    constexpr int kHighestChordNote = 35;
    for (const std::string& word : SplitWords(list)) {
        const auto note = ParseInt(word);
        if (!note || *note < 0 || *note > kHighestChordNote) recipe.Fail(entry, "\"" + word + "\" is no chord note (0..35)");
        if (std::find(notes.begin(), notes.end(), *note) != notes.end()) recipe.Fail(entry, "note " + word + " appears twice");
        notes.push_back(*note);
    }
    if (isBase && notes.size() != 1) recipe.Fail(entry, "a base is one note (0..35)");
    if (notes.size() > static_cast<size_t>(kChordSlotCapacity))
        recipe.Fail(entry, std::to_string(notes.size()) + " notes, a chord holds at most " + std::to_string(kChordSlotCapacity));
    TargetLock lock(*target_);
    ChordBankData bank = target_->GetChordMemory();
    ChordSlotData& data = bank.slots[static_cast<size_t>(*slot - 1)];
    if (isBase) data.baseNote = notes.front();
    else data.notes = notes;
    target_->SetChordMemory(bank);
    return true;
}

void PresetBuilder::ApplyControllerNumber(const Recipe& recipe, const RecipeEntry& entry) {
    const std::vector<std::string> words = SplitWords(entry.key);
    const auto area = words.size() == 3 ? ParseNumbered(words[1], 'T', kKeyAreas) : std::nullopt;
    const auto lane = words.size() == 3 ? ParseInt(words[2]) : std::nullopt;
    if (!area || !lane || *lane < 1 || *lane > kControllerLanes)
        recipe.Fail(entry, "\"" + entry.key + "\": expected \"cc T<1-4> <controller lane 1-8>\"");
    const auto number = entry.value == "none" ? std::optional<int>(kNoController) : ParseInt(entry.value);
    if (!number || *number < kNoController || *number > 127)
        recipe.Fail(entry, "\"" + entry.value + "\" is no controller number (0..127 or none)");
    TargetLock lock(*target_);
    auto numbers = target_->GetStepCcNumbers();
    numbers[static_cast<size_t>(*area * kControllerLanes + *lane - 1)] = *number;
    target_->SetStepCcNumbers(numbers);
}

}  // namespace sorel::factory
