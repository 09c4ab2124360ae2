// Carries out one sorel-host command and returns its exit status:
// 0 done, 1 failed (plug-in, file or parameter), 2 bad command line.
#pragma once

#include "CommandLine.h"
#include "HostedPlugin.h"

#include <memory>
#include <ostream>
#include <string>

namespace sorel::host {

class HostApplication {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;

    HostApplication(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    int run(const std::vector<std::string>& arguments);
    int run(const Invocation& invocation);

    // Where the demo looks for Sorel.so: beside the tool in the build tree,
    // then the user's VST folder.
    static std::vector<std::string> demoPluginCandidates();

private:
    int info(const Invocation& invocation);
    int render(const Invocation& invocation);
    int demo(const Invocation& invocation);
    int gui(const Invocation& invocation);
    std::unique_ptr<HostedPlugin> loadPlugin(const std::string& path);
    bool prepare(HostedPlugin& plugin, const Invocation& invocation);
    bool renderAndWrite(HostedPlugin& plugin, const MidiSong& input, const Invocation& invocation, MidiSong& output);
    int fail(const std::string& message);
    bool failed(const std::string& message);

    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace sorel::host
