#include "soak/Injected.h"

#include <cstdio>

namespace sorel::soak {

void Injected::Print(std::ostream& out, double minutes) const {
    const double per = minutes > 0.0 ? 1.0 / minutes : 0.0;
    auto line = [&](const char* name, uint64_t value) {
        char text[128];
        std::snprintf(text, sizeof text, "  %-20s %12llu  (%.0f/min)\n", name, static_cast<unsigned long long>(value),
                      value * per);
        out << text;
    };
    line("events", events);
    line("malformed", malformed);
    line("offsets outside", offsetsOutside);
    line("bursts", bursts);
    line("orphan note-offs", orphanNoteOffs);
    line("duplicate note-ons", duplicateNoteOns);
    line("control keys", controlKeys);
    line("preset steps", presetSteps);
    line("odd transport", oddTransport);
    line("odd block sizes", oddBlockSizes);
    line("host calls", hostCalls);
    line("parameter calls", parameterCalls);
    line("bad parameters", badParameters);
    line("chunks", chunks);
    line("damaged chunks", damagedChunks);
    line("preset files", presetFiles);
    line("faults injected", Faults());
}

}  // namespace sorel::soak
