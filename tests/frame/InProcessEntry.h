// The plug-in object linked into a test and created through the VST 2
// entry, so that the test plays it as a host does and may still look inside.
#pragma once

#include <memory>

#include "frame/Vardo.h"

namespace sorel::test {

inline AEffect* InProcessEntry(audioMasterCallback callback) {
    return CreateEffect(callback, [](audioMasterCallback h) -> std::unique_ptr<IPlugVST> {
        return std::make_unique<Vardo>(h);
    });
}

}  // namespace sorel::test
