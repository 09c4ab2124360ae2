#include "Recipe.h"

#include <fstream>
#include <sstream>

namespace sorel::factory {

namespace {

std::string Located(const std::string& file, int line, const std::string& message) {
    return line > 0 ? file + ":" + std::to_string(line) + ": " + message : file + ": " + message;
}

}  // namespace

RecipeError::RecipeError(const std::string& file, int line, const std::string& message)
    : std::runtime_error(Located(file, line, message)), file_(file), line_(line) {}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> items;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        items.emplace_back(Trim(text.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return items;
}

std::vector<std::string> SplitWords(std::string_view text) {
    std::vector<std::string> words;
    std::istringstream in{std::string(text)};
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

Recipe Recipe::Parse(std::string_view text, std::string file) {
    Recipe recipe;
    recipe.file_ = std::move(file);
    int lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++lineNumber;
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#') continue;
        // The first '=' ends the key: no parameter name holds one, while a
        // description may.
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) recipe.Fail(lineNumber, "expected \"key = value\", found \"" + std::string(line) + "\"");
        RecipeEntry entry{lineNumber, std::string(Trim(line.substr(0, equals))), std::string(Trim(line.substr(equals + 1)))};
        if (entry.key.empty()) recipe.Fail(lineNumber, "a key is missing before '='");
        if (entry.value.empty()) recipe.Fail(lineNumber, "the value of \"" + entry.key + "\" is missing");
        recipe.entries_.push_back(std::move(entry));
    }
    return recipe;
}

Recipe Recipe::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RecipeError(path, 0, "cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), path);
}

void Recipe::Fail(const RecipeEntry& entry, const std::string& message) const { Fail(entry.line, message); }

void Recipe::Fail(int line, const std::string& message) const { throw RecipeError(file_, line, message); }

}  // namespace sorel::factory
