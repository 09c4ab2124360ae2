#include "ParameterSetter.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

namespace sorel::host {
namespace {

constexpr size_t kMaxListedMatches = 5;
constexpr int kDisplaySamples = 1024;  // normalised values whose displays show what a parameter takes
constexpr size_t kMaxListedTexts = 40;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<int> parseIndex(const std::string& text) {
    int value = 0;
    const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (code != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

bool startsWithNumber(const std::string& text) {
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end != text.c_str();
}

std::string listTexts(const std::vector<std::string>& texts) {
    std::string list;
    for (size_t i = 0; i < texts.size() && i < kMaxListedTexts; ++i) list += (i ? ", \"" : "\"") + texts[i] + "\"";
    if (texts.size() > kMaxListedTexts) list += ", ...";
    return list;
}

std::string listIndices(const std::vector<int>& indices) {
    std::string text;
    for (size_t i = 0; i < indices.size() && i < kMaxListedMatches; ++i) text += (i ? ", " : "") + std::to_string(indices[i]);
    if (indices.size() > kMaxListedMatches) text += ", ...";
    return text;
}

}  // namespace

std::optional<ParameterAssignment> ParameterAssignment::parse(const std::string& text, bool normalised) {
    const auto equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0) return std::nullopt;
    ParameterAssignment assignment{trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1)), normalised};
    if (assignment.name.empty()) return std::nullopt;
    return assignment;
}

ParameterSetter::ParameterSetter(HostedPlugin& plugin, int searchLimit) : plugin_(plugin), searchLimit_(searchLimit) {}

void ParameterSetter::readNames() {
    names_.reserve(size_t(std::max(0, searchLimit_)));
    for (int i = 0; i < searchLimit_; ++i) names_.push_back(trimmed(plugin_.parameterName(i)));
    namesRead_ = true;
}

std::optional<int> ParameterSetter::findIndex(const std::string& name, std::string& error) {
    if (auto index = parseIndex(name)) {
        if (*index < searchLimit_) return index;
        error = "parameter index " + name + " is out of range (the plug-in has " + std::to_string(searchLimit_) +
                " parameters; --param-count raises the limit)";
        return std::nullopt;
    }
    if (!namesRead_) readNames();
    const std::string wanted = trimmed(name);
    std::vector<int> exact;
    std::vector<int> anyCase;
    for (int i = 0; i < int(names_.size()); ++i) {
        if (names_[size_t(i)] == wanted) exact.push_back(i);
        else if (equalIgnoringCase(names_[size_t(i)], wanted)) anyCase.push_back(i);
    }
    const std::vector<int>& matches = exact.empty() ? anyCase : exact;
    if (matches.size() == 1) return matches.front();
    if (matches.empty())
        error = "unknown parameter name \"" + wanted + "\" (searched " + std::to_string(searchLimit_) +
                " parameters; --param-count N searches further)";
    else
        error = "parameter name \"" + wanted + "\" is ambiguous: indices " + listIndices(matches) + "; set it by index";
    return std::nullopt;
}

std::string ParameterSetter::refusalOf(int index, const std::string& name, const std::string& text) {
    std::vector<std::string> texts;
    for (int k = 0; k < kDisplaySamples; ++k) {
        const auto shown = plugin_.parameterDisplayAt(index, static_cast<float>(k) / (kDisplaySamples - 1));
        if (!shown) return {};  // the plug-in's own parser decides alone
        const std::string display = trimmed(*shown);
        if (std::find(texts.begin(), texts.end(), display) == texts.end()) texts.push_back(display);
    }
    if (texts.empty()) return {};
    const std::string start = "\"" + text + "\" is not a value of " + name + " (index " + std::to_string(index) + ")";
    // A parameter shown as numbers reads its text as a number.
    if (startsWithNumber(texts.front())) return start + ": it takes a number from " + texts.front() + " to " + texts.back();
    return start + ": it takes one of " + listTexts(texts);
}

bool ParameterSetter::apply(const ParameterAssignment& assignment, std::string& shown, std::string& error) {
    const std::optional<int> index = findIndex(assignment.name, error);
    if (!index) return false;
    if (assignment.normalised) {
        float value = 0.0f;
        const auto& text = assignment.value;
        const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (code != std::errc() || end != text.data() + text.size() || !(value >= 0.0f && value <= 1.0f)) {
            error = "normalised value \"" + text + "\" for " + assignment.name + " is not a number from 0 to 1";
            return false;
        }
        plugin_.setParameterNormalised(*index, value);
    } else if (!plugin_.setParameterText(*index, assignment.value)) {
        // The plug-in reads the text by its own rule; what it would take only words the refusal.
        error = refusalOf(*index, assignment.name, assignment.value);
        if (error.empty())
            error = "the plug-in did not take \"" + assignment.value + "\" for " + assignment.name + " (index " +
                    std::to_string(*index) + "); --set-normalised sets a value from 0 to 1 instead";
        return false;
    }
    shown = plugin_.parameterDisplay(*index);
    return true;
}

}  // namespace sorel::host
