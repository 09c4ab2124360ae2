// The plug-in's LV2 ports and URIs: the MIDI sequences first, then one
// control input per host parameter, in the host list's order.
#pragma once

#include <cstdint>
#include <string>

#include "frame/HostParameters.h"

namespace sorel::lv2 {

inline constexpr const char* kPluginUri = "https://vardo.example/plugins/sorel";
inline constexpr const char* kStateKeyUri = "https://vardo.example/plugins/sorel#state";
inline constexpr const char* kUiUri = "https://vardo.example/plugins/sorel#ui";

inline constexpr uint32_t kMidiInPort = 0;
inline constexpr uint32_t kMidiOutPort = 1;
inline constexpr uint32_t kFirstControlPort = 2;
inline constexpr uint32_t kPortCount = kFirstControlPort + HostParameters::kCount;

inline constexpr const char* kMidiInSymbol = "midi_in";
inline constexpr const char* kMidiOutSymbol = "midi_out";

// The host index a port stands for; -1 for the MIDI ports and beyond.
inline int HostIndexOfPort(uint32_t port) {
    return port >= kFirstControlPort && port < kPortCount ? static_cast<int>(port - kFirstControlPort) : -1;
}

// The port's symbol, made of the host's name: "Area 1 hold transpose"
// becomes "area1_hold_transpose".
std::string ControlSymbol(int hostIndex);

}  // namespace sorel::lv2
