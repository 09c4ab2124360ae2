// The parameter table is a saved-format contract: states store values by slot,
// and hosts show the names and texts. One digest pins every slot.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "engine/ChordShapeList.h"
#include "engine/ParameterIndex.h"
#include "frame/HostIdentity.h"
#include "frame/ParameterLayout.h"
#include "frame/ParameterTable.h"

namespace sorel {
namespace {

// Whole-number slots with at most this many values list the text of each.
constexpr double kListedValues = 256;
// FNV-1a over the description of the first 56,738 slots below, and of the
// slots appended after them.
constexpr uint64_t kTableDigest = 13802669522683688231ull;
constexpr uint64_t kAppendedDigest = 3871594930646216199ull;

void Describe(std::ostream& out, int index, const ParameterInfo& p, bool keepOnPresetLoad) {
    out << index << '|' << p.Name() << '|' << p.Label() << '|' << int(p.Kind()) << '|' << p.Minimum() << '|'
        << p.Maximum() << '|' << p.Step() << '|' << p.Default() << '|' << p.DisplayPrecision() << '|'
        << p.NoHostReport() << keepOnPresetLoad << '|';
    const bool whole = p.Kind() == ParamKind::Integer || p.Kind() == ParamKind::Enumeration;
    if (whole && p.Maximum() - p.Minimum() <= kListedValues) {
        for (double v = p.Minimum(); v <= p.Maximum(); ++v) out << p.DisplayText(v) << ';';
    } else {
        for (double v : {p.Minimum(), p.Default(), p.Maximum(), (p.Minimum() + p.Maximum()) / 3}) out << p.DisplayText(v) << ';';
    }
    out << '\n';
}

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

TEST(ParameterTable, EverySlotKeepsItsNameKindRangeDefaultAndTexts) {
    const ParameterTable table(ParameterLayout::Shared(kHostUnknown, ChordShapeList{}));
    std::ostringstream text, appended;
    for (int index = 0; index < ParameterTable::Size(); ++index)
        Describe(index < param::kFirstAppended ? text : appended, index, table.Get(index)->Info(),
                 table.KeepOnPresetLoad(index));
    // SOREL_PARAMETER_TABLE_DUMP=FILE writes the described table, to see what changed.
    if (const char* dump = std::getenv("SOREL_PARAMETER_TABLE_DUMP")) std::ofstream(dump) << text.str() << appended.str();
    EXPECT_EQ(Fnv1a(text.str()), kTableDigest) << "a slot changed its saved meaning or its texts";
    EXPECT_EQ(Fnv1a(appended.str()), kAppendedDigest) << "an appended slot changed its saved meaning or its texts";
}

// What a slot is, is built once per process and host numbering; values and
// flags belong to each instance.
TEST(ParameterLayoutSharing, InstancesShareDescriptionsAndKeepTheirOwnValues) {
    const ChordShapeList shapes;
    ParameterTable first(ParameterLayout::Shared(kHostUnknown, shapes)), second(ParameterLayout::Shared(kHostUnknown, shapes));
    EXPECT_EQ(&first.Layout(), &second.Layout());
    first.Get(param::kGate)->SetValue(40);
    first.SetKeepOnPresetLoad(param::kGate, true);
    EXPECT_EQ(std::pair(second.Value(param::kGate), second.KeepOnPresetLoad(param::kGate)), std::pair(-10.0, false));
}

// Values and flags are kept as their difference from the layout's start:
// every change, back to the start too, reads back as it was written.
TEST(ParameterTable, ValuesAndFlagsReadBackAsWritten) {
    ParameterTable table(ParameterLayout::Shared(kHostUnknown, ChordShapeList{}));
    struct Row { int index; double written, read; bool keep; };
    const Row rows[] = {
        {param::kGate, 40, 40, true},           // a flag that starts cleared, set
        {param::kLockRate, 0, 0, false},        // one that starts set, cleared
        {param::kLockGate, 1, 1, true},         // one that starts set, set again
        {param::kGate, -10, -10, false},        // back to the default
        {param::kGate, 1e9, 100, false},        // limited to the range
        {param::kCount - 1, 0.25, 0.25, true},  // the last slot
    };
    for (const Row& row : rows) {
        table.Get(row.index)->SetValue(row.written);
        table.SetKeepOnPresetLoad(row.index, row.keep);
        EXPECT_EQ(std::pair(table.Value(row.index), table.KeepOnPresetLoad(row.index)), std::pair(row.read, row.keep))
            << row.index;
    }
    table.Get(param::kGate)->ResetToDefault();
    EXPECT_EQ(table.Value(param::kGate), table.Get(param::kGate)->Default());
}

}  // namespace
}  // namespace sorel
