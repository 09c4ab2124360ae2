// What the plug-in object asks of the persistence layer. The frame builds and
// runs without it (no chunk, no presets); the module's assembly installs one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/GlobalSettings.h"

namespace sorel {

class PersistenceHooks {
public:
    virtual ~PersistenceHooks() = default;

    // Fills `chunk` with the whole chunk for the host, header included.
    // False leaves the host without a chunk.
    virtual bool WriteState(std::vector<uint8_t>& chunk, bool isBank) = 0;
    // Reads a chunk the host hands back (framework header included).
    virtual bool ReadState(const uint8_t* data, size_t size, bool isBank) = 0;
    // Control-zone functions and editor buttons that step through the presets.
    // Safe on the audio thread: they only leave a request for persistence's own thread.
    virtual void NextPreset() = 0;
    virtual void PreviousPreset() = 0;
    // The chord-memory bank buttons: the next or previous bank file, likewise
    // only a request.
    virtual void NextChordBank() = 0;
    virtual void PreviousChordBank() = 0;
    // Called before the plug-in object goes away: wait for any loading thread.
    virtual void Shutdown() = 0;
    // The user changed one of the global settings: keep them for every instance.
    // Safe on the audio thread and under the plug-in lock: persistence's own
    // thread writes the file.
    virtual void SaveGlobalSettings(const GlobalSettings& settings) {}

    // A host's worker thread takes over the requests from the audio thread
    // (preset and bank steps, settings to write); see PluginCore.
    virtual void HandDeferredWorkToHost() {}
    virtual bool HasDeferredWork() const { return false; }
    virtual void RunDeferredWork() {}

    // The host's programs, fixed when the persistence was built: their
    // count, the label of one ("style: name", at most maxLength characters,
    // empty outside the list), and loading one on persistence's own thread
    // (false outside the list; returns at once).
    virtual int ProgramCount() const { return 0; }
    virtual std::string ProgramLabel(int index, size_t maxLength) const { return {}; }
    virtual bool LoadProgram(int index) { return false; }
};

}  // namespace sorel
