#pragma once

#include <string>

namespace sorel::art {

// The small live indicators: note marks and incoming-note lights that fade over
// their frames, the keyboard's base-note LED and the loop markers.
class IndicatorArt {
 public:
  static constexpr int kFadeFrames = 30;

  // 21 x 8 note mark: frame 0 is the freshly played note, the mark fades to
  // nearly nothing by the last frame (the view ages released marks forward).
  static void writeNoteListStrip(const std::string& path, int scale);
  // 27 x 9 light: frame 0 is dark, the last frame fully lit (the indicator's
  // value is highest right after a note arrives and falls back to dark).
  static void writeIncomingNoteStrip(const std::string& path, int scale);
  // 16 x 8, two frames: dim and lit.
  static void writeBaseNoteLed(const std::string& path, int scale);
  static void writeLoopStart(const std::string& path, int scale);
  static void writeLoopEnd(const std::string& path, int scale);

  // Brightness (0..1) of fading frame k of kFadeFrames, highest at k = 0.
  static double fadeLevel(int frame);
};

}  // namespace sorel::art
