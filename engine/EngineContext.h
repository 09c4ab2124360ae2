// The hub of the engine that every engine object points to. The constructor
// builds the whole object graph in its fixed order; VardoApp enters itself.
#pragma once

#include <cstdint>
#include <memory>
#include <random>

#include "engine/EngineClock.h"

namespace sorel {

class KeyAreaList;
class EngineNotifier;
class NoteRouter;
class VardoApp;
class ChordMemoryBank;
class ControlZone;
struct TransportState;

struct EngineContext {
    explicit EngineContext(TransportState* transport);
    ~EngineContext();
    EngineContext(const EngineContext&) = delete;
    EngineContext& operator=(const EngineContext&) = delete;

    std::uint8_t startNotesImmediately = 0;  // global setting, read when a stepper starts
    std::uint8_t countGateOff = 0;           // set: "Arp on note count" is not applied
    bool gateInSteps = false;                // global setting "Gate length in steps"
    // Global setting "Use only ORDER on/off": the step switches of the other
    // lanes are ignored, their values always apply; only ORDER's switch mutes.
    bool useOnlyOrderOnOff = false;

    std::unique_ptr<KeyAreaList> keyAreas;
    std::unique_ptr<EngineNotifier> notifier;
    std::unique_ptr<NoteRouter> router;
    VardoApp* app = nullptr;
    std::unique_ptr<ChordMemoryBank> chordMemory;
    std::unique_ptr<ControlZone> controlZone;

    TransportState* transport = nullptr;
    EngineClock clock;

    // Shared by every stepper: numbers the step actions in creation order.
    std::uint64_t actionSequence = 0;

    // The random note picks of this instance's steppers. A fixed seed makes
    // the same input render the same output; each instance has its own, so
    // instances on different threads never share it.
    static constexpr std::uint32_t kDefaultRandomSeed = 5489u;
    std::mt19937 noteRandom{kDefaultRandomSeed};
    // The environment variable in which a host tool hands the plug-in another seed.
    static constexpr char kRandomSeedVariable[] = "SOREL_RANDOM_SEED";
};

}  // namespace sorel
