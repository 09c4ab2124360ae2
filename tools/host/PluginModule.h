// A VST 2 module opened with dlopen: finds its entry function and closes the
// module when the last plug-in made from it is gone. A module can also be an
// entry function linked into the program itself.
#pragma once

#include "module/vst2/VstApi.h"

#include <memory>
#include <string>

namespace sorel::host {

class PluginModule {
public:
    // Null with a message in `error` when the file is missing, is no shared
    // object, or exports neither "VSTPluginMain" nor "main".
    static std::unique_ptr<PluginModule> open(const std::string& path, std::string& error);
    // An entry function linked into the program, known by `name`.
    static std::unique_ptr<PluginModule> linked(VSTPluginMainProc entry, std::string name);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    VSTPluginMainProc entry() const { return entry_; }
    const std::string& path() const { return path_; }

private:
    struct Token {
        explicit Token() = default;
    };

public:
    PluginModule(Token, void* handle, VSTPluginMainProc entry, std::string path);

private:
    void* handle_;
    VSTPluginMainProc entry_;
    std::string path_;
};

}  // namespace sorel::host
