// Shared pieces of the factory tests: a temporary data folder, the factory
// content built once and written into it, and a plug-in object created the
// way the module creates it, with its persistence at hand for loading presets.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FactoryWriter.h"
#include "persistence/TempDataHome.h"
#include "persistence/PluginPersistence.h"
#include "support/TestHost.h"

namespace sorel::factory::test {

namespace fs = std::filesystem;

constexpr int kBlock = 512;
constexpr double kSampleRate = 48000.0;
constexpr int kSamplesPerBeat = 24000;  // 120 bpm at 48 kHz

using TempFolder = sorel::test::TempDataHome;

// The factory content from the source tree's recipes, built and written into
// one data folder for the whole test run.
struct WrittenFactory {
    TempFolder data;
    FactoryContent content;
    std::vector<std::string> files;
    // Preset name -> its file.
    std::map<std::string, std::string> presetFiles;

    static const WrittenFactory& Get();
};

// A plug-in object as a host gets it from the module's entry, in this process.
class HostedSorel {
public:
    HostedSorel();
    ~HostedSorel();
    sorel::test::TestHost& Host() { return *host_; }
    PluginPersistence& Persistence() { return *persistence_; }
    // Plays `notes` held from the first block for `bars` bars at 120 bpm with
    // the transport running, releases them, stops the transport and runs on
    // for half a bar. Returns everything the plug-in sent.
    std::vector<sorel::test::SentMidi> PlayHeldChord(const std::vector<int>& notes, int bars);

private:
    std::unique_ptr<sorel::test::TestHost> host_;
    PluginPersistence* persistence_ = nullptr;
};

// Sample position on the host's time line.
inline long Absolute(const sorel::test::SentMidi& m) { return long(m.block) * kBlock + m.offset; }
using sorel::test::NoteOns;

}  // namespace sorel::factory::test
