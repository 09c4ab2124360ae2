// Indices of the parameter table. The index is a parameter's identity in the
// engine, the editor, MIDI learn and the stored state, so these numbers are
// part of every saved project and must never change.
//
// p = key area * 12 + pattern (0..47), lane 0..16, step 0..31, area 0..3,
// k = area * 16 + scene step (0..63).
//
// The families, their strides, and who handles a change of each. Every change
// goes through the frame's route table (frame/ParameterRoutes) first and then,
// unless its route keeps it, to the engine's setter of its family
// (engine/ParameterReceiver):
//
//   family                            index                              handled by
//   per step, 10 of 1536              first + p*32 + step                engine (steppers)
//   controller lane values, 12288     kStepCc + p*256 + (lane-9)*32 + s  engine (steppers)
//   lane switches of lanes 0..8       kLaneSwitch + (p*9 + lane)*32 + s  engine (steppers)
//   lane switches of lanes 9..16      kCcLaneSwitch + p*256 + ...        engine (steppers)
//   per pattern and lane, 2 of 816    first + p*17 + lane                engine (steppers)
//   per pattern, 10 of 48             first + p                          engine (key areas, steppers)
//   the PROB lane (appended): chance  kStepProb/kProbLaneSwitch + p*32+s engine (steppers)
//     per step and its switches, its
//     direction and reset, Humanize   kProbDirection/kProbReset/kHumanize + p
//   per key area, 19 of 4             first + area                       engine (key areas); the
//                                                                        pattern choice also the editor's model
//   scene steps, 3 of 64              first + k                          engine (key areas)
//   scale, chord memory, control zone one each                           engine
//   key area, lane and controller     kKeyAreaSelection, kPatternStepMode, the editor's model, CC teach;
//     lane selections                 kPatternCcSelection                the area also the engine
//   global volume, CC teach           kGlobalVolume, kCcTeach...         frame (output velocity, teach)
//   tools, buttons and menus          kDrawTool..kBoxSettings            frame's routes: editor actions,
//                                                                        presets, panic, MIDI learn; never
//                                                                        on a state load
//   locks                             kLockGate..kLockRate               frame (kept on preset load)
//   MIDI learn's controller map       kControllerMap + controller        MIDI learn (no route)
//   global settings, 7                see GlobalSettings.h               frame's routes, then the engine;
//                                                                        never from a state
#pragma once

namespace sorel::param {

constexpr int kCount = 59954;
constexpr int kFirstNoHostReport = 17080;  // changes from here on are never reported to the host

constexpr int kKeyAreas = 4;
constexpr int kPatternsPerArea = 12;
constexpr int kPatterns = kKeyAreas * kPatternsPerArea;  // 48
constexpr int kSteps = 32;
constexpr int kLanes = 17;
constexpr int kSceneSteps = 16;
constexpr int kControllerLanes = 8;      // lanes 9..16
constexpr int kFirstControllerLane = 9;
constexpr int kMidiControllers = 128;
// Per-pattern strides of the step families: all steps of a pattern's
// controller lanes, and of its lanes 0..8 in the lane-switch family.
constexpr int kControllerLaneStride = kControllerLanes * kSteps;       // 256
constexpr int kNoteLaneSwitchStride = kFirstControllerLane * kSteps;  // 288

// Global
constexpr int kGlobalVolume = 0;
constexpr int kKeyAreaSelection = 1;

// Per key area (first + area)
constexpr int kNoteRelease = 5;
constexpr int kHoldTranspose = 9;
constexpr int kHoldBypass = 13;
constexpr int kHold = 17;
constexpr int kSceneOnOff = 21;
constexpr int kArpOnNoteCount = 25;
constexpr int kVelocityMode = 413;
constexpr int kKeyAreaOnOff = 2865;
constexpr int kMidiInChannel = 17096;
constexpr int kMidiOutChannel = 17100;
constexpr int kKeyAreaPatterns = 17104;
constexpr int kKeyAreaStartNote = 17109;
constexpr int kKeyAreaEndNote = 17113;
constexpr int kKeyAreaBaseNote = 17117;
constexpr int kAreaVolume = 17121;
constexpr int kHoldSync = 18141;
constexpr int kSceneEnd = 30609;
constexpr int kSendCc = 56727;
constexpr int kCmTrigger = 56732;

// Per pattern (first + p)
constexpr int kGate = 29;
constexpr int kRateFreeToggle = 77;
constexpr int kRate = 125;
constexpr int kRateFreeMode = 173;
constexpr int kSortOrder = 221;
constexpr int kSwing = 269;
constexpr int kOctaves = 317;
constexpr int kTranspose = 365;
constexpr int kResetOnNewNote = 417;
constexpr int kPatternSteps = 2817;

// Per pattern and lane (first + p * 17 + lane)
constexpr int kResetLaneOnPatternReset = 465;
constexpr int kDirection = 17317;

// Per step (first + p * 32 + step)
constexpr int kStepOnOff = 1281;         // the ORDER lane's step switches
constexpr int kStepLength = 3256;
constexpr int kStepGate = 4792;
constexpr int kStepAccent = 6328;
constexpr int kStepTranspose = 7864;
constexpr int kStepDiv = 9400;
constexpr int kStepShift = 10936;
constexpr int kStepNoteList = 12472;
constexpr int kStepChord = 14008;
constexpr int kStepSource = 15544;

// Controller lane values (first + p * 256 + (lane - 9) * 32 + step), lanes 9..16
constexpr int kStepCc = 18173;
constexpr int kStepCcLast = 30460;

// Lane switches of lanes 0..8 (first + (p * 9 + lane) * 32 + step)
constexpr int kLaneSwitch = 30613;
constexpr int kLaneSwitchLast = 44436;
// Lane switches of the controller lanes 9..16 (first + p * 256 + (lane - 9) * 32 + step);
// a family of their own so that they never alias the next pattern's switches.
constexpr int kCcLaneSwitch = 44437;
constexpr int kCcLaneSwitchLast = 56724;

// The PROB lane and Humanize, appended after every older family so that no
// index a saved state, a preset or a learnt controller knows moves.
constexpr int kStepProb = 56738;          // + p * 32 + step: chance 0..100 %
constexpr int kProbLaneSwitch = 58274;    // + p * 32 + step: 1 uses the step's chance
constexpr int kHumanize = 59810;          // + p: 0..100 %
constexpr int kProbDirection = 59858;     // + p
constexpr int kProbResetWithPattern = 59906;  // + p
constexpr int kFirstAppended = kStepProb;

// Scale, shared by the four areas
constexpr int kScale = 3253;
constexpr int kScaleKey = 3254;
constexpr int kScaleMode = 3255;

// Chord memory and scenes
constexpr int kChordMemorySelection = 17080;
constexpr int kSceneStepLength = 17125;   // + k
constexpr int kSceneStepPattern = 17189;  // + k
constexpr int kSceneStepRepeat = 17253;   // + k

// Editor tools and menu actions
constexpr int kDrawTool = 18145;
constexpr int kSelectionTool = 18146;
constexpr int kRandomize = 18147;
constexpr int kCopyTool = 18148;
constexpr int kPasteTool = 18149;
constexpr int kClearTool = 18150;
constexpr int kPanicTool = 18151;
constexpr int kBoxLeft = 18152;
constexpr int kBoxRight = 18153;
constexpr int kBoxBrowser = 18154;
constexpr int kBoxInfo = 18156;
constexpr int kCmBoxLeft = 18158;
constexpr int kCmBoxRight = 18159;
constexpr int kChordMemoryApplyChordSelection = 18161;
constexpr int kCmCopyTool = 18162;
constexpr int kCmPasteTool = 18163;
constexpr int kCmClearTool = 18164;
constexpr int kCmApply = 18165;
constexpr int kCmInvRight = 18166;
constexpr int kCmInvLeft = 18167;
constexpr int kLockGate = 18168;
constexpr int kLockSwing = 18169;
constexpr int kLockOctaves = 18170;
constexpr int kLockTranspose = 18171;
constexpr int kLockRate = 18172;
constexpr int kPatternCcSelection = 30461;
constexpr int kCcTeachSelection = 30462;
constexpr int kCcTeach = 30463;
constexpr int kControlZoneSync = 30465;
constexpr int kResize = 30466;
constexpr int kPatternViewA = 30467;
constexpr int kPatternStepMode = 30469;
constexpr int kSceneViewA = 30471;
constexpr int kMidiLearnMenu = 30473;
constexpr int kCopyMenu = 30474;
constexpr int kCopyCcMenu = 30475;
constexpr int kResetStepsMenu = 30476;
constexpr int kMidiOutput = 30477;
constexpr int kControllerMap = 30478;  // + controller 0..127
constexpr int kBoxSettings = 30608;

// Global settings mirrored in the table
constexpr int kEnableMidiNoteNames = 30606;
constexpr int kStartNotesImmediately = 30607;
constexpr int kUseOnlyOrderOnOff = 56725;
constexpr int kTransposeAsSemitones = 56726;
constexpr int kTransposeAllOutputNotes = 56731;
constexpr int kDisableControlZone = 56736;
constexpr int kGateLengthInSteps = 56737;

// The lane that the appended families hold, beside the table's 17.
constexpr int kProbLane = kLanes;
constexpr int kAllLanes = kLanes + 1;
constexpr double kSureChance = 100.0;

constexpr int PatternIndex(int area, int pattern) { return area * kPatternsPerArea + pattern; }
constexpr int PerStep(int first, int area, int pattern, int step) {
    return first + PatternIndex(area, pattern) * kSteps + step;
}
constexpr int PerPatternLane(int first, int area, int pattern, int lane) {
    // The PROB lane's direction and reset are families of their own.
    if (lane == kProbLane) return (first == kDirection ? kProbDirection : kProbResetWithPattern) + PatternIndex(area, pattern);
    return first + PatternIndex(area, pattern) * kLanes + lane;
}
constexpr int CcLaneValue(int area, int pattern, int lane, int step) {
    return kStepCc + PatternIndex(area, pattern) * kControllerLaneStride + (lane - kFirstControllerLane) * kSteps +
           step;
}
constexpr int LaneSwitch(int area, int pattern, int lane, int step) {
    if (lane == kProbLane) return PerStep(kProbLaneSwitch, area, pattern, step);
    return lane < kFirstControllerLane
               ? kLaneSwitch + PatternIndex(area, pattern) * kNoteLaneSwitchStride + lane * kSteps + step
               : kCcLaneSwitch + PatternIndex(area, pattern) * kControllerLaneStride +
                     (lane - kFirstControllerLane) * kSteps + step;
}

// The controller lanes' switches say "step's controller off": their reset
// value 0 leaves a step's controller on. The note lanes' switches say "on".
constexpr bool SwitchMeansOff(int index) { return index >= kCcLaneSwitch && index <= kCcLaneSwitchLast; }
constexpr double SwitchValue(int index, bool on) { return on != SwitchMeansOff(index) ? 1.0 : 0.0; }
constexpr bool SwitchIsOn(int index, double value) { return (value >= 0.5) != SwitchMeansOff(index); }

// The family that holds each note lane's step values, by lane 0..8.
constexpr int kLaneValueFamily[kFirstControllerLane] = {kStepNoteList, kStepSource, kStepLength,
                                                        kStepGate,     kStepAccent, kStepTranspose,
                                                        kStepDiv,      kStepShift,  kStepChord};
// The value of one step of any lane 0..17.
constexpr int StepValue(int area, int pattern, int lane, int step) {
    if (lane == kProbLane) return PerStep(kStepProb, area, pattern, step);
    return lane < kFirstControllerLane ? PerStep(kLaneValueFamily[lane], area, pattern, step)
                                       : CcLaneValue(area, pattern, lane, step);
}

static_assert(LaneSwitch(0, 0, 0, 0) == 30613);
static_assert(LaneSwitch(3, 11, 8, 31) == kLaneSwitchLast);
static_assert(LaneSwitch(0, 0, 9, 0) == kCcLaneSwitch);
static_assert(LaneSwitch(3, 11, 16, 31) == kCcLaneSwitchLast);
static_assert(CcLaneValue(3, 11, 16, 31) == kStepCcLast);
static_assert(StepValue(0, 0, 2, 0) == kStepLength);
static_assert(StepValue(0, 0, 9, 0) == kStepCc);
static_assert(PerStep(kStepProb, 3, 11, 31) + 1 == kProbLaneSwitch);
static_assert(PerStep(kProbLaneSwitch, 3, 11, 31) + 1 == kHumanize);
static_assert(kProbResetWithPattern + kPatterns == kCount);

}  // namespace sorel::param

namespace sorel::lane {
// The lanes of a pattern by number, as the step families count them.
constexpr int kOrder = 0;
constexpr int kChordMemory = 1;
constexpr int kLength = 2;
constexpr int kGate = 3;
constexpr int kAccent = 4;
constexpr int kTranspose = 5;
constexpr int kDivide = 6;
constexpr int kShift = 7;
constexpr int kChord = 8;
constexpr int kFirstCc = param::kFirstControllerLane;
constexpr int kProb = param::kProbLane;
constexpr int kCount = param::kAllLanes;  // the table's 17 and PROB
constexpr int kCcCount = param::kControllerLanes;
}  // namespace sorel::lane
