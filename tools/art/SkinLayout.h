#pragma once

#include <string>
#include <vector>

namespace sorel::art {

struct SkinRect {
  int L = 0, T = 0, R = 0, B = 0;
  int width() const { return R - L; }
  int height() const { return B - T; }
  bool operator==(const SkinRect&) const = default;
};

// The skin's rectangles in file order, read the way the editor reads them, so
// that the background's labels follow the same positions as the controls.
class SkinLayout {
 public:
  static SkinLayout parse(const std::string& text);
  static SkinLayout load(const std::string& path);  // throws when unreadable

  std::size_t size() const { return rects_.size(); }
  // Throws std::out_of_range for an index the file does not hold.
  const SkinRect& at(std::size_t index) const { return rects_.at(index); }

 private:
  void addLine(const std::string& line);
  std::vector<SkinRect> rects_;
};

}  // namespace sorel::art
