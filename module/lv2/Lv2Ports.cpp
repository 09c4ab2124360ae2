#include "module/lv2/Lv2Ports.h"

#include <cctype>

namespace sorel::lv2 {

std::string ControlSymbol(int hostIndex) {
    const std::string& name = HostParameters::Get().Name(hostIndex);
    std::string symbol;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (std::isalnum(c)) {
            symbol += static_cast<char>(std::tolower(c));
        } else if (c == ' ' && !(i + 1 < name.size() && std::isdigit(static_cast<unsigned char>(name[i + 1])))) {
            symbol += '_';
        }
    }
    return symbol;
}

}  // namespace sorel::lv2
