// Splitting small text files into lines: a carriage return before the line
// feed is not part of the line.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorel {

std::vector<std::string_view> SplitLines(std::string_view text, size_t maxLines);

// The rest of the stream, or nothing when it holds more than `maxBytes`.
std::optional<std::string> ReadStream(std::istream& in, size_t maxBytes);
// The whole file, or nothing when it cannot be opened or is larger than `maxBytes`.
std::optional<std::string> ReadSmallFile(const std::string& path, size_t maxBytes);

// Writes `contents` to a temporary file beside `path` and renames it over `path`.
bool ReplaceFile(const std::string& path, std::string_view contents);

}  // namespace sorel
