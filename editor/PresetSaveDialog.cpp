#include "editor/PresetSaveDialog.h"

#include "editor/ControlContext.h"
#include "persistence/CommonPresetHandler.h"
#include "persistence/DataFolder.h"
#include "persistence/PluginPersistence.h"
#include "persistence/SaveName.h"

#include <array>
#include <filesystem>
#include <optional>

namespace sorel {

namespace {

struct FieldLook {
    const char* label;
    size_t maxLength;
};

// The fields of the save dialog, in the order they are asked.
constexpr std::array<FieldLook, 4> kPresetFields{{
    {"Preset name (min length 4)", kPresetNameRule.maxLength},
    {"Author", BoxInfo::kAuthorWidth - 1},
    {"Description", BoxInfo::kDescriptionWidth - 1},
    {"Usage", BoxInfo::kUsageWidth - 1},
}};
constexpr FieldLook kBankNameField{"Bank name", kChordBankNameRule.maxLength};
constexpr const char* kStyleMenuTitle = "Type";
constexpr int kYes = 1;
constexpr int kNo = 0;

std::string& FieldText(BoxInfo& info, int field) {
    std::array<std::string*, 4> texts{&info.name, &info.author, &info.description, &info.usage};
    return *texts[static_cast<size_t>(field)];
}

}  // namespace

PresetSaveDialog::PresetSaveDialog(ControlContext& context, PluginPersistence& persistence, Kind kind,
                                   const IRECT& fieldRect)
    : context_(context),
      persistence_(persistence),
      kind_(kind),
      fieldRect_(fieldRect),
      askedFields_(kind == Kind::kPreset ? kFieldCount : 1) {}

void PresetSaveDialog::Start() {
    ++run_;
    // What is shown now is offered again: saving over a preset keeps its texts.
    const CommonPresetHandler& browser =
        kind_ == Kind::kPreset ? static_cast<const CommonPresetHandler&>(persistence_.Presets()) : persistence_.ChordBanks();
    info_ = kind_ == Kind::kPreset ? persistence_.CurrentBoxInfo() : BoxInfo{};
    info_.name = browser.CurrentName();
    if (info_.name == CommonPresetHandler::kNoName) info_.name.clear();
    Ask(kName);
}

void PresetSaveDialog::Ask(int field) {
    const FieldLook& look = kind_ == Kind::kPreset ? kPresetFields[static_cast<size_t>(field)] : kBankNameField;
    context_.SetStatusText(look.label);
    context_.AskForText(fieldRect_, FieldText(info_, field), static_cast<int>(look.maxLength),
                        [this, field, run = run_](bool committed, const std::string& text) {
                            if (run == run_) Answered(field, committed, text);
                        });
}

void PresetSaveDialog::Answered(int field, bool committed, const std::string& text) {
    if (!committed) {
        context_.SetStatusText("Not saved");
        return;
    }
    FieldText(info_, field) = text;
    if (field == kName) {
        const SaveNameRule& rule = kind_ == Kind::kPreset ? kPresetNameRule : kChordBankNameRule;
        if (const auto problem = SaveNameProblem(text, rule)) {
            context_.SetStatusText(*problem);
            return;
        }
    }
    if (field + 1 < askedFields_)
        Ask(field + 1);
    else if (kind_ == Kind::kPreset)
        ChooseStyle();
    else
        ConfirmAndSave(0);
}

void PresetSaveDialog::ChooseStyle() {
    context_.SetStatusText(kStyleMenuTitle);
    IPopupMenu menu;
    menu.AddItem(kStyleMenuTitle, -1, IPopupMenu::kDisabled);
    for (size_t style = 0; style < kPresetStyles.size(); ++style)
        menu.AddItem(std::string(kPresetStyles[style]), static_cast<int>(style));
    const IPopupChoice choice = context_.ShowMenu(menu, fieldRect_);
    if (!choice) {
        context_.SetStatusText("Not saved");
        return;
    }
    ConfirmAndSave(choice.Item().tag);
}

void PresetSaveDialog::ConfirmAndSave(int style) {
    const auto path = kind_ == Kind::kPreset ? persistence_.UserPresetPath(info_.name, style)
                                             : persistence_.UserChordBankPath(info_.name);
    std::error_code error;
    if (path && std::filesystem::exists(*path, error) && !ConfirmedReplacing()) {
        context_.SetStatusText("Not saved: \"" + info_.name + "\" is kept");
        return;
    }
    Save(style);
}

bool PresetSaveDialog::ConfirmedReplacing() {
    IPopupMenu menu;
    menu.AddItem("Replace \"" + info_.name + "\"?", -1, IPopupMenu::kDisabled);
    menu.AddItem("Yes", kYes);
    menu.AddItem("No", kNo);
    const IPopupChoice choice = context_.ShowMenu(menu, fieldRect_);
    return choice && choice.Item().tag == kYes;
}

void PresetSaveDialog::Save(int style) {
    const auto saved = kind_ == Kind::kPreset ? persistence_.SaveUserPreset(info_.name, style, info_)
                                              : persistence_.SaveUserChordBank(info_.name);
    context_.SetStatusText(saved ? "Saved \"" + info_.name + "\"" : "Not saved: the file could not be written");
}

}  // namespace sorel
