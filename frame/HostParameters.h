// The parameters a host shows in its own controls and automation lanes: a
// chosen few of the table, in a fixed order, with their own names. Every
// format binding exposes this one list. Area parameters stand for one table
// parameter each; the timing ones stand for that parameter of the pattern
// the area plays, so that they follow a pattern switch as the editor's
// TIMING knobs follow the pattern shown.
#pragma once

#include <array>
#include <string>

namespace sorel {

class ParameterTable;

class HostParameters {
public:
    enum class Scope { Area, Pattern, Global };
    struct Entry {
        std::string name;
        Scope scope;
        int first;  // the table index of the first area's (or first pattern's) parameter
        int area;   // 0..3; unused for global ones
    };

    static constexpr int kAreaEntries = 13;
    static constexpr int kGlobalEntries = 4;
    static constexpr int kCount = 4 * kAreaEntries + kGlobalEntries;  // 56

    // The list, built once.
    static const HostParameters& Get();

    static bool Holds(int hostIndex) { return hostIndex >= 0 && hostIndex < kCount; }
    // Empty outside the list.
    const std::string& Name(int hostIndex) const;
    // The table index the host index stands for at this moment; -1 outside.
    int TableIndex(int hostIndex, const ParameterTable& table) const;
    // The host index standing for a table index at this moment; -1 for none.
    int HostIndexOf(int tableIndex, const ParameterTable& table) const;

private:
    HostParameters();
    std::array<Entry, kCount> entries_;
};

}  // namespace sorel
