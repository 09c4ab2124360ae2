#pragma once
// The editor's layout: an ordered list of rectangles read from the skin text
// resource. Controls find their place by index; the names in the file are
// comments for the people who edit it.

#include "graphics/IRECT.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace sorel {

inline constexpr int kSkinResourceNumber = 100;
inline constexpr std::string_view kSkinResourceName = "resources/skin/Sorel.skin";
// Entries of the carried skin; index 168 is the whole window.
inline constexpr std::size_t kSkinRectCount = 169;
inline constexpr int kSkinBackgroundIndex = 168;
// A hostile skin must not make the list grow without bound.
inline constexpr int kSkinMaxRowCells = 1024;
inline constexpr std::size_t kSkinMaxRects = 65536;

class Skin {
public:
    // Appends the rectangles of the skin resource; leaves the list as it was
    // when the resource is missing. Returns whether the resource was found.
    bool Load();
    // Appends the rectangles of one skin text, in file order; a zero byte
    // ends the text.
    void Parse(std::string_view text);

    std::size_t Size() const { return rects_.size(); }
    // Whether every index the editor uses is there.
    bool IsComplete() const { return rects_.size() >= kSkinRectCount; }
    // A copy of rectangle i; an empty rectangle for an index not in the list.
    IRECT Rect(int i) const;
    const std::vector<IRECT>& Rects() const { return rects_; }

private:
    void ParseLine(std::string_view line);
    void Add(const IRECT& rect);

    std::vector<IRECT> rects_;
};

}  // namespace sorel
