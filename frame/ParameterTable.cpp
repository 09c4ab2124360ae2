#include "frame/ParameterTable.h"

#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>

#include "engine/ChordShapeList.h"
#include "engine/ScaleTable.h"
#include "frame/NoteNames.h"

namespace sorel {

using namespace param;

ParameterTable::ParameterTable() : params_(kCount) {
    for (int i = kFirstNoHostReport; i < kCount; ++i) params_[i].noHostReport = true;
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

class Definer {
public:
    Definer(ParameterTable& table, int hostCode) : table_(table), texts_(hostCode) {}

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
    Parameter& P(int index) { return *table_.Get(index); }

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
        ForAreas([&](int a) { P(first + a).InitInteger(AreaName(name, a), 0, 0, 1); });
    }
    void PatternSwitch(int first, const char* name) {
        ForPatterns([&](int a, int pt, int p) { P(first + p).InitInteger(PatternName(name, a, pt), 0, 0, 1); });
    }
    void PatternDouble(int first, const char* name, double def, double lo, double hi, double step) {
        ForPatterns([&](int a, int pt, int p) { P(first + p).InitDouble(PatternName(name, a, pt), def, lo, hi, step); });
    }
    template <typename Init>
    void StepFamily(int first, const char* name, Init&& init) {
        ForSteps([&](int a, int pt, int p, int s) {
            init(P(first + p * kSteps + s), Format(name, a + 1, pt + 1, s + 1));
        });
    }
    void Switch(int index, const char* name) { P(index).InitInteger(name, 0, 0, 1); }
    void Enumeration(int index, const char* name, int def, int count,
                     std::shared_ptr<const DisplayTexts> texts = nullptr) {
        P(index).InitEnumeration(name, def, count);
        if (texts) P(index).SetDisplayTexts(std::move(texts));
    }

    void DefineGlobals() {
        P(kGlobalVolume).InitDouble("Global volume", 64, 0, 127, 1);
        Enumeration(kKeyAreaSelection, "Key Area selection", 0, kKeyAreas);
        Enumeration(kScale, "Scale", 0, ScaleTable::kParameterEntries, ScaleTexts());
        Enumeration(kScaleKey, "Scale key ", 0, 12,
                    TextList({"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"}));
        Enumeration(kScaleMode, "Scale mode", 0, 12, texts_.Numbers(12));
        Enumeration(kChordMemorySelection, "Chord memory selection", 0, 16, texts_.Numbers(16));
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
        constexpr int kStartNotes[kKeyAreas] = {24, 48, 60, 72};
        constexpr int kEndNotes[kKeyAreas] = {46, 58, 70, 94};
        ForAreas([&](int a) {
            P(kArpOnNoteCount + a).InitEnumeration(AreaName("Arp on note count", a), 0, 4);
            P(kArpOnNoteCount + a).SetDisplayTexts(noteCountTexts);
            P(kVelocityMode + a).InitEnumeration(AreaName("Velocity mode", a), 1, 5);
            P(kVelocityMode + a).SetDisplayTexts(velocityTexts);
            P(kKeyAreaOnOff + a).InitInteger(AreaName("Keyarea on/off", a), a == 0 ? 1 : 0, 0, 1);
            P(kMidiInChannel + a).InitEnumeration(AreaName("MIDI in channel", a), 0, 16);
            P(kMidiInChannel + a).SetDisplayTexts(texts_.Numbers(16));
            P(kMidiOutChannel + a).InitEnumeration(AreaName("MIDI out channel", a), 0, 16);
            P(kMidiOutChannel + a).SetDisplayTexts(texts_.Numbers(16));
            P(kKeyAreaPatterns + a).InitEnumeration(AreaName("Key Area Patterns", a), 0, kPatternsPerArea);
            P(kKeyAreaPatterns + a).SetDisplayTexts(texts_.Numbers(kPatternsPerArea));
            P(kKeyAreaStartNote + a).InitEnumeration(AreaName("Key area start note", a), kStartNotes[a], kNoteRange);
            P(kKeyAreaStartNote + a).SetDisplayTexts(texts_.Notes(0));
            P(kKeyAreaEndNote + a).InitEnumeration(AreaName("Key area end note", a), kEndNotes[a], kNoteRange);
            P(kKeyAreaEndNote + a).SetDisplayTexts(texts_.Notes(1));
            P(kKeyAreaBaseNote + a).InitEnumeration(AreaName("Key area base note", a), kStartNotes[a], kNoteRange);
            P(kKeyAreaBaseNote + a).SetDisplayTexts(texts_.Notes(0));
            P(kAreaVolume + a).InitDouble(AreaName("Volume", a), 0, -1, 1, 0);
            P(kHoldSync + a).InitEnumeration(AreaName("Hold sync", a), 0, 32);
            P(kHoldSync + a).SetDisplayTexts(holdSyncTexts);
            P(kSceneEnd + a).InitInteger(AreaName("Scene end", a), 15, 0, 16);
        });
    }

    void DefinePerPattern() {
        PatternDouble(kGate, "Gate", -10, -100, 100, 1);
        PatternSwitch(kRateFreeToggle, "Rate free toggle");
        PatternDouble(kRate, "Rate", 12, 0, 22, 1);
        PatternDouble(kRateFreeMode, "Rate Free mode", 1, 1, 20, 0.1);
        PatternDouble(kSwing, "Swing", 0, 0, 1, 0.01);
        PatternDouble(kOctaves, "Octaves", 1, 1, 5, 1);
        PatternDouble(kTranspose, "Transpose", 0, -12, 12, 1);
        PatternSwitch(kResetOnNewNote, "Reset on new note");
        const auto sortTexts = TextList({"Lo-Hi", "Hi-Lo", "As played", "Reversed", "Lo-Hi alt", "Hi-Lo alt",
                                         "As played alt", "Reversed alt"});
        const auto directionTexts = TextList({"Up", "Down", "Up Alt", "Down Alt"});
        ForPatterns([&](int a, int pt, int p) {
            P(kSortOrder + p).InitEnumeration(PatternName("Sort order", a, pt), 0, 8);
            P(kSortOrder + p).SetDisplayTexts(sortTexts);
            P(kPatternSteps + p).InitEnumeration(PatternName("Pattern steps", a, pt), 31, 32);
            P(kPatternSteps + p).SetDisplayTexts(texts_.Numbers(32));
            for (int lane = 0; lane < kLanes; ++lane) {
                P(kResetLaneOnPatternReset + p * kLanes + lane)
                    .InitInteger(PatternName("Reset nl on pattern reset", a, pt), 0, 0, 1);
                P(kDirection + p * kLanes + lane).InitEnumeration(PatternName("Direction", a, pt), 0, 4);
                P(kDirection + p * kLanes + lane).SetDisplayTexts(directionTexts);
            }
        });
    }

    void DefinePerStep() {
        ForSteps([&](int, int, int p, int s) {
            const std::string name = Format("Step on/off %d", s + 1);
            P(kStepOnOff + p * kSteps + s).InitInteger(name, 1, 0, 1);
            for (int lane = 0; lane < kLanes; ++lane)
                P(LaneSwitch(p / kPatternsPerArea, p % kPatternsPerArea, lane, s)).InitInteger(name, 1, 0, 1);
        });
        StepFamily(kStepLength, "Step length %d/%d/%d", [](Parameter& q, std::string n) { q.InitInteger(n, 1, 1, 8); });
        StepFamily(kStepGate, "Step gate %d/%d/%d",
                   [](Parameter& q, std::string n) { q.InitDouble(n, 0, -100, 100, 1); });
        StepFamily(kStepAccent, "Step accent %d/%d/%d",
                   [](Parameter& q, std::string n) { q.InitDouble(n, 0, -100, 100, 1); });
        StepFamily(kStepTranspose, "Step transpose %d/%d/%d",
                   [](Parameter& q, std::string n) { q.InitInteger(n, 0, -24, 24); });
        StepFamily(kStepDiv, "Step div %d/%d/%d", [](Parameter& q, std::string n) { q.InitInteger(n, 0, 0, 7); });
        StepFamily(kStepShift, "Step shift %d/%d/%d",
                   [](Parameter& q, std::string n) { q.InitDouble(n, 0, -50, 50, 0.1); });
        const auto noteListTexts =
            TextList({"Play", "Off", "Previous", "First", "Last", "Highest", "Lowest", "Random"});
        StepFamily(kStepNoteList, "Step note list %d/%d/%d", [&](Parameter& q, std::string n) {
            q.InitEnumeration(n, 0, 8);
            q.SetDisplayTexts(noteListTexts);
        });
        StepFamily(kStepChord, "Step chord %d/%d/%d", [](Parameter& q, std::string n) { q.InitInteger(n, 0, 0, 255); });
        auto sourceTexts = std::make_shared<DisplayTexts>();
        for (int slot = 0; slot < 16; ++slot) sourceTexts->emplace_back(slot, Format("Chord memory %d", slot));
        StepFamily(kStepSource, "Step source %d/%d/%d", [&](Parameter& q, std::string n) {
            q.InitEnumeration(n, 0, 16);
            q.SetDisplayTexts(sourceTexts);
        });
    }

    void DefineScenes() {
        for (int k = 0; k < kKeyAreas * kSceneSteps; ++k) {
            const int area = k / kSceneSteps, sceneStep = k % kSceneSteps;
            const std::string suffix = Format(" T%d S%d", area + 1, sceneStep + 1);
            P(kSceneStepLength + k).InitEnumeration("Scene step length" + suffix, 31, 32);
            P(kSceneStepLength + k).SetDisplayTexts(texts_.Numbers(32));
            P(kSceneStepPattern + k).InitEnumeration("Scene step pattern" + suffix, 0, kPatternsPerArea);
            P(kSceneStepPattern + k).SetDisplayTexts(texts_.Numbers(kPatternsPerArea));
            P(kSceneStepRepeat + k).InitEnumeration("Scene step repeat" + suffix, 0, 32);
            P(kSceneStepRepeat + k).SetDisplayTexts(texts_.Numbers(32));
        }
    }

    void DefineTools() {
        P(kDrawTool).InitInteger("Draw tool", 1, 0, 1);
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
        Enumeration(kChordMemoryApplyChordSelection, "Chord memory apply chord selection", 0, 0);
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
        for (int lock = kLockGate; lock <= kLockRate; ++lock) P(lock).keepOnPresetLoad = true;
        Enumeration(kControlZoneSync, "Control Zone sync", 0, 4, TextList({"Next", "4", "8", "16"}));
        Switch(kResize, "Resize");
        Enumeration(kPatternStepMode, "Pattern Step mode", 0, 9,
                    TextList({"ORDER", "CHRDMEM", "LENGTH", "GATE", "ACCENT", "TRANSP", "DIV", "SHIFT", "SEQ"}));
        Enumeration(kMidiLearnMenu, "MIDI learn", 0, 2, TextList({"MIDI learn", "MIDI unlearn"}));
        Enumeration(kCopyMenu, "Copy", 0, 3, TextList({"Copy", "Paste", "Paste to all"}));
        Enumeration(kCopyCcMenu, "Copy", 0, 5,
                    TextList({"Copy", "Paste", "Paste to all", "Toggle send only CC", "Toggle trigger CM"}));
        Enumeration(kResetStepsMenu, "Reset steps", 0, 5,
                    TextList({"Toggle On/Off", "MIDI learn", "MIDI unlearn", "Copy to all", "Reset steps"}));
        Enumeration(kMidiOutput, "MIDI output", 0, 0);
        Switch(kBoxSettings, "Box settings");
    }

    void DefineControllerFamilies() {
        ForSteps([&](int a, int pt, int, int s) {
            for (int lane = kFirstControllerLane; lane < kLanes; ++lane) {
                P(CcLaneValue(a, pt, lane, s)).InitInteger(Format("Step CC  %d/%d/%d", a + 1, pt + 1, s + 1), 0, 0, 127);
            }
        });
        Enumeration(kPatternCcSelection, "Pattern CC selection", 0, kControllerLanes, texts_.Numbers(kControllerLanes));
        auto teachTexts = std::make_shared<DisplayTexts>();
        teachTexts->emplace_back(0, "-----");
        for (int v = 1; v <= 128; ++v) teachTexts->emplace_back(v, std::to_string(v - 1));
        Enumeration(kCcTeachSelection, "CC teach selection", 0, 129, std::move(teachTexts));
        Switch(kCcTeach, "CC Teach");
        for (int controller = 0; controller < 128; ++controller)
            P(kControllerMap + controller).InitInteger("", -1, -1, 100000);
    }

    ParameterTable& table_;
    TextLists texts_;
};

}  // namespace

void DefineSorelParameters(ParameterTable& table, int hostCode) { Definer(table, hostCode).DefineAll(); }

void DefineChordShapeChoices(ParameterTable& table, const ChordShapeList& shapes) {
    // Without a chord table the entry keeps its empty definition.
    if (shapes.Count() == 0) return;
    auto texts = std::make_shared<DisplayTexts>();
    for (int i = 0; i < shapes.Count(); ++i) texts->emplace_back(i, shapes.Shape(i)->name);
    Parameter& choice = *table.Get(kChordMemoryApplyChordSelection);
    choice.InitEnumeration("Chord memory apply chord selection", 0, shapes.Count());
    choice.SetDisplayTexts(std::move(texts));
}

}  // namespace sorel
