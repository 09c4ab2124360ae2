#include "frame/HostParameters.h"

#include <algorithm>
#include <cmath>

#include "engine/ParameterIndex.h"
#include "frame/ParameterTable.h"

namespace sorel {
namespace {

using namespace param;
using Scope = HostParameters::Scope;

struct AreaEntry {
    const char* name;  // follows "Area n "
    Scope scope;
    int first;
};

// The thirteen of each key area, in the order a host lists them.
constexpr std::array<AreaEntry, HostParameters::kAreaEntries> kAreaList{{
    {"pattern", Scope::Area, kKeyAreaPatterns},
    {"on", Scope::Area, kKeyAreaOnOff},
    {"hold", Scope::Area, kHold},
    {"hold transpose", Scope::Area, kHoldTranspose},
    {"hold bypass", Scope::Area, kHoldBypass},
    {"scenes", Scope::Area, kSceneOnOff},
    {"volume", Scope::Area, kAreaVolume},
    {"play order", Scope::Pattern, kSortOrder},
    {"gate", Scope::Pattern, kGate},
    {"swing", Scope::Pattern, kSwing},
    {"octaves", Scope::Pattern, kOctaves},
    {"transpose", Scope::Pattern, kTranspose},
    {"rate", Scope::Pattern, kRate},
}};

struct GlobalEntry {
    const char* name;
    int index;
};

constexpr std::array<GlobalEntry, HostParameters::kGlobalEntries> kGlobalList{{
    {"Global volume", kGlobalVolume},
    {"Scale", kScale},
    {"Scale key", kScaleKey},
    {"Scale mode", kScaleMode},
}};

const std::string kNoName;

}  // namespace

HostParameters::HostParameters() {
    size_t next = 0;
    for (int area = 0; area < kKeyAreas; ++area) {
        for (const AreaEntry& e : kAreaList)
            entries_[next++] = {"Area " + std::to_string(area + 1) + " " + e.name, e.scope, e.first, area};
    }
    for (const GlobalEntry& e : kGlobalList) entries_[next++] = {e.name, Scope::Global, e.index, 0};
}

const HostParameters& HostParameters::Get() {
    static const HostParameters list;
    return list;
}

const std::string& HostParameters::Name(int hostIndex) const {
    return Holds(hostIndex) ? entries_[size_t(hostIndex)].name : kNoName;
}

int HostParameters::TableIndex(int hostIndex, const ParameterTable& table) const {
    if (!Holds(hostIndex)) return -1;
    const Entry& e = entries_[size_t(hostIndex)];
    switch (e.scope) {
        case Scope::Area:
            return e.first + e.area;
        case Scope::Pattern: {
            // The pattern the area's pattern buttons show, which is the one it plays.
            const double shown = table.Get(kKeyAreaPatterns + e.area)->Value();
            const int pattern = std::clamp(static_cast<int>(std::lround(shown)), 0, kPatternsPerArea - 1);
            return e.first + PatternIndex(e.area, pattern);
        }
        case Scope::Global:
            return e.first;
    }
    return -1;
}

int HostParameters::HostIndexOf(int tableIndex, const ParameterTable& table) const {
    for (int i = 0; i < kCount; ++i)
        if (TableIndex(i, table) == tableIndex) return i;
    return -1;
}

}  // namespace sorel
