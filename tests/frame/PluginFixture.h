// Shared set-up of the tests that load Sorel.so and play it as a host.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "persistence/TempDataHome.h"
#include "support/TestHost.h"

namespace sorel::test {

constexpr int kBlock = 512;
constexpr int kSamplesPerStep = 6000;  // 1/16 at 120 beats per minute and 48 kHz

// Every test of the binary keeps its data below one temporary folder, made
// before the first plug-in is built and removed at the end.
inline const TempDataHome kDataRoot;

// Points XDG_DATA_HOME at a fresh folder below it, so that settings one
// test saves never reach another.
inline void UseFreshDataFolder() {
    static int counter = 0;
    const std::string folder = kDataRoot.File(std::to_string(++counter));
    std::filesystem::create_directories(folder);
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
}
inline std::string SettingsFile() { return std::string(std::getenv("XDG_DATA_HOME")) + "/Vardo/Sorel/data/settings.srl"; }

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseFreshDataFolder();
        host = std::make_unique<TestHost>();
        ASSERT_TRUE(host->CreateAndOpen(kBlock));
    }
    // Whatever a test did, the plug-in sent only well-formed MIDI inside its
    // blocks and left its audio outputs silent.
    void TearDown() override {
        EXPECT_EQ(host->Faults(), "");
        host.reset();
    }

    // Sets a plain value through the host's text entry (the table's own
    // conversion), so that tests need not know normalised values.
    void Set(int index, double plain) {
        ASSERT_TRUE(host->SetParameterText(index, std::to_string(plain))) << index;
    }
    void SetText(int index, const std::string& text) { ASSERT_TRUE(host->SetParameterText(index, text)) << index; }
    std::string Display(int index) { return host->ParameterDisplay(index); }

    std::unique_ptr<TestHost> host;
};

// Sample position of a message, with every block `blockSize` long.
inline long Absolute(const SentMidi& m, int blockSize = kBlock) { return long(m.block) * blockSize + m.offset; }
inline std::vector<long> Times(const std::vector<SentMidi>& sent) {
    std::vector<long> times;
    for (const SentMidi& m : sent) times.push_back(Absolute(m));
    return times;
}

}  // namespace sorel::test
