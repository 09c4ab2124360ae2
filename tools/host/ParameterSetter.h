// Sets a plug-in's parameters from "NAME=VALUE" texts: NAME is an index or a
// name the plug-in reports, VALUE a text for effString2Parameter or, for a
// normalised assignment, a number 0..1 for setParameter.
#pragma once

#include "HostedPlugin.h"

#include <optional>
#include <string>
#include <vector>

namespace sorel::host {

struct ParameterAssignment {
    std::string name;
    std::string value;
    bool normalised = false;

    // Splits "NAME=VALUE" at its last "=".
    static std::optional<ParameterAssignment> parse(const std::string& text, bool normalised);
};

class ParameterSetter {
public:
    // Names are searched among indices 0..searchLimit-1.
    ParameterSetter(HostedPlugin& plugin, int searchLimit);

    std::optional<int> findIndex(const std::string& name, std::string& error);
    // Sets the parameter; `shown` receives the plug-in's display of the result.
    bool apply(const ParameterAssignment& assignment, std::string& shown, std::string& error);

private:
    void readNames();
    // Why the plug-in would not take `text` for the parameter, in the words of what it takes; empty when unknown.
    std::string refusalOf(int index, const std::string& name, const std::string& text);

    HostedPlugin& plugin_;
    int searchLimit_;
    std::vector<std::string> names_;  // trimmed, read on the first search by name
    bool namesRead_ = false;
};

}  // namespace sorel::host
