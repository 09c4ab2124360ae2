// Applies a read state to the plug-in and captures the plug-in's state for
// writing. Applying keeps each hold of the plug-in's lock short, so that
// block processing never waits long for a load.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "persistence/StateReader.h"
#include "persistence/StateTarget.h"

namespace sorel {

enum class LoadSource {
    HostChunk,   // restores everything, MIDI-learn map and locked parameters included
    PresetFile,  // leaves locked parameters and the MIDI-learn map alone
    Init,        // like a preset without data
};

// Parameters stored or copied per hold of the plug-in's lock, parameters
// handed to the engine per hold (each a call into the engine, which costs
// far more than a copy), and the pause after each hold in which a waiting
// block gets the lock: a lock taken again at once would keep it waiting
// through the whole load. Each hold stays well under 0.1 ms.
inline constexpr int kParametersStoredPerHold = 4096;
inline constexpr int kParametersAppliedPerHold = 256;
inline constexpr auto kPauseBetweenHolds = std::chrono::microseconds(50);

// Asked at the start of every lock hold: true stops the apply there, because
// a newer one has begun (it sets every field anew).
using SupersededCheck = std::function<bool()>;

// Tool buttons and menu actions are stored at rest and never carried out;
// the seven global settings come from the machine, not from the state.
// False when the apply was superseded and stopped early.
bool ApplyState(StateTarget& target, const StateImage& image, LoadSource source,
                const SupersededCheck& superseded = {});

PluginState CaptureState(StateTarget& target, const std::string& chordBankName);

}  // namespace sorel
