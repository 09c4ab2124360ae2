#include "editor/Skin.h"

#include "resources/Resources.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace sorel {
namespace {

constexpr char kLineFeed = '\n';
constexpr char kFieldSeparator = ' ';

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// atoi: leading white space, an optional sign, digits up to the first other
// byte; no digits read as 0. Out-of-range values saturate instead of wrapping.
int32_t ReadInt(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && IsCSpace(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (field[i] - '0'), int64_t{1} << 32);
    return Saturate(negative ? -value : value);
}

}  // namespace

bool Skin::Load() {
    const resources::Resource* resource = resources::Find(kSkinResourceNumber, kSkinResourceName);
    if (!resource) return false;
    Parse(resource->Text());
    return true;
}

void Skin::Parse(std::string_view text) {
    text = text.substr(0, text.find('\0'));  // the resource is handed over as a C string
    while (!text.empty()) {
        const std::size_t end = text.find(kLineFeed);
        ParseLine(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

void Skin::ParseLine(std::string_view line) {
    if (line.find('/') != std::string_view::npos) return;  // comment line
    if (line.size() == 1) return;                            // a lone carriage return
    // Every single space separates two fields, so two spaces in a row make an
    // empty field that reads as 0.
    int32_t fields[5] = {};
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(kFieldSeparator, start);
        if (count < 5) fields[count] = ReadInt(line.substr(start, end == std::string_view::npos ? end : end - start));
        ++count;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    if (count <= 1) return;
    if (count <= 3) {
        Add({fields[0], fields[1], 0, 0});
    } else if (count == 5) {
        const int64_t width = int64_t{fields[2]} - fields[0];
        const int cells = std::min(fields[4], kSkinMaxRowCells);
        for (int k = 0; k < cells; ++k)
            Add({Saturate(fields[0] + k * width), fields[1], Saturate(fields[2] + k * width), fields[3]});
    } else {
        Add({fields[0], fields[1], fields[2], fields[3]});
    }
}

void Skin::Add(const IRECT& rect) {
    if (rects_.size() < kSkinMaxRects) rects_.push_back(rect);
}

IRECT Skin::Rect(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= rects_.size()) return {};
    return rects_[static_cast<std::size_t>(i)];
}

}  // namespace sorel
