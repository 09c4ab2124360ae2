#pragma once
// What the preview knows about the editor's art: each image with its frame
// count and the controls that show a single image at a skin place.

#include <span>

namespace sorel::preview {

struct ImageEntry {
    int number;
    const char* name;
    int frames;
};

// A control that shows frame 0 of an image at the top-left of a skin place.
struct PlacedImage {
    int skinIndex;
    int imageNumber;
};

std::span<const ImageEntry> Images();
std::span<const PlacedImage> PlacedImages();
const ImageEntry* FindImage(int number);

// Skin places that hold other places (views, panels, the window) and so
// overlap them by design.
bool IsContainer(int skinIndex);

}  // namespace sorel::preview
