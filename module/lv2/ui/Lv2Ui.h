// One LV2 UI: the plug-in's own editor opened on the instance the host
// shares (instance-access) inside the host's parent window. The editor runs
// on its own thread; everything here runs on the host's UI thread, makes no
// X call, and hands the host what the editor did in the idle calls: the
// edits of control ports (touch around a gesture, then the port's value),
// every port again after values changed without the host, and the size the
// editor asked for.
#pragma once

#include <lv2/ui/ui.h>

#include <atomic>
#include <cstdint>

#include "module/lv2/ui/Lv2UiFeatures.h"

namespace sorel {

class IPlugLV2;

namespace lv2 {

class Lv2Ui {
public:
    // Opens the editor; Open() tells whether it did.
    Lv2Ui(const Lv2UiFeatures& features, LV2UI_Write_Function write, LV2UI_Controller controller);
    ~Lv2Ui();  // closes the editor, after which no size request reaches this object
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    bool Open() const { return window_ != 0; }
    // The editor's window, the widget the host embeds.
    uintptr_t Window() const { return window_; }
    // The host's idle call, about 30 times a second.
    void Idle();

private:
    static bool AskSize(void* context, int width, int height);
    void PassEdits();
    void WriteAllPorts();
    void WritePort(int hostIndex, float value);
    void PassSize();

    Lv2UiFeatures features_;
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    IPlugLV2& plugin_;
    uintptr_t window_ = 0;
    bool firstIdle_ = true;
    // The editor thread's latest size request, packed; the idle call hands it on.
    std::atomic<uint64_t> askedSize_{0};
};

}  // namespace lv2
}  // namespace sorel
