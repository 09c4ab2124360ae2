#include "frame/ParameterLayout.h"

#include <cstdio>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>

#include "engine/ChordShapeList.h"
#include "engine/ParameterDefaults.h"
#include "engine/ScaleTable.h"
#include "frame/MidiLearn.h"
#include "frame/NoteNames.h"

namespace sorel {

using namespace param;

ParameterLayout::ParameterLayout() : infos_(kCount) {
    for (int i = kFirstNoHostReport; i < kCount; ++i) infos_[static_cast<size_t>(i)].SetNoHostReport();
}

std::shared_ptr<const ParameterLayout> ParameterLayout::Shared(int hostCode, const ChordShapeList& shapes) {
    static std::mutex mutex;
    static std::map<std::pair<int, int>, std::shared_ptr<const ParameterLayout>> built;
    std::lock_guard lock(mutex);
    auto& layout = built[{hostCode, shapes.Count()}];
    if (!layout) {
        auto fresh = std::make_shared<ParameterLayout>();
        DefineSorelParameters(*fresh, hostCode);
        DefineChordShapeChoices(*fresh, shapes);
        layout = std::move(fresh);
    }
    return layout;
}

namespace {

constexpr int kNoteRange = 120;

std::string Format(const char* pattern, int a, int b = 0, int c = 0) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, pattern, a, b, c);
    return buffer;
}

std::string AreaName(const char* base, int area) { return base + Format(" T%d", area + 1); }
std::string PatternName(const char* base, int area, int pattern) {
    return base + Format(" T%d P%d", area + 1, pattern + 1);
}

std::shared_ptr<const DisplayTexts> TextList(std::initializer_list<const char*> texts) {
    auto list = std::make_shared<DisplayTexts>();
    int value = 0;
    for (const char* text : texts) list->emplace_back(value++, text);
    return list;
}

// Display texts shared by every slot of a family.
class TextLists {
public:
    explicit TextLists(int hostCode) : hostCode_(hostCode) {}

    // "first" .. "first + count - 1" for the values 0 .. count - 1.
    std::shared_ptr<const DisplayTexts> Numbers(int count, int first = 1) {
        auto& slot = numbers_[{count, first}];
        if (!slot) {
            auto list = std::make_shared<DisplayTexts>();
            for (int v = 0; v < count; ++v) list->emplace_back(v, std::to_string(v + first));
            slot = list;
        }
        return slot;
    }

    // Note name and octave of note v + shift for the values 0..119.
    std::shared_ptr<const DisplayTexts> Notes(int shift) {
        auto& slot = notes_[shift];
        if (!slot) {
            auto list = std::make_shared<DisplayTexts>();
            for (int v = 0; v < kNoteRange; ++v) list->emplace_back(v, NoteNameWithOctave(v + shift, hostCode_));
            slot = list;
        }
        return slot;
    }

private:
    int hostCode_;
    std::map<std::pair<int, int>, std::shared_ptr<const DisplayTexts>> numbers_;
    std::map<int, std::shared_ptr<const DisplayTexts>> notes_;
};

// "Off" and the scales, in the order of the engine's scale table.
std::shared_ptr<const DisplayTexts> ScaleTexts() {
    auto list = std::make_shared<DisplayTexts>();
    for (int v = 0; v < ScaleTable::kParameterEntries; ++v) list->emplace_back(v, ScaleTable::ParameterText(v));
    return list;
}

// A slot being described. Its default comes from the engine's one table of
// defaults, never from the description.
class Slot {
public:
    Slot(ParameterLayout& layout, int index) : info_(layout.Describe(index)), index_(index) {}

    void Double(std::string name, double minimum, double maximum, double step) {
        info_.InitDouble(std::move(name), DefaultValue(index_), minimum, maximum, step);
    }
    void Integer(std::string name, double minimum, double maximum) {
        info_.InitInteger(std::move(name), DefaultValue(index_), minimum, maximum);
    }
    void Enumeration(std::string name, int count) {
        info_.InitEnumeration(std::move(name), DefaultValue(index_), count);
    }
    void SetDisplayTexts(std::shared_ptr<const DisplayTexts> texts) { info_.SetDisplayTexts(std::move(texts)); }
    void SetKeptOnPresetLoadAtStart() { info_.SetKeptOnPresetLoadAtStart(); }

private:
    ParameterInfo& info_;
    int index_;
};

class Definer {
public:
    Definer(ParameterLayout& layout, int hostCode) : layout_(layout), texts_(hostCode) {}

    void DefineAll() {
        DefineGlobals();
        DefinePerArea();
        DefinePerPattern();
        DefinePerStep();
        DefineScenes();
        DefineTools();
        DefineControllerFamilies();
    }

private:
    Slot P(int index) { return Slot(layout_, index); }

    template <typename Fn>
    void ForAreas(Fn&& fn) {
        for (int area = 0; area < kKeyAreas; ++area) fn(area);
    }
    template <typename Fn>
    void ForPatterns(Fn&& fn) {
        for (int area = 0; area < kKeyAreas; ++area)
            for (int pattern = 0; pattern < kPatternsPerArea; ++pattern) fn(area, pattern, PatternIndex(area, pattern));
    }
    template <typename Fn>
    void ForSteps(Fn&& fn) {
        ForPatterns([&](int area, int pattern, int p) {
            for (int step = 0; step < kSteps; ++step) fn(area, pattern, p, step);
        });
    }

    void AreaSwitch(int first, const char* name) {
        ForAreas([&](int a) { P(first + a).Integer(AreaName(name, a), 0, 1); });
    }
    void PatternSwitch(int first, const char* name) {
        ForPatterns([&](int a, int pt, int p) { P(first + p).Integer(PatternName(name, a, pt), 0, 1); });
    }
    void PatternDouble(int first, const char* name, double lo, double hi, double step) {
        ForPatterns([&](int a, int pt, int p) { P(first + p).Double(PatternName(name, a, pt), lo, hi, step); });
    }
    template <typename Init>
    void StepFamily(int first, const char* name, Init&& init) {
        ForSteps([&](int a, int pt, int p, int s) {
            init(P(first + p * kSteps + s), Format(name, a + 1, pt + 1, s + 1));
        });
    }
    void Switch(int index, const char* name) { P(index).Integer(name, 0, 1); }
    void Enumeration(int index, const char* name, int count,
                     std::shared_ptr<const DisplayTexts> texts = nullptr) {
        P(index).Enumeration(name, count);
        if (texts) P(index).SetDisplayTexts(std::move(texts));
    }

    void DefineGlobals() {
        P(kGlobalVolume).Double("Global volume", 0, 127, 1);
        Enumeration(kKeyAreaSelection, "Key Area selection", kKeyAreas);
        Enumeration(kScale, "Scale", ScaleTable::kParameterEntries, ScaleTexts());
        Enumeration(kScaleKey, "Scale key ", 12,
                    TextList({"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"}));
        Enumeration(kScaleMode, "Scale mode", 12, texts_.Numbers(12));
        Enumeration(kChordMemorySelection, "Chord memory selection", 16, texts_.Numbers(16));
    }

    void DefinePerArea() {
        AreaSwitch(kNoteRelease, "Note release");
        AreaSwitch(kHoldTranspose, "Hold transpose");
        AreaSwitch(kHoldBypass, "Hold bypass");
        AreaSwitch(kHold, "Hold");
        AreaSwitch(kSceneOnOff, "Scene on/off");
        AreaSwitch(kSendCc, "Send CC");
        AreaSwitch(kCmTrigger, "CM Trigger");
        const auto velocityTexts = TextList({"Max", "Note", "First", "Last", "Average"});
        const auto noteCountTexts = TextList({"1", "2", "3", "4"});
        const auto holdSyncTexts = [&] {
            auto list = std::make_shared<DisplayTexts>(*texts_.Numbers(32));
            (*list)[0].second = "Next";
            return std::shared_ptr<const DisplayTexts>(list);
        }();
        ForAreas([&](int a) {
            P(kArpOnNoteCount + a).Enumeration(AreaName("Arp on note count", a), 4);
            P(kArpOnNoteCount + a).SetDisplayTexts(noteCountTexts);
            P(kVelocityMode + a).Enumeration(AreaName("Velocity mode", a), 5);
            P(kVelocityMode + a).SetDisplayTexts(velocityTexts);
            P(kKeyAreaOnOff + a).Integer(AreaName("Keyarea on/off", a), 0, 1);
            P(kMidiInChannel + a).Enumeration(AreaName("MIDI in channel", a), 16);
            P(kMidiInChannel + a).SetDisplayTexts(texts_.Numbers(16));
            P(kMidiOutChannel + a).Enumeration(AreaName("MIDI out channel", a), 16);
            P(kMidiOutChannel + a).SetDisplayTexts(texts_.Numbers(16));
            P(kKeyAreaPatterns + a).Enumeration(AreaName("Key Area Patterns", a), kPatternsPerArea);
            P(kKeyAreaPatterns + a).SetDisplayTexts(texts_.Numbers(kPatternsPerArea));
            P(kKeyAreaStartNote + a).Enumeration(AreaName("Key area start note", a), kNoteRange);
            P(kKeyAreaStartNote + a).SetDisplayTexts(texts_.Notes(0));
            P(kKeyAreaEndNote + a).Enumeration(AreaName("Key area end note", a), kNoteRange);
            P(kKeyAreaEndNote + a).SetDisplayTexts(texts_.Notes(1));
            P(kKeyAreaBaseNote + a).Enumeration(AreaName("Key area base note", a), kNoteRange);
            P(kKeyAreaBaseNote + a).SetDisplayTexts(texts_.Notes(0));
            P(kAreaVolume + a).Double(AreaName("Volume", a), -1, 1, 0);
            P(kHoldSync + a).Enumeration(AreaName("Hold sync", a), 32);
            P(kHoldSync + a).SetDisplayTexts(holdSyncTexts);
            P(kSceneEnd + a).Integer(AreaName("Scene end", a), 0, 16);
        });
    }

    void DefinePerPattern() {
        PatternDouble(kGate, "Gate", -100, 100, 1);
        PatternSwitch(kRateFreeToggle, "Rate free toggle");
        PatternDouble(kRate, "Rate", 0, 22, 1);
        PatternDouble(kRateFreeMode, "Rate Free mode", 1, 20, 0.1);
        PatternDouble(kSwing, "Swing", 0, 1, 0.01);
        PatternDouble(kOctaves, "Octaves", 1, 5, 1);
        PatternDouble(kTranspose, "Transpose", -12, 12, 1);
        PatternSwitch(kResetOnNewNote, "Reset on new note");
        PatternDouble(kHumanize, "Humanize", 0, 100, 1);
        const auto sortTexts = TextList({"Lo-Hi", "Hi-Lo", "As played", "Reversed", "Lo-Hi alt", "Hi-Lo alt",
                                         "As played alt", "Reversed alt"});
        const auto directionTexts = TextList({"Up", "Down", "Up Alt", "Down Alt"});
        ForPatterns([&](int a, int pt, int p) {
            P(kSortOrder + p).Enumeration(PatternName("Sort order", a, pt), 8);
            P(kSortOrder + p).SetDisplayTexts(sortTexts);
            P(kPatternSteps + p).Enumeration(PatternName("Pattern steps", a, pt), 32);
            P(kPatternSteps + p).SetDisplayTexts(texts_.Numbers(32));
            for (int lane = 0; lane < kLanes; ++lane) {
                P(kResetLaneOnPatternReset + p * kLanes + lane)
                    .Integer(PatternName("Reset nl on pattern reset", a, pt), 0, 1);
                P(kDirection + p * kLanes + lane).Enumeration(PatternName("Direction", a, pt), 4);
                P(kDirection + p * kLanes + lane).SetDisplayTexts(directionTexts);
            }
            P(kProbResetWithPattern + p).Integer(PatternName("Reset nl on pattern reset", a, pt), 0, 1);
            P(kProbDirection + p).Enumeration(PatternName("Direction", a, pt), 4);
            P(kProbDirection + p).SetDisplayTexts(directionTexts);
        });
    }

    void DefinePerStep() {
        ForSteps([&](int, int, int p, int s) {
            const std::string name = Format("Step on/off %d", s + 1);
            P(kStepOnOff + p * kSteps + s).Integer(name, 0, 1);
            for (int lane = 0; lane <= kProbLane; ++lane)
                P(LaneSwitch(p / kPatternsPerArea, p % kPatternsPerArea, lane, s)).Integer(name, 0, 1);
        });
        StepFamily(kStepLength, "Step length %d/%d/%d", [](Slot q, std::string n) { q.Integer(n, 1, 8); });
        StepFamily(kStepGate, "Step gate %d/%d/%d",
                   [](Slot q, std::string n) { q.Double(n, -100, 100, 1); });
        StepFamily(kStepAccent, "Step accent %d/%d/%d",
                   [](Slot q, std::string n) { q.Double(n, -100, 100, 1); });
        StepFamily(kStepTranspose, "Step transpose %d/%d/%d",
                   [](Slot q, std::string n) { q.Integer(n, -24, 24); });
        StepFamily(kStepDiv, "Step div %d/%d/%d", [](Slot q, std::string n) { q.Integer(n, 0, 7); });
        StepFamily(kStepShift, "Step shift %d/%d/%d",
                   [](Slot q, std::string n) { q.Double(n, -50, 50, 0.1); });
        const auto noteListTexts =
            TextList({"Play", "Off", "Previous", "First", "Last", "Highest", "Lowest", "Random"});
        StepFamily(kStepNoteList, "Step note list %d/%d/%d", [&](Slot q, std::string n) {
            q.Enumeration(n, 8);
            q.SetDisplayTexts(noteListTexts);
        });
        StepFamily(kStepChord, "Step chord %d/%d/%d", [](Slot q, std::string n) { q.Integer(n, 0, 255); });
        StepFamily(kStepProb, "Step prob %d/%d/%d",
                   [](Slot q, std::string n) { q.Double(n, 0, kSureChance, 1); });
        auto sourceTexts = std::make_shared<DisplayTexts>();
        for (int slot = 0; slot < 16; ++slot) sourceTexts->emplace_back(slot, Format("Chord memory %d", slot));
        StepFamily(kStepSource, "Step source %d/%d/%d", [&](Slot q, std::string n) {
            q.Enumeration(n, 16);
            q.SetDisplayTexts(sourceTexts);
        });
    }

    void DefineScenes() {
        for (int k = 0; k < kKeyAreas * kSceneSteps; ++k) {
            const int area = k / kSceneSteps, sceneStep = k % kSceneSteps;
            const std::string suffix = Format(" T%d S%d", area + 1, sceneStep + 1);
            P(kSceneStepLength + k).Enumeration("Scene step length" + suffix, 32);
            P(kSceneStepLength + k).SetDisplayTexts(texts_.Numbers(32));
            P(kSceneStepPattern + k).Enumeration("Scene step pattern" + suffix, kPatternsPerArea);
            P(kSceneStepPattern + k).SetDisplayTexts(texts_.Numbers(kPatternsPerArea));
            P(kSceneStepRepeat + k).Enumeration("Scene step repeat" + suffix, 32);
            P(kSceneStepRepeat + k).SetDisplayTexts(texts_.Numbers(32));
        }
    }

    void DefineTools() {
        P(kDrawTool).Integer("Draw tool", 0, 1);
        Switch(kSelectionTool, "Selection tool");
        Switch(kRandomize, "Randomize");
        Switch(kCopyTool, "Copy tool");
        Switch(kPasteTool, "Paste tool");
        Switch(kClearTool, "Clear tool");
        Switch(kPanicTool, "Panic tool");
        Switch(kBoxLeft, "Box left");
        Switch(kBoxRight, "Box right");
        Switch(kBoxBrowser, "Box browser");
        Switch(kBoxInfo, "Box info");
        Switch(kCmBoxLeft, "CM Box left");
        Switch(kCmBoxRight, "CM Box right");
        Enumeration(kChordMemoryApplyChordSelection, "Chord memory apply chord selection", 0);
        Switch(kCmCopyTool, "CM Copy tool");
        Switch(kCmPasteTool, "CM Paste tool");
        Switch(kCmClearTool, "CM Clear tool");
        Switch(kCmApply, "CM apply");
        Switch(kCmInvRight, "CM inv right");
        Switch(kCmInvLeft, "CM inv left");
        Switch(kLockGate, "Lock gate");
        Switch(kLockSwing, "Lock swing");
        Switch(kLockOctaves, "Lock octaves");
        Switch(kLockTranspose, "Lock transpose");
        Switch(kLockRate, "Lock rate");
        for (int lock = kLockGate; lock <= kLockRate; ++lock) P(lock).SetKeptOnPresetLoadAtStart();
        Enumeration(kControlZoneSync, "Control Zone sync", 4, TextList({"Next", "4", "8", "16"}));
        Switch(kResize, "Resize");
        Enumeration(kPatternStepMode, "Pattern Step mode", kFirstControllerLane + 1,
                    TextList({"ORDER", "CHRDMEM", "LENGTH", "GATE", "ACCENT", "TRANSP", "DIV", "SHIFT", "SEQ", "PROB"}));
        Enumeration(kMidiLearnMenu, "MIDI learn", 2, TextList({MidiLearn::kLearnItem, MidiLearn::kUnlearnItem}));
        Enumeration(kCopyMenu, "Copy", 3, TextList({"Copy", "Paste", "Paste to all"}));
        Enumeration(kCopyCcMenu, "Copy", 5,
                    TextList({"Copy", "Paste", "Paste to all", "Toggle send only CC", "Toggle trigger CM"}));
        Enumeration(kResetStepsMenu, "Reset steps", 5,
                    TextList({"Toggle On/Off", MidiLearn::kLearnItem, MidiLearn::kUnlearnItem, "Copy to all", "Reset steps"}));
        Enumeration(kMidiOutput, "MIDI output", 0);
        Switch(kBoxSettings, "Box settings");
    }

    void DefineControllerFamilies() {
        ForSteps([&](int a, int pt, int, int s) {
            for (int lane = kFirstControllerLane; lane < kLanes; ++lane) {
                P(CcLaneValue(a, pt, lane, s)).Integer(Format("Step CC  %d/%d/%d", a + 1, pt + 1, s + 1), 0, 127);
            }
        });
        Enumeration(kPatternCcSelection, "Pattern CC selection", kControllerLanes, texts_.Numbers(kControllerLanes));
        auto teachTexts = std::make_shared<DisplayTexts>();
        teachTexts->emplace_back(0, "-----");
        for (int v = 1; v <= 128; ++v) teachTexts->emplace_back(v, std::to_string(v - 1));
        Enumeration(kCcTeachSelection, "CC teach selection", 129, std::move(teachTexts));
        Switch(kCcTeach, "CC Teach");
        for (int controller = 0; controller < 128; ++controller)
            P(kControllerMap + controller).Integer("", -1, 100000);
    }

    ParameterLayout& layout_;
    TextLists texts_;
};

}  // namespace

void DefineSorelParameters(ParameterLayout& layout, int hostCode) { Definer(layout, hostCode).DefineAll(); }

void DefineChordShapeChoices(ParameterLayout& layout, const ChordShapeList& shapes) {
    // Without a chord table the entry keeps its empty definition.
    if (shapes.Count() == 0) return;
    auto texts = std::make_shared<DisplayTexts>();
    for (int i = 0; i < shapes.Count(); ++i) texts->emplace_back(i, shapes.Shape(i)->name);
    Slot choice(layout, kChordMemoryApplyChordSelection);
    choice.Enumeration("Chord memory apply chord selection", shapes.Count());
    choice.SetDisplayTexts(std::move(texts));
}

}  // namespace sorel
