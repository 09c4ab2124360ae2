// Keys whose note-on went to the host unchanged by the engine, with the note
// number actually sent (it may have been moved onto the scale), so that
// their note-off goes out with that same number whatever changed meanwhile.
#pragma once

#include <vector>

namespace sorel {

class PassThroughNotes {
public:
    static constexpr int kCapacity = 2048;

    PassThroughNotes() { entries_.reserve(kCapacity); }

    // When full the oldest press is forgotten to make room (false then).
    bool Remember(int channel, int key, int sentNote);
    // The note sent for the oldest remembered press of this key; false when
    // the key's note-on was not passed through.
    bool Take(int channel, int key, int& sentNote);
    int Size() const { return static_cast<int>(entries_.size()); }
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        int channel;
        int key;
        int sentNote;
    };
    std::vector<Entry> entries_;
};

}  // namespace sorel
