#include "PluginModule.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace sorel::host {

std::unique_ptr<PluginModule> PluginModule::open(const std::string& path, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = "plug-in not found: " + path;
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "plug-in is not a file: " + path;
        return nullptr;
    }
    // A relative name without a slash would make dlopen search the library path.
    const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = ::dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        error = "cannot load plug-in " + path + ": " + (why ? why : "unknown error");
        return nullptr;
    }
    void* symbol = ::dlsym(handle, "VSTPluginMain");
    if (!symbol) symbol = ::dlsym(handle, "main");
    if (!symbol) {
        ::dlclose(handle);
        error = path + " is not a VST 2 plug-in: it exports no VSTPluginMain (nor main)";
        return nullptr;
    }
    auto entry = reinterpret_cast<VSTPluginMainProc>(symbol);
    return std::make_unique<PluginModule>(Token{}, handle, entry, path);
}

std::unique_ptr<PluginModule> PluginModule::linked(VSTPluginMainProc entry, std::string name) {
    return std::make_unique<PluginModule>(Token{}, nullptr, entry, std::move(name));
}

PluginModule::PluginModule(Token, void* handle, VSTPluginMainProc entry, std::string path)
    : handle_(handle), entry_(entry), path_(std::move(path)) {}

PluginModule::~PluginModule() {
    if (handle_) ::dlclose(handle_);
}

}  // namespace sorel::host
