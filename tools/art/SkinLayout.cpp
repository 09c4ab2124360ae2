#include "tools/art/SkinLayout.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace sorel::art {

SkinLayout SkinLayout::parse(const std::string& text) {
  SkinLayout layout;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    layout.addLine(text.substr(start, end - start));
    start = end + 1;
  }
  return layout;
}

SkinLayout SkinLayout::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream all;
  all << in.rdbuf();
  return parse(all.str());
}

void SkinLayout::addLine(const std::string& line) {
  if (line.find('/') != std::string::npos || line.size() == 1) return;
  std::vector<int> fields;
  std::size_t start = 0;
  while (!line.empty() && start <= line.size()) {
    std::size_t end = line.find(' ', start);
    if (end == std::string::npos) end = line.size();
    fields.push_back(std::atoi(line.substr(start, end - start).c_str()));
    start = end + 1;
  }
  switch (fields.size()) {
    case 0:
    case 1:
      return;
    case 2:
    case 3:
      rects_.push_back({fields[0], fields[1], 0, 0});
      return;
    case 5: {
      const int w = fields[2] - fields[0];
      for (int k = 0; k < fields[4]; ++k) {
        rects_.push_back({fields[0] + k * w, fields[1], fields[2] + k * w, fields[3]});
      }
      return;
    }
    default:
      rects_.push_back({fields[0], fields[1], fields[2], fields[3]});
  }
}

}  // namespace sorel::art
