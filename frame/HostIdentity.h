// Which host loaded the plug-in, from the product string it reports.
#pragma once

#include <string_view>

namespace sorel {

constexpr int kHostUnknown = 0;
constexpr int kHostReaper = 1;
constexpr int kHostProTools = 2;
constexpr int kHostCubase = 3;
constexpr int kHostNuendo = 4;
constexpr int kHostLive = 9;
constexpr int kHostLogic = 21;
constexpr int kHostArdour = 28;

// The host code for a product string (any letter case); 0 when no known
// name is in it. Names are tried in a fixed order, the first hit wins.
int HostCodeFromProductString(std::string_view productString);

// A decimal vendor version v as (major << 16) + (minor << 8) + fix.
int HostVersionFromVendorVersion(long long vendorVersion);

}  // namespace sorel
