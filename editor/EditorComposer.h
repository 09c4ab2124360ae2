#pragma once
// Puts the editor together: every control in its skin rectangle, bound to
// its parameter family, in drawing order.

#include "editor/ControlBinding.h"
#include "editor/EditorImages.h"
#include "editor/FontResources.h"
#include "graphics/IBitmap.h"

#include <memory>
#include <string>
#include <vector>

namespace sorel {

// The captions under the key-area buttons of a key area that sends only
// controllers, that triggers the chord memory, or both.
inline constexpr const char* kSendOnlyCcCaption = "Send only CC";
inline constexpr const char* kTriggerCmCaption = "Trigger CM";
inline constexpr const char* kBothCaptions = "Only CC, trigger CM";

class BitmapFont;
class IControl;
class VardoEditor;

class EditorComposer {
public:
    explicit EditorComposer(VardoEditor& editor);
    void Compose();

private:
    using Scope = ControlBinding::Scope;

    IBitmap Image(const ImageResource& image);
    IRECT Rect(int skinIndex) const;
    IControl& Knob(int skin, const ImageResource& image, Scope scope, int first);
    void Switch(int skin, const ImageResource& image, Scope scope, int first, int member = 0);
    void FontSwitch(int skin, const FontResource& font, Scope scope, int first, int member = 0);
    void Contact(int skin, const ImageResource& image, int parameter);
    IControl& Radio(int skin, const ImageResource& image, const FontResource& font, Scope scope, int first, int count);
    std::vector<std::string> Labels(int parameter, int count) const;

    // In attach order, which is the order controls are drawn and hit.
    void ComposeTopRows();
    void ComposeViews();
    void ComposeGlobalControls();
    void ComposePatternControls();
    void ComposeAreaControls();
    void ComposeSceneCells();
    void ComposeOverlays();
    void ComposeSettingsPanel();

    VardoEditor& editor_;
};

}  // namespace sorel
