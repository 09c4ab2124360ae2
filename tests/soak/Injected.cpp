#include "soak/Injected.h"

#include <cstdio>
#include <numeric>

namespace sorel::soak {
namespace {

constexpr const char* kNames[Injected::kKinds] = {
    "malformed",      "offsets outside", "bursts",       "orphan note-offs", "duplicate note-ons", "odd transport",
    "odd block sizes", "bad parameters", "damaged chunks", "preset files",    "events",             "control keys",
    "preset steps",   "host calls",      "parameter calls", "chunks"};

}  // namespace

uint64_t Injected::Faults() const { return std::accumulate(counts.begin(), counts.begin() + kFaultsEnd, uint64_t{0}); }

void Injected::Print(std::ostream& out, double minutes) const {
    const double per = minutes > 0.0 ? 1.0 / minutes : 0.0;
    auto line = [&](const char* name, uint64_t value) {
        char text[128];
        std::snprintf(text, sizeof text, "  %-20s %12llu  (%.0f/min)\n", name, static_cast<unsigned long long>(value),
                      value * per);
        out << text;
    };
    for (int k = 0; k < kKinds; ++k) line(kNames[k], counts[k]);
    line("faults injected", Faults());
}

}  // namespace sorel::soak
