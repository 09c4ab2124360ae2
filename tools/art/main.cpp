// sorel-art: renders the editor's fonts and images into a resources folder.
// Usage: sorel-art <resources-dir>   (reads <resources-dir>/skin/Sorel.skin)
//        sorel-art --mockup <resources-dir> <out.png>   (a picture of the whole editor)

#include <exception>
#include <iostream>
#include <string>

#include "tools/art/ArtSet.h"
#include "tools/art/MockupPainter.h"

int main(int argc, char** argv) {
  const bool mockup = argc == 4 && std::string(argv[1]) == "--mockup";
  if (argc != 2 && !mockup) {
    std::cerr << "usage: sorel-art <resources-dir> | sorel-art --mockup <resources-dir> <out.png>\n";
    return 2;
  }
  try {
    if (mockup) {
      sorel::art::MockupPainter(argv[2]).write(argv[3]);
    } else {
      sorel::art::ArtSet(argv[1]).writeAll();
      std::cout << "sorel-art: wrote the fonts and images into " << argv[1] << "\n";
    }
  } catch (const std::exception& e) {
    std::cerr << "sorel-art: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
