// The composition root: one complete plug-in core, its engine, frame,
// persistence and editor wired together, for any format's binding.
#pragma once

#include <memory>

#include "frame/PluginCore.h"
#include "frame/PluginHost.h"

namespace sorel {

std::unique_ptr<PluginCore> AssemblePlugin(PluginHost& host);

}  // namespace sorel
