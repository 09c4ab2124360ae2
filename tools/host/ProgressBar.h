// A one-line progress bar on standard error, drawn only on a terminal.
#pragma once

#include <cstdio>

namespace sorel::host {

class ProgressBar {
public:
    // Shown only when `enabled` and standard error is a terminal.
    explicit ProgressBar(bool enabled);
    ~ProgressBar();
    void update(double fraction);

private:
    bool visible_;
    int lastPercent_ = -1;
};

}  // namespace sorel::host
