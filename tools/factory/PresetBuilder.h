// Builds one preset or chord-memory bank inside a real plug-in object: the
// plug-in is created the way the module creates it for a host, the recipe is
// applied through its parameter table by name (plus the lane loops, chord
// memory and controller numbers that live beside the table), and the result
// is captured with the plug-in's own state writer.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "LaneAddress.h"
#include "Recipe.h"
#include "persistence/BoxInfo.h"
#include "persistence/ChordBank.h"
#include "persistence/PluginState.h"

struct AEffect;

namespace sorel {
class Vardo;
class VardoStateTarget;
}

namespace sorel::factory {

class ParameterDirectory;


class PresetBuilder {
public:
    PresetBuilder();
    ~PresetBuilder();
    PresetBuilder(const PresetBuilder&) = delete;
    PresetBuilder& operator=(const PresetBuilder&) = delete;

    // Applies every line of a preset recipe; throws RecipeError on the first
    // unknown key, unknown parameter or bad value, and when a box info text is missing.
    void ApplyPreset(const Recipe& recipe);
    // Applies a bank recipe, which holds chord lines only.
    void ApplyBank(const Recipe& recipe);

    // The state a preset file carries, with the recipe's box info.
    PluginState CapturePreset();
    ChordBankData ChordMemory();

    Vardo& Plugin() { return *vardo_; }

private:
    void ApplyLine(const Recipe& recipe, const RecipeEntry& entry);
    void ApplyParameter(const Recipe& recipe, const RecipeEntry& entry, int index, std::string_view text);
    void ApplyLaneLine(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at, const std::string& what);
    void ApplySteps(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at);
    void ApplySwitches(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at);
    void ApplyLoop(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at);
    void ApplyLaneOn(const Recipe& recipe, const RecipeEntry& entry, const LaneAddress& at);
    void UpdateLaneLoop(const LaneAddress& at, const std::function<void(LaneLoop&)>& change);
    bool ApplyChordLine(const Recipe& recipe, const RecipeEntry& entry);
    void ApplyControllerNumber(const Recipe& recipe, const RecipeEntry& entry);
    // The index that `name` has at `expected`; a recipe error when the table names it otherwise.
    int NamedIndex(const Recipe& recipe, const RecipeEntry& entry, const std::string& name, int expected) const;

    AEffect* effect_ = nullptr;
    Vardo* vardo_ = nullptr;
    std::unique_ptr<VardoStateTarget> target_;
    std::unique_ptr<ParameterDirectory> directory_;
    BoxInfo info_;
};

}  // namespace sorel::factory
