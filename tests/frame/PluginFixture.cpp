#include "PluginFixture.h"

#include <map>
#include <utility>

namespace sorel::test {

std::vector<SentMidi> NoteOns(const std::vector<SentMidi>& sent) {
    std::vector<SentMidi> result;
    for (const SentMidi& m : sent)
        if (m.IsNoteOn()) result.push_back(m);
    return result;
}

std::vector<SentMidi> NoteOffs(const std::vector<SentMidi>& sent) {
    std::vector<SentMidi> result;
    for (const SentMidi& m : sent)
        if (m.IsNoteOff()) result.push_back(m);
    return result;
}

std::vector<SentMidi> Controllers(const std::vector<SentMidi>& sent, int number) {
    std::vector<SentMidi> result;
    for (const SentMidi& m : sent)
        if (m.IsController(number)) result.push_back(m);
    return result;
}

::testing::AssertionResult AllNotesEnded(const std::vector<SentMidi>& sent) {
    std::map<std::pair<int, int>, int> sounding;
    for (const SentMidi& m : sent) {
        if (m.IsNoteOn()) ++sounding[{m.Channel(), m.data1}];
        if (m.IsNoteOff()) sounding[{m.Channel(), m.data1}] = 0;
    }
    for (const auto& [key, count] : sounding) {
        if (count > 0)
            return ::testing::AssertionFailure() << "note " << key.second << " on channel " << key.first
                                                 << " never ended";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace sorel::test
