#pragma once
// The editor's texts are 8-bit Latin-1; Cairo wants UTF-8.

#include <string>
#include <string_view>

namespace sorel {

inline std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const unsigned char byte : text) {
        if (byte == 0) break;
        if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
        } else {
            out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return out;
}

}  // namespace sorel
