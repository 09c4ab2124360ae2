#pragma once
// A small font for the layout and drawing tests: lineHeight 10, a 16 x 8
// sheet with glyphs 'A' (red), 'B' (green), 'W' (blue), '.' and the space.

#include <string>

namespace sorel::testing {

inline constexpr int kTestLineHeight = 10;
inline constexpr int kAdvanceA = 5;
inline constexpr int kAdvanceW = 9;
inline constexpr int kAdvanceSpace = 3;
inline constexpr int kAdvanceDot = 2;

inline const std::string kTestFontXml = R"(<?xml version="1.0"?>
<font>
  <info face="Test" size="10" bold="0"/>
  <common lineHeight="10" base="8" scaleW="16" scaleH="8" pages="1" packed="0"/>
  <pages><page id="0" file="test.png"/></pages>
  <chars count="5">
    <char id="32" x="15" y="0" width="0" height="0" xoffset="0" yoffset="0" xadvance="3" page="0" chnl="15"/>
    <char id="46" x="12" y="6" width="2" height="2" xoffset="0" yoffset="8" xadvance="2" page="0" chnl="15"/>
    <char id="65" x="0" y="0" width="4" height="8" xoffset="1" yoffset="2" xadvance="5" page="0" chnl="15"/>
    <char id="66" x="4" y="0" width="4" height="8" xoffset="0" yoffset="2" xadvance="5" page="0" chnl="15"/>
    <char id="87" x="8" y="0" width="4" height="8" xoffset="0" yoffset="2" xadvance="9" page="0" chnl="15"/>
  </chars>
</font>
)";

}  // namespace sorel::testing
