#include "ProgressBar.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace sorel::host {
namespace {
constexpr int kWidth = 40;
}

ProgressBar::ProgressBar(bool enabled) : visible_(enabled && ::isatty(STDERR_FILENO)) {}

ProgressBar::~ProgressBar() {
    if (visible_ && lastPercent_ >= 0) std::fputc('\n', stderr);
}

void ProgressBar::update(double fraction) {
    if (!visible_) return;
    const int percent = int(std::clamp(fraction, 0.0, 1.0) * 100.0);
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    const int filled = percent * kWidth / 100;
    const std::string bar = std::string(size_t(filled), '#') + std::string(size_t(kWidth - filled), '.');
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
}

}  // namespace sorel::host
