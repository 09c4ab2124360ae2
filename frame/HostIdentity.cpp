#include "frame/HostIdentity.h"

#include <cctype>
#include <string>

namespace sorel {
namespace {

struct KnownHost {
    const char* fragment;
    int code;
};

// Order matters: a name that contains two fragments gets the earlier one.
constexpr KnownHost kKnownHosts[] = {
    {"cubase", 3},    {"reaper", 1},       {"nuendo", 4},     {"cakewalk", 5},
    {"samplitude", 8}, {"fruity", 7},      {"live", 9},       {"melodyne", 12},
    {"vstmanlib", 13}, {"aulab", 14},      {"garageband", 22}, {"forte", 15},
    {"chainer", 16},  {"audition", 17},    {"orion", 18},     {"sawstudio", 20},
    {"logic", 21},    {"digital", 23},     {"audiomulch", 25}, {"presonus", 26},
    {"vst3plugintesthost", 27}, {"protools", 2}, {"ardour", 28}, {"standalone", 24},
};

}  // namespace

int HostCodeFromProductString(std::string_view productString) {
    std::string lowered(productString);
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const KnownHost& host : kKnownHosts) {
        if (lowered.find(host.fragment) != std::string::npos) return host.code;
    }
    return kHostUnknown;
}

int HostVersionFromVendorVersion(long long v) {
    if (v < 0) return 0;
    v %= 100000000;  // keeps the shifted result inside 32 bits
    return static_cast<int>(((v / 10000) << 16) + (((v % 10000) / 100) << 8) + v % 100);
}

}  // namespace sorel
