#include "engine/EngineContext.h"

#include "engine/ChordMemoryBank.h"
#include "engine/ControlZone.h"
#include "engine/EngineNotifier.h"
#include "engine/KeyAreaList.h"
#include "engine/NoteRouter.h"
#include "engine/PatternEngine.h"

namespace sorel {

EngineContext::EngineContext(TransportState* transportState) : transport(transportState) {
    notifier = std::make_unique<EngineNotifier>();
    keyAreas = std::make_unique<KeyAreaList>(this, transportState);
    router = std::make_unique<NoteRouter>(this);
    chordMemory = std::make_unique<ChordMemoryBank>();
    controlZone = std::make_unique<ControlZone>(this);
}

// Reverse of the building order: the areas go first, they point at the rest.
EngineContext::~EngineContext() {
    keyAreas.reset();
    notifier.reset();
    router.reset();
    chordMemory.reset();
    controlZone.reset();
}

}  // namespace sorel
