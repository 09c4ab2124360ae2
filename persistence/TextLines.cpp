#include "persistence/TextLines.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace sorel {

std::vector<std::string_view> SplitLines(std::string_view text, size_t maxLines) {
    std::vector<std::string_view> lines;
    while (!text.empty() && lines.size() < maxLines) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::optional<std::string> ReadSmallFile(const std::string& path, size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return ReadStream(in, maxBytes);
}

std::optional<std::string> ReadStream(std::istream& in, size_t maxBytes) {
    std::string contents;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        contents.append(buffer, static_cast<size_t>(in.gcount()));
        if (contents.size() > maxBytes) return std::nullopt;
    }
    return contents;
}

bool ReplaceFile(const std::string& path, std::string_view contents) {
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace sorel
