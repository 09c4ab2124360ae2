#include "engine/EngineNotifier.h"

namespace sorel {

void EngineNotifier::Notify(int code, int argument, const NoteRecord* record) {
    if (code < 0 || code > notify::kLastCode || listener_ == nullptr) return;
    listener_->OnEngineNotification(code, argument, record);
}

}  // namespace sorel
