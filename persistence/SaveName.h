// The names a user saves a preset or a chord bank under. A name becomes the
// file's name, so it must be one that every file system can hold.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "persistence/BoxInfo.h"
#include "persistence/PluginState.h"

namespace sorel {

struct SaveNameRule {
    size_t minLength;
    size_t maxLength;
};

// A preset's name is its box name; a bank's name is stored in every state.
inline constexpr SaveNameRule kPresetNameRule{4, BoxInfo::kNameWidth - 1};
inline constexpr SaveNameRule kChordBankNameRule{1, kChordBankNameWidth - 1};

// Why `name` cannot be saved under, as the status line tells it; nothing
// when it can.
std::optional<std::string> SaveNameProblem(std::string_view name, const SaveNameRule& rule);

}  // namespace sorel
