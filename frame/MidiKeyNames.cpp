#include "frame/MidiKeyNames.h"

#include <cstdio>

#include "engine/ControlZone.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/VardoApp.h"
#include "frame/NoteNames.h"

namespace sorel {

using namespace param;

std::string MidiKeyNames::ControlKeyName(int function) {
    if (function >= ControlZone::kFirstPattern && function <= ControlZone::kLastPattern)
        return "Pattern " + std::to_string(function - ControlZone::kFirstPattern + 1);
    const auto& names = ControlZone::Names();
    if (const auto it = names.find(function); it != names.end()) return it->second;
    // The preset keys have no name in the zone's own map: their keywords name them.
    return function == ControlZone::kNone ? std::string() : std::string(ControlZone::KeywordOf(function));
}

bool MidiKeyNames::NameOf(int note, const VardoApp& app, std::string& name) const {
    if (note < 0 || note > 127) return false;
    name = ControlKeyName(zone_.KeyFunction(note));
    std::string areas;
    for (int a = 0; a < kKeyAreas; ++a) {
        const PatternEngine* area = app.Area(a);
        if (!area || note < area->KeyLow() || note > area->KeyHigh()) continue;
        const int played = note + (area->BaseNote() - area->KeyLow());
        char part[32];
        std::snprintf(part, sizeof part, "T%d %s%d", a + 1, NoteLetter(played), played / 12 - 1);
        if (!areas.empty()) areas += ";";
        areas += part;
    }
    if (!areas.empty()) name = areas;
    return !name.empty();
}

}  // namespace sorel
