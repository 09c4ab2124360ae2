// The four key areas, index 0..3 = key area 1..4, and the one the editor shows.
#pragma once

#include <array>
#include <memory>

namespace sorel {

class PatternEngine;
struct EngineContext;
struct TransportState;

class KeyAreaList {
public:
    static constexpr int kCount = 4;

    KeyAreaList(EngineContext* context, TransportState* transport);
    ~KeyAreaList();

    // nullptr when index is not 0..3.
    PatternEngine* Area(int index) const;
    int Count() const { return kCount; }
    EngineContext* Context() const { return context_; }

    // Marks the area the editor shows; out-of-range indices are ignored.
    void SelectArea(int index);
    int SelectedArea() const { return selectedArea_; }
    PatternEngine* Selected() const { return Area(selectedArea_); }

private:
    std::array<std::unique_ptr<PatternEngine>, kCount> areas_;
    int selectedArea_ = 0;
    EngineContext* context_ = nullptr;
};

}  // namespace sorel
