#pragma once
// Saving a pattern preset or a chord bank from its browser's menu: text
// fields asked in turn over the browser (a preset's name, author,
// description and usage, then its style from a menu; a bank's name), the
// name checked before anything else is asked, and a confirmation menu before
// a user file of that name is replaced. What happens is told on the status line.

#include "graphics/IRECT.h"
#include "persistence/BoxInfo.h"

#include <string>

namespace sorel {

class ControlContext;
class PluginPersistence;

class PresetSaveDialog {
public:
    enum class Kind { kPreset, kChordBank };

    static constexpr const char* kSavePresetItem = "Save preset";
    static constexpr const char* kSaveBankItem = "Save bank";

    PresetSaveDialog(ControlContext& context, PluginPersistence& persistence, Kind kind, const IRECT& fieldRect);

    // Starts again from the name; a dialog under way is dropped.
    void Start();

private:
    enum Field : int { kName, kAuthor, kDescription, kUsage, kFieldCount };

    void Ask(int field);
    void Answered(int field, bool committed, const std::string& text);
    void ChooseStyle();
    // Saves at once, or after a yes when a user file of the name exists.
    void ConfirmAndSave(int style);
    void Save(int style);
    bool ConfirmedReplacing();

    ControlContext& context_;
    PluginPersistence& persistence_;
    Kind kind_;
    IRECT fieldRect_;
    BoxInfo info_;
    int askedFields_ = 1;  // a bank has only its name
    unsigned run_ = 0;     // a field's answer counts only for the run that asked it
};

}  // namespace sorel
