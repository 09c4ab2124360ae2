// The host's programs: the factory presets, style by style in the browser's
// order, listed once when the plug-in instance is built. A host holds the
// count it was given for as long as the instance lives, so a folder that
// changes later changes nothing here; a program whose file went away since
// simply fails to load.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sorel {

class PresetTree;

struct Program {
    std::string style;  // the style folder's name without its number ("bass")
    std::string name;   // the file's name without its extension
    std::string path;
};

class ProgramList {
public:
    ProgramList() = default;
    // The loadable files of the tree's "Factory" category.
    explicit ProgramList(const PresetTree& tree);
    // Lists the factory folder of the data folder as it is now.
    static ProgramList ScanFactory();

    int Count() const { return static_cast<int>(programs_.size()); }
    // Null outside the list.
    const Program* At(int index) const;
    // "style: name", the name cut so that the whole has at most maxLength
    // characters; empty outside the list.
    std::string Label(int index, size_t maxLength) const;

private:
    std::vector<Program> programs_;
};

}  // namespace sorel
