// The seven machine-wide on/off settings, kept in the settings file of the
// data folder and mirrored in the parameter table, and beside them the
// editor's scale, which the file keeps too but no parameter carries.
#pragma once

#include <array>
#include <cstdint>

#include "engine/ParameterIndex.h"

namespace sorel {

inline constexpr int kNormalGuiScale = 1;
inline constexpr int kTwiceGuiScale = 2;

// Only twice the size is kept as such; any other value shows the editor at its normal size.
constexpr int ValidGuiScale(int scale) { return scale == kTwiceGuiScale ? kTwiceGuiScale : kNormalGuiScale; }

struct GlobalSettings {
    bool enableMidiNoteNames = false;
    bool startNotesImmediately = false;
    bool useOnlyOrderOnOff = false;
    bool transposeAsSemitones = false;
    bool transposeAllOutputNotes = false;
    bool disableControlZone = false;
    bool gateLengthInSteps = false;
    int guiScale = kNormalGuiScale;  // editor pixels drawn as guiScale x guiScale screen pixels

    bool operator==(const GlobalSettings&) const = default;
};

// Each setting with its parameter and the label of its switch in the
// settings panel, in the settings file's line order.
struct GlobalSettingEntry {
    int parameter;
    bool GlobalSettings::*field;
    const char* label;
};

inline constexpr std::array<GlobalSettingEntry, 7> kGlobalSettingTable{{
    {param::kEnableMidiNoteNames, &GlobalSettings::enableMidiNoteNames, "Enable MIDI note names"},
    {param::kStartNotesImmediately, &GlobalSettings::startNotesImmediately, "Start notes immediately"},
    {param::kUseOnlyOrderOnOff, &GlobalSettings::useOnlyOrderOnOff, "Use only ORDER on/off"},
    {param::kTransposeAsSemitones, &GlobalSettings::transposeAsSemitones, "Transpose as semitones"},
    {param::kTransposeAllOutputNotes, &GlobalSettings::transposeAllOutputNotes, "Transpose all output notes"},
    {param::kDisableControlZone, &GlobalSettings::disableControlZone, "Disable Control Zone"},
    {param::kGateLengthInSteps, &GlobalSettings::gateLengthInSteps, "Gate length in steps"},
}};

inline constexpr int kGlobalSettingCount = static_cast<int>(kGlobalSettingTable.size());

// The table's entry of a parameter; null for any other parameter.
constexpr const GlobalSettingEntry* FindGlobalSetting(int parameter) {
    for (const GlobalSettingEntry& entry : kGlobalSettingTable)
        if (entry.parameter == parameter) return &entry;
    return nullptr;
}

// One bit per setting in table order and one above them for twice the size,
// for handing the settings between threads in one atomic word.
static_assert(kGlobalSettingCount < 8, "the settings and the scale share one byte");
inline constexpr std::uint8_t kTwiceGuiScaleBit = 1u << kGlobalSettingCount;

constexpr std::uint8_t PackSettings(const GlobalSettings& settings) {
    std::uint8_t bits = ValidGuiScale(settings.guiScale) == kTwiceGuiScale ? kTwiceGuiScaleBit : 0;
    for (int n = 0; n < kGlobalSettingCount; ++n)
        if (settings.*kGlobalSettingTable[static_cast<std::size_t>(n)].field) bits |= static_cast<std::uint8_t>(1u << n);
    return bits;
}

constexpr GlobalSettings UnpackSettings(std::uint8_t bits) {
    GlobalSettings settings;
    for (int n = 0; n < kGlobalSettingCount; ++n)
        settings.*kGlobalSettingTable[static_cast<std::size_t>(n)].field = (bits >> n) & 1u;
    settings.guiScale = (bits & kTwiceGuiScaleBit) ? kTwiceGuiScale : kNormalGuiScale;
    return settings;
}

}  // namespace sorel
