#include "StateFile.h"

#include <zlib.h>

#include <fstream>
#include <memory>

namespace sorel::host {
namespace {
struct GzCloser {
    void operator()(gzFile_s* file) const { gzclose(file); }
};
constexpr unsigned kChunk = 64 * 1024;
}  // namespace

bool StateFile::read(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    // gzread passes a file without the gzip header through unchanged.
    std::unique_ptr<gzFile_s, GzCloser> file(gzopen(path.c_str(), "rb"));
    if (!file) {
        error = "cannot open state file " + path;
        return false;
    }
    for (;;) {
        const size_t used = bytes.size();
        if (used >= kMaxStateBytes) {
            error = "state file " + path + " is larger than " + std::to_string(kMaxStateBytes) + " bytes";
            return false;
        }
        bytes.resize(used + kChunk);
        const int got = gzread(file.get(), bytes.data() + used, kChunk);
        if (got < 0) {
            int code = 0;
            error = "state file " + path + " is damaged: " + gzerror(file.get(), &code);
            return false;
        }
        bytes.resize(used + size_t(got));
        if (got == 0) break;
    }
    // A stream cut short reads like a shorter one; only closing tells.
    if (gzclose(file.release()) == Z_BUF_ERROR) {
        error = "state file " + path + " is damaged: it ends inside its compressed data";
        return false;
    }
    if (bytes.empty()) {
        error = "state file " + path + " is empty";
        return false;
    }
    return true;
}

bool StateFile::write(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (file.flush()) return true;
    error = "cannot write state file " + path;
    return false;
}

}  // namespace sorel::host
