#include "editor/ISubject.h"

#include <algorithm>

namespace sorel {

void ISubject::Attach(IObserverInterface* observer) {
    if (!observer || std::ranges::find(observers_, observer) != observers_.end()) return;
    if (observers_.capacity() == 0) observers_.reserve(kInitialObservers);
    observers_.push_back(observer);
}

void ISubject::Detach(IObserverInterface* observer) { std::erase(observers_, observer); }

void ISubject::Notify(int x, int y, int event, const IMouseMod& mod) {
    // By index: an observer may attach others while it is told.
    for (std::size_t i = 0; i < observers_.size(); ++i) observers_[i]->OnNotify(*this, x, y, event, mod);
}

}  // namespace sorel
