// sorel-preview [--scale 2] [OUT.png]
// Writes OUT.png (default "editor-preview.png"), at the GUI scale given (1 or
// 2, default 1): the background with the
// images of the simple controls at their skin places, every skin rectangle
// outlined and numbered; and, beside it, "editor-sheet.png": every image with
// its frames and a sample of every font. Prints the places whose image does
// not fit and the places that overlap.

#include "editor/BitmapFont.h"
#include "editor/Skin.h"
#include "graphics/IGraphics.h"
#include "tools/preview/PreviewTables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace sorel::preview {
namespace {

constexpr IColor kOutline{255, 255, 64, 64};
constexpr IColor kContainerOutline{255, 64, 200, 255};
constexpr IColor kLabelBacking{190, 0, 0, 0};
constexpr IColor kSheetBackground{255, 40, 40, 44};
constexpr IColor kFontBacking{255, 128, 128, 128};
constexpr int kSheetWidth = 1240;
constexpr int kGap = 8;
constexpr int kLabelHeight = 14;

IText LabelStyle(int size = 9) {
    IText style;
    style.size = size;
    style.color = COLOR_WHITE;
    style.align = IText::kAlignNear;
    return style;
}

// Text on a dark backing, so it reads over any art.
void DrawLabel(IGraphics& g, const std::string& text, int x, int y, int size = 9) {
    const IText style = LabelStyle(size);
    const int width = g.MeasureIText(style, text) + 2;
    const IRECT box{x, y, x + width, y + size + 2};
    g.FillIRect(kLabelBacking, box);
    g.DrawIText(style, text, box.Translated(1, 0));
}

std::string Label(const ImageEntry& image, const IBitmap& bitmap) {
    const std::string name = std::filesystem::path(image.name).filename().string();
    return std::to_string(image.number) + " " + name + "  " + std::to_string(bitmap.W()) + "x" +
           std::to_string(bitmap.H()) + ", " + std::to_string(bitmap.Frames()) + " frame" +
           (bitmap.Frames() == 1 ? "" : "s");
}

void DrawPlacedControls(IGraphics& g, const Skin& skin) {
    for (const PlacedImage& placed : PlacedImages()) {
        const ImageEntry* image = FindImage(placed.imageNumber);
        const IBitmap bitmap = image ? g.LoadIBitmap(image->number, image->name, image->frames) : IBitmap{};
        const IRECT place = skin.Rect(placed.skinIndex);
        if (!bitmap.IsValid()) {
            std::printf("skin %d: image %d missing\n", placed.skinIndex, placed.imageNumber);
            continue;
        }
        g.DrawBitmapFrame(bitmap, {place.L, place.T, place.L + bitmap.W(), place.T + bitmap.FrameHeight()}, 0);
        if (bitmap.W() != place.W() || bitmap.FrameHeight() != place.H())
            std::printf("skin %d: place %dx%d, image %d frame %dx%d\n", placed.skinIndex, place.W(), place.H(),
                        placed.imageNumber, bitmap.W(), bitmap.FrameHeight());
    }
}

void OutlineSkin(IGraphics& g, const Skin& skin) {
    for (int i = 0; i < static_cast<int>(skin.Size()); ++i) {
        const IRECT r = skin.Rect(i);
        g.DrawRect(IsContainer(i) ? kContainerOutline : kOutline, r);
    }
    for (int i = 0; i < static_cast<int>(skin.Size()); ++i) {
        const IRECT r = skin.Rect(i);
        if (i == kSkinBackgroundIndex) continue;
        DrawLabel(g, std::to_string(i), std::max(r.L, 0) + 1, std::max(r.T, 0) + 1);
    }
}

void ReportOverlaps(const Skin& skin) {
    int count = 0;
    for (int i = 0; i < static_cast<int>(skin.Size()); ++i)
        for (int j = i + 1; j < static_cast<int>(skin.Size()); ++j) {
            if (IsContainer(i) || IsContainer(j)) continue;
            if (skin.Rect(i) == skin.Rect(j)) {
                std::printf("skin %d and %d share one place\n", i, j);
                continue;
            }
            const IRECT common = skin.Rect(i).Intersect(skin.Rect(j));
            if (common.Empty()) continue;
            std::printf("skin %d and %d overlap by %dx%d at (%d, %d)\n", i, j, common.W(), common.H(), common.L,
                        common.T);
            ++count;
        }
    std::printf("%d overlapping pairs outside the container places\n", count);
}

bool WriteEditorPreview(const Skin& skin, const std::string& path, int scale) {
    const IRECT window = skin.Rect(kSkinBackgroundIndex).Empty() ? IRECT{0, 0, 1000, 565} : skin.Rect(kSkinBackgroundIndex);
    IGraphics g(window.W(), window.H(), scale);
    const IBitmap background = g.LoadIBitmap(101, "resources/images/background.png", 1);
    if (!background.IsValid()) std::printf("background image missing\n");
    g.FillIRect(kSheetBackground, window);
    g.DrawBitmap(background, window, 0, 0);
    DrawPlacedControls(g, skin);
    OutlineSkin(g, skin);
    return g.WritePng(path);
}

// The frames worth showing: first, second, middle and last.
std::vector<int> ShownFrames(const IBitmap& bitmap) {
    std::vector<int> frames{0, 1, bitmap.Frames() / 2, bitmap.Frames() - 1};
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    frames.erase(std::remove_if(frames.begin(), frames.end(), [&](int k) { return k >= bitmap.Frames(); }),
                 frames.end());
    return frames;
}

struct SheetItem {
    const ImageEntry* image;
    IBitmap bitmap;
    std::string label;
    IRECT box;  // label and frames
};

constexpr int kFontSampleHeight = 290;

bool WriteSheet(const std::string& path) {
    IGraphics probe(1, 1);
    std::vector<SheetItem> items;
    int x = kGap, y = kGap, rowHeight = 0;
    for (const ImageEntry& image : Images()) {
        IBitmap bitmap = probe.LoadIBitmap(image.number, image.name, image.frames);
        const int frames = static_cast<int>(ShownFrames(bitmap).size());
        const std::string label = bitmap.IsValid() ? Label(image, bitmap) : std::to_string(image.number) + " missing";
        const int width = std::max(frames * (bitmap.W() + 4), probe.MeasureIText(LabelStyle(), label) + 4);
        const int height = kLabelHeight + bitmap.FrameHeight();
        if (x + width > kSheetWidth - kGap) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        items.push_back({&image, bitmap, label, {x, y, x + width, y + height}});
        x += width + kGap;
        rowHeight = std::max(rowHeight, height);
    }
    const int fontsTop = y + rowHeight + 2 * kGap;
    const int sheetHeight = fontsTop + static_cast<int>(kEditorFonts.size()) * kFontSampleHeight;

    IGraphics g(kSheetWidth, sheetHeight);
    g.FillIRect(kSheetBackground, g.Bounds());
    for (const SheetItem& item : items) {
        DrawLabel(g, item.label, item.box.L, item.box.T);
        int fx = item.box.L;
        for (const int k : ShownFrames(item.bitmap)) {
            const IRECT dest{fx, item.box.T + kLabelHeight, fx + item.bitmap.W(),
                             item.box.T + kLabelHeight + item.bitmap.FrameHeight()};
            g.DrawBitmapFrame(item.bitmap, dest, k);
            fx += item.bitmap.W() + 4;
        }
    }

    int top = fontsTop;
    for (const FontResource& entry : kEditorFonts) {
        const std::unique_ptr<BitmapFont> loaded = BitmapFont::Load(g, entry);
        BitmapFont& font = *loaded;
        const IBitmap& sheet = font.Sheet();
        DrawLabel(g, std::to_string(entry.xmlNumber) + " " + std::filesystem::path(entry.xmlName).filename().string() +
                         "  lineHeight " + std::to_string(font.LineHeight()) + ", " +
                         std::to_string(font.GlyphCount()) + " glyphs",
                  kGap, top, 11);
        const IRECT sample{kGap, top + 18, kGap + 900, top + 18 + 256};
        g.FillIRect(kFontBacking, sample);
        g.FillIRect(kFontBacking, {sample.R + kGap, sample.T, sample.R + kGap + 256, sample.T + 256});
        g.DrawBitmap(sheet, {sample.R + kGap, sample.T, sample.R + kGap + 256, sample.T + 256}, 0, 0);
        std::vector<TextLine> lines{
            {"The quick brown fox jumps over the lazy dog. 0123456789", 1, 1, 0},
            {"ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz", 1, 1, 0},
            {"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", 1, 1, 1},
            {"Centred line", 0, 1, 0},
        };
        const int used = font.DrawTextLines(&g, lines, sample, false);
        const IRECT narrow{sample.L + 10, sample.T + used + 10, sample.L + 130, sample.T + used + 10 + font.LineHeight()};
        g.DrawRect(COLOR_BLACK, narrow);
        font.DrawTextLine(&g, "A name too long for its box", narrow, false);
        top += kFontSampleHeight;
    }
    return g.WritePng(path);
}

}  // namespace
}  // namespace sorel::preview

int main(int argc, char** argv) {
    using namespace sorel;
    const bool scaled = argc > 2 && std::string(argv[1]) == "--scale";
    const int scale = scaled ? std::atoi(argv[2]) : 1;
    if (scale != 1 && scale != 2) {
        std::fprintf(stderr, "usage: sorel-preview [--scale 1|2] [OUT.png]\n");
        return 2;
    }
    const int firstFile = scaled ? 3 : 1;
    const std::filesystem::path out = argc > firstFile ? argv[firstFile] : "editor-preview.png";
    const std::filesystem::path sheet = out.parent_path() / "editor-sheet.png";
    Skin skin;
    if (!skin.Load()) {
        std::fprintf(stderr, "sorel-preview: the skin resource is missing\n");
        return 1;
    }
    std::printf("skin: %zu rectangles%s\n", skin.Size(), skin.IsComplete() ? "" : " (incomplete)");
    preview::ReportOverlaps(skin);
    bool ok = preview::WriteEditorPreview(skin, out.string(), scale);
    ok = preview::WriteSheet(sheet.string()) && ok;
    if (!ok) {
        std::fprintf(stderr, "sorel-preview: cannot write %s or %s\n", out.c_str(), sheet.c_str());
        return 1;
    }
    std::printf("wrote %s and %s\n", out.c_str(), sheet.c_str());
    return 0;
}
