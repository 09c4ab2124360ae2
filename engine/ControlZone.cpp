#include "engine/ControlZone.h"

#include <algorithm>

#include "engine/EngineContext.h"
#include "engine/EngineNotifier.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"

namespace sorel {

namespace {

// Keywords of the control-zone file, index = function number. Function 8
// (the SHIFT lane) has no keyword there.
constexpr std::array<std::string_view, ControlZone::kLastPattern + 1> kKeywords{
    "n/a",         "order",      "chordmemory", "length",    "gate",      "accent",    "transpose", "div",
    "",            "seq",        "previouspreset", "nextpreset", "hold",  "holdbypass", "panic",    "pattern1",
    "pattern2",    "pattern3",   "pattern4",    "pattern5",  "pattern6",  "pattern7",  "pattern8",  "pattern9",
    "pattern10",   "pattern11",  "pattern12",   "pattern13", "pattern14", "pattern15", "pattern16",
};

constexpr std::string_view kNoFunction = "n/a";
constexpr int kShiftLaneFunction = 8;

bool ValidFunction(int number) { return number >= ControlZone::kNone && number <= ControlZone::kLastPattern; }

}  // namespace

bool ControlZone::Handle(int note, int channel) {
    if (!Covers(note)) return false;
    if (note < lowKey_) return true;
    Run(KeyFunction(note));
    return true;
}

void ControlZone::Run(int function) {
    if (function >= kFirstLane && function <= kLastLane) return Notify(notify::kSelectLane, function - kFirstLane);
    switch (function) {
        case kPreviousPreset: return Notify(notify::kPreviousPreset, 0);
        case kNextPreset: return Notify(notify::kNextPreset, 0);
        case kHold: return Notify(notify::kHold, 0);
        case kHoldBypass: return Notify(notify::kHoldBypass, 0);
        case kPanic: return Notify(notify::kPanic, 0);
        default: break;
    }
    const int pattern = function - kFirstPattern;
    // "pattern13".."pattern16" name patterns no key area has.
    if (pattern >= 0 && pattern < kPlayablePatterns) SelectPattern(pattern);
}

void ControlZone::Notify(int code, int argument) {
    if (context_ && context_->notifier) context_->notifier->Notify(code, argument);
}

void ControlZone::SelectPattern(int pattern) {
    if (!context_ || !context_->keyAreas) return;
    if (PatternEngine* area = context_->keyAreas->Selected()) area->RequestPattern(pattern, sync_);
    Notify(notify::kSelectPattern, pattern);
}

void ControlZone::SetSyncParameter(int value) {
    // "Next" waits for the end of the step; the others every 4, 8 or 16 steps.
    sync_ = value <= 0 ? 0 : 1 << (std::min(value, 3) + 1);
}

void ControlZone::SetKeyFunction(int note, int number) {
    if (note < kLowKey || note > kHighKey || !ValidFunction(number)) return;
    keyFunctions_[static_cast<std::size_t>(note - kLowKey)] = number;
}

int ControlZone::KeyFunction(int note) const {
    if (note < kLowKey || note > kHighKey) return kNone;
    return keyFunctions_[static_cast<std::size_t>(note - kLowKey)];
}

void ControlZone::SetAssignment(const Assignment& assignment) {
    for (int i = 0; i < kKeyCount; ++i) {
        const int number = assignment[static_cast<std::size_t>(i)];
        keyFunctions_[static_cast<std::size_t>(i)] = ValidFunction(number) ? number : kNone;
    }
}

ControlZone::Assignment ControlZone::DefaultAssignment() {
    // Keys 12..23 run functions 1..12 (lanes, presets, hold); keys 24..35 select patterns 1..12.
    Assignment assignment{};
    constexpr int kFunctionKeys = 12;
    for (int i = 0; i < kKeyCount; ++i)
        assignment[static_cast<std::size_t>(i)] = i < kFunctionKeys ? i + 1 : kFirstPattern + (i - kFunctionKeys);
    return assignment;
}

std::array<std::string_view, ControlZone::kKeyCount> ControlZone::DefaultKeywords() {
    std::array<std::string_view, kKeyCount> keywords{};
    const Assignment defaults = DefaultAssignment();
    for (int i = 0; i < kKeyCount; ++i) keywords[static_cast<std::size_t>(i)] = KeywordOf(defaults[static_cast<std::size_t>(i)]);
    return keywords;
}

int ControlZone::FunctionFromKeyword(std::string_view keyword) {
    if (keyword.empty()) return kNone;
    const auto found = std::find(kKeywords.begin(), kKeywords.end(), keyword);
    return found == kKeywords.end() ? kNone : static_cast<int>(found - kKeywords.begin());
}

std::string_view ControlZone::KeywordOf(int number) {
    if (!ValidFunction(number) || kKeywords[static_cast<std::size_t>(number)].empty()) return kNoFunction;
    return kKeywords[static_cast<std::size_t>(number)];
}

const std::map<int, std::string>& ControlZone::Names() {
    static const std::map<int, std::string> names = [] {
        std::map<int, std::string> map;
        for (int number = kFirstLane; number <= kLastPattern; ++number) {
            if (number == kPreviousPreset || number == kNextPreset) continue;
            map.emplace(number, number == kShiftLaneFunction ? std::string("shift") : std::string(kKeywords[static_cast<std::size_t>(number)]));
        }
        return map;
    }();
    return names;
}

}  // namespace sorel
