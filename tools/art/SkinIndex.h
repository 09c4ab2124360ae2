#pragma once

// Skin entries that the generated art lays itself out around.

namespace sorel::art::skin {

constexpr int kKnobRateFree = 3;
constexpr int kKeyAreaOnOff = 9;
constexpr int kAboutTriggerArea = 20;
constexpr int kVersionNumber = 21;
constexpr int kStatusBar = 22;
constexpr int kPatternView = 36;
constexpr int kFirstStepSwitch = 37;
constexpr int kFirstScenePatternCell = 70;
constexpr int kFirstSceneLengthCell = 86;
constexpr int kFirstSceneRepeatCell = 102;
constexpr int kSceneView = 118;
constexpr int kLoopControl = 124;
constexpr int kKeyboard = 127;
constexpr int kBoxSettingsButton = 141;
constexpr int kSpareLine = 164;
constexpr int kLinkArea = 165;
constexpr int kAboutBox = 167;
constexpr int kBackground = 168;

}  // namespace sorel::art::skin
