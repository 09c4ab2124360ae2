// The control zone: while enabled, the lowest keys (up to the top key, 35 by
// default) never sound; each key runs its assigned function instead.
//
// Pattern keys ask the selected key area for the pattern themselves
// (RequestPattern with the zone's sync) and then raise notifier code 7 so the
// plug-in shows the pattern; the plug-in must not request it a second time.
// Lane keys raise code 8, "nextpreset"/"previouspreset" codes 5/6, "hold",
// "holdbypass" and "panic" codes 9/10/11: the plug-in carries these out,
// because they change parameters the editor and the saved state must follow.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>

namespace sorel {

struct EngineContext;

class ControlZone {
public:
    static constexpr int kLowKey = 12;
    static constexpr int kHighKey = 35;
    static constexpr int kKeyCount = kHighKey - kLowKey + 1;  // 24

    // Function numbers.
    static constexpr int kNone = 0;
    static constexpr int kFirstLane = 1;       // "order" .. "seq" select lanes 0..8
    static constexpr int kLastLane = 9;
    static constexpr int kPreviousPreset = 10;
    static constexpr int kNextPreset = 11;
    static constexpr int kHold = 12;
    static constexpr int kHoldBypass = 13;
    static constexpr int kPanic = 14;
    static constexpr int kFirstPattern = 15;   // "pattern1"
    static constexpr int kLastPattern = 30;    // "pattern16"
    static constexpr int kPlayablePatterns = 12;  // a key area has twelve; "pattern13".."pattern16" do nothing

    // Function number of each key kLowKey..kHighKey (index = note - kLowKey).
    using Assignment = std::array<int, kKeyCount>;

    explicit ControlZone(EngineContext* context = nullptr) : context_(context) {}
    void SetContext(EngineContext* context) { context_ = context; }

    // Called for every due note-on. True: a control key, consumed (it never
    // sounds); false: an ordinary note. The channel plays no part.
    bool Handle(int note, int channel);
    // True when the zone claims this note (note-ons and note-offs alike).
    bool Covers(int note) const { return enabled_ && note <= highKey_; }

    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }

    // Steps a requested pattern waits: 0 = the end of the current step, below 0 = the pattern's length.
    void SetSync(int steps) { sync_ = steps; }
    // The "Control Zone sync" parameter: 0 "Next", 1 "4", 2 "8", 3 "16".
    void SetSyncParameter(int value);
    int Sync() const { return sync_; }

    int LowKey() const { return lowKey_; }
    int HighKey() const { return highKey_; }

    // Keys outside the zone and numbers outside 0..30 are ignored.
    void SetKeyFunction(int note, int number);
    int KeyFunction(int note) const;  // 0 outside the zone
    // The whole assignment, e.g. as parsed from the control-zone file; bad numbers become 0.
    void SetAssignment(const Assignment& assignment);
    const Assignment& KeyFunctions() const { return keyFunctions_; }

    static Assignment DefaultAssignment();
    // The default assignment in control-zone file keywords ("n/a" where a function has none).
    static std::array<std::string_view, kKeyCount> DefaultKeywords();

    // Control-zone file keywords: exact match, case included; 0 for anything else.
    static int FunctionFromKeyword(std::string_view keyword);
    // The keyword of a function number, "n/a" for none (number 8 has no keyword).
    static std::string_view KeywordOf(int number);
    // The zone's own names of functions 1..9 and 12..30.
    static const std::map<int, std::string>& Names();

private:
    void Run(int function);
    void Notify(int code, int argument);
    void SelectPattern(int pattern);

    EngineContext* context_ = nullptr;
    bool enabled_ = true;
    int sync_ = 0;
    int lowKey_ = kLowKey;
    int highKey_ = kHighKey;
    Assignment keyFunctions_ = DefaultAssignment();
};

}  // namespace sorel
