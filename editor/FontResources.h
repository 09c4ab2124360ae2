#pragma once
// The editor's five bitmap fonts: XML description and sheet, each a resource
// named by number and name. Listed in the order the editor creates them.

#include <array>
#include <string_view>

namespace sorel {

struct FontResource {
    int xmlNumber;
    std::string_view xmlName;
    int sheetNumber;
    std::string_view sheetName;
};

inline constexpr FontResource kFontCalibri12{114, "resources/fonts/Calibri_12px.fnt", 113,
                                             "resources/fonts/Calibri_12px.png"};
inline constexpr FontResource kFontCalibri10{140, "resources/fonts/Calibri_10px.fnt", 139,
                                             "resources/fonts/Calibri_10px.png"};
inline constexpr FontResource kFontCalibri12White{120, "resources/fonts/Calibri_12px_white.fnt", 119,
                                                  "resources/fonts/Calibri_12px_white.png"};
inline constexpr FontResource kFontCalibri14{116, "resources/fonts/Calibri_14px.fnt", 115,
                                             "resources/fonts/Calibri_14px.png"};
inline constexpr FontResource kFontCalibri12Black{150, "resources/fonts/Calibri_12px_black.fnt", 149,
                                                  "resources/fonts/Calibri_12px_black.png"};

inline constexpr std::array<FontResource, 5> kEditorFonts{kFontCalibri12, kFontCalibri10, kFontCalibri12White,
                                                          kFontCalibri14, kFontCalibri12Black};

}  // namespace sorel
