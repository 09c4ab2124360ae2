// The codes, passed as the index of effVendorSpecific, by which Sorel's own
// tools (sorel-host, the tests, the benchmarks) reach the whole parameter
// table through the VST 2 interface, the parameter's table index in `value`.
// Hosts see only the chosen few; one that does not know these codes never
// sends them. Shared by the binding and the tools' host.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sorel {

constexpr int32_t kTableSet = 0x53726C53;        // "SrlS": to the normalised `opt`, as setParameter; 1, or 0 outside
constexpr int32_t kTableGet = 0x53726C47;        // "SrlG": its normalised value to the float at `ptr`
constexpr int32_t kTableName = 0x53726C4E;       // "SrlN": its name to `ptr`
constexpr int32_t kTableDisplay = 0x53726C44;    // "SrlD": its display text to `ptr`
constexpr int32_t kTableSize = 0x53726C43;       // "SrlC": answers the table's size
constexpr int32_t kTableText = 0x53726C54;       // "SrlT": takes the text at `ptr`, as effString2Parameter
constexpr int32_t kTableDisplayAt = 0x53726C56;  // "SrlV": the display the normalised `opt` would have, to `ptr`
// The texts written: at most 63 characters and a zero.
constexpr size_t kTableTextCapacity = 64;

}  // namespace sorel
