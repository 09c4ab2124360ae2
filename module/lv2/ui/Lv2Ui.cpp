#include "module/lv2/ui/Lv2Ui.h"

#include "module/lv2/IPlugLV2.h"
#include "module/lv2/Lv2Ports.h"

#include <utility>

namespace sorel::lv2 {
namespace {

constexpr uint32_t kFloatProtocol = 0;  // a port's plain float value

uint64_t PackSize(int width, int height) { return uint64_t(uint32_t(width)) << 32 | uint32_t(height); }

}  // namespace

Lv2Ui::Lv2Ui(const Lv2UiFeatures& features, LV2UI_Write_Function write, LV2UI_Controller controller)
    : features_(features), write_(write), controller_(controller), plugin_(*static_cast<IPlugLV2*>(features.instance)) {
    PluginCore* core = plugin_.Core();
    if (!core || !core->HasEditor()) return;
    // Without ui:resize the editor's requests are turned down, as a host
    // that cannot size its window would.
    if (features_.resize) plugin_.SetEditorResizer(&Lv2Ui::AskSize, this);
    if (!core->OpenEditor(reinterpret_cast<void*>(features_.parent))) {
        plugin_.SetEditorResizer(nullptr, nullptr);
        return;
    }
    window_ = static_cast<uintptr_t>(core->EditorWindow());
    int width = 0, height = 0;
    if (features_.resize && core->EditorSize(width, height))
        features_.resize->ui_resize(features_.resize->handle, width, height);
}

Lv2Ui::~Lv2Ui() {
    if (!window_) return;
    plugin_.SetEditorResizer(nullptr, nullptr);
    // Joins the editor thread: a request it was making meanwhile has ended.
    plugin_.Core()->CloseEditor();
}

void Lv2Ui::Idle() {
    if (!window_) return;
    // What the VST 2 host's idle calls do: the core's own idle work, which
    // also notices values that changed without the host.
    plugin_.Core()->Idle();
    PassEdits();
    // The first call tells the host's ports the values the editor shows.
    if (plugin_.TakeValuesChanged() || std::exchange(firstIdle_, false)) WriteAllPorts();
    PassSize();
}

bool Lv2Ui::AskSize(void* context, int width, int height) {
    auto* ui = static_cast<Lv2Ui*>(context);
    if (!ui || width <= 0 || height <= 0) return false;
    // On the editor thread: the host hears of it from the next idle call, on its own thread.
    ui->askedSize_.store(PackSize(width, height));
    return true;
}

void Lv2Ui::PassEdits() {
    plugin_.TakeUiEdits([this](const UiEdit& edit) {
        const uint32_t port = kFirstControlPort + uint32_t(edit.hostIndex);
        switch (edit.kind) {
        case UiEdit::Kind::Begin:
            if (features_.touch) features_.touch->touch(features_.touch->handle, port, true);
            break;
        case UiEdit::Kind::Value: WritePort(edit.hostIndex, edit.value); break;
        case UiEdit::Kind::End:
            if (features_.touch) features_.touch->touch(features_.touch->handle, port, false);
            break;
        }
    });
}

void Lv2Ui::WriteAllPorts() {
    for (int i = 0; i < HostParameters::kCount; ++i) WritePort(i, plugin_.CurrentPortValue(i));
}

void Lv2Ui::WritePort(int hostIndex, float value) {
    if (write_) write_(controller_, kFirstControlPort + uint32_t(hostIndex), sizeof value, kFloatProtocol, &value);
}

void Lv2Ui::PassSize() {
    const uint64_t size = askedSize_.exchange(0);
    if (size && features_.resize)
        features_.resize->ui_resize(features_.resize->handle, int(size >> 32), int(size & 0xFFFFFFFF));
}

}  // namespace sorel::lv2
