#include "persistence/SaveName.h"

#include <algorithm>

namespace sorel {

namespace {

// Characters some file system refuses in a name.
constexpr std::string_view kUnsafeCharacters = "/\\:*?\"<>|";

bool IsUnsafe(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || kUnsafeCharacters.find(c) != std::string_view::npos;
}

}  // namespace

std::optional<std::string> SaveNameProblem(std::string_view name, const SaveNameRule& rule) {
    // Short enough for the status line.
    if (name.empty()) return "Not saved: the name is empty";
    if (name.size() < rule.minLength) return "Not saved: name under " + std::to_string(rule.minLength) + " characters";
    if (name.size() > rule.maxLength) return "Not saved: name over " + std::to_string(rule.maxLength) + " characters";
    if (std::any_of(name.begin(), name.end(), IsUnsafe))
        return "Not saved: " + std::string(kUnsafeCharacters) + " not allowed";
    // Hidden files, "." and "..", and names that some systems trim.
    if (name.front() == '.' || name.back() == '.' || name.front() == ' ' || name.back() == ' ')
        return "Not saved: . or space at name edge";
    return std::nullopt;
}

}  // namespace sorel
