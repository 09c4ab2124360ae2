// The seven machine-wide on/off settings, kept in the settings file of the
// data folder and mirrored in the parameter table.
#pragma once

namespace sorel {

struct GlobalSettings {
    bool enableMidiNoteNames = false;
    bool startNotesImmediately = false;
    bool useOnlyOrderOnOff = false;
    bool transposeAsSemitones = false;
    bool transposeAllOutputNotes = false;
    bool disableControlZone = false;
    bool gateLengthInSteps = false;

    bool operator==(const GlobalSettings&) const = default;
};

}  // namespace sorel
