#include "engine/ChordShapeList.h"

#include <algorithm>
#include <optional>

namespace sorel {

namespace {

constexpr int kLowestNote = 0;
constexpr int kHighestNote = 127;
constexpr std::string_view kWhitespace = " \t\r\f\v";
constexpr std::string_view kCommentMark = "//";

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

std::string_view WithoutComment(std::string_view line) {
    const auto mark = line.find(kCommentMark);
    return mark == std::string_view::npos ? line : line.substr(0, mark);
}

// A MIDI note written as a plain decimal number, or nothing.
std::optional<int> ParseNote(std::string_view field) {
    field = Trim(field);
    bool negative = false;
    if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    if (field.empty() || field.size() > 3) return std::nullopt;  // no MIDI note needs more digits
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < kLowestNote || value > kHighestNote) return std::nullopt;
    return value;
}

void AddDistinct(std::vector<int>& notes, int note) {
    if (static_cast<int>(notes.size()) >= ChordShapeList::kMaxNotesPerShape) return;
    if (std::find(notes.begin(), notes.end(), note) != notes.end()) return;
    notes.push_back(note);
}

std::optional<ChordShape> ParseLine(std::string_view line) {
    line = Trim(WithoutComment(line));
    if (line.empty()) return std::nullopt;

    const auto firstComma = line.find(',');
    const std::string_view name = Trim(line.substr(0, firstComma));
    if (name.empty() || firstComma == std::string_view::npos) return std::nullopt;

    ChordShape shape;
    shape.name.assign(name.substr(0, ChordShapeList::kMaxNameLength));
    std::string_view rest = line.substr(firstComma + 1);
    for (;;) {
        const auto comma = rest.find(',');
        if (auto note = ParseNote(rest.substr(0, comma))) AddDistinct(shape.notes, *note);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (shape.notes.empty()) return std::nullopt;
    std::sort(shape.notes.begin(), shape.notes.end());
    return shape;
}

}  // namespace

int ChordShapeList::Load(std::span<const std::uint8_t> bytes) {
    return Load(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

int ChordShapeList::Load(std::string_view text) {
    shapes_.clear();
    // A terminating zero ends the text.
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && Count() < kMaxShapes) {
        const auto end = text.find('\n');
        if (auto shape = ParseLine(text.substr(0, end))) shapes_.push_back(std::move(*shape));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return Count();
}

const ChordShape* ChordShapeList::Shape(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return &shapes_[static_cast<std::size_t>(index)];
}

}  // namespace sorel
