// The names a host shows for the MIDI keys: the key areas a key plays in,
// with the note each plays, or else the control-zone function of the key.
#pragma once

#include <string>

namespace sorel {

class ControlZone;
class VardoApp;

class MidiKeyNames {
public:
    explicit MidiKeyNames(const ControlZone& zone) : zone_(zone) {}

    // False when the key has no name, or is no key.
    bool NameOf(int note, const VardoApp& app, std::string& name) const;

private:
    // The name of a control-zone key, from the function the user's assignment gives it.
    static std::string ControlKeyName(int function);

    const ControlZone& zone_;
};

}  // namespace sorel
