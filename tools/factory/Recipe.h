// A recipe: the readable text from which one factory preset or one
// chord-memory bank is built. Each line is "key = value"; lines starting
// with '#' and blank lines are skipped. RECIPES.md describes the keys.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sorel::factory {

// A mistake in a recipe, told with the file and line it stands on.
class RecipeError : public std::runtime_error {
public:
    RecipeError(const std::string& file, int line, const std::string& message);
    const std::string& File() const { return file_; }
    int Line() const { return line_; }

private:
    std::string file_;
    int line_;
};

struct RecipeEntry {
    int line = 0;
    std::string key;
    std::string value;
};

class Recipe {
public:
    // Throws RecipeError for a line that is neither a comment nor "key = value".
    static Recipe Parse(std::string_view text, std::string file);
    // Throws RecipeError (line 0) when the file cannot be read.
    static Recipe Load(const std::string& path);

    const std::string& File() const { return file_; }
    const std::vector<RecipeEntry>& Entries() const { return entries_; }

    [[noreturn]] void Fail(const RecipeEntry& entry, const std::string& message) const;
    [[noreturn]] void Fail(int line, const std::string& message) const;

private:
    std::string file_;
    std::vector<RecipeEntry> entries_;
};

// Pieces of a recipe line.
std::string_view Trim(std::string_view text);
std::vector<std::string> SplitList(std::string_view text, char separator);
std::vector<std::string> SplitWords(std::string_view text);

}  // namespace sorel::factory
