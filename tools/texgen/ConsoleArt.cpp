// The console window: the history panel that slides down from the top and the input strip under
// it. Both are stretched across the screen's width, so they carry no lettering and nothing that a
// horizontal stretch would spoil; both are opaque and light, for black 16-pixel text.
#include "ArtCatalog.h"
#include "Style.h"

namespace texgen
{
namespace
{
const Color kPaperTop = Rgb(0xF3F6FA);
const Color kPaperBottom = Rgb(0xE6ECF3);
const Color kRowTint = Rgb(0xDCE5F0);
const Color kFrame = Rgb(0x8FA3C0);
const Color kHeader = Rgb(0xC9D6E8);

// Text lines stand 20 pixels apart, the lowest at 25 pixels above the bottom edge.
constexpr int kLineCount = 24;
constexpr int kLineStep = 20;
constexpr int kLowestLineFromBottom = 25;

Image HistoryPanel()
{
    const int w = 512;
    const int h = 512;
    Image img(w, h);
    img.Fill(RoundRect(-1, -1, w + 1, h + 1, 0), Linear(0, 0, kPaperTop, 0, h, kPaperBottom));
    // Every other line gets a faint band, which guides the eye along long output.
    for (int i = 0; i < kLineCount; i += 2)
    {
        const float top = static_cast<float>(h - kLowestLineFromBottom - kLineStep * i) - 2.0f;
        img.Fill(RoundRect(3, top, w - 3, top + kLineStep, 0), kRowTint, 0.55f);
    }
    // A header band above the oldest line and a frame at the left, right and bottom edges.
    img.Fill(RoundRect(-1, -1, w + 1, 20, 0), Linear(0, 0, Shade(kHeader, 0.3f), 0, 20, kHeader));
    img.Fill(RoundRect(-1, 20, w + 1, 22, 0), kFrame);
    img.Fill(RoundRect(-1, h - 4, w + 1, h + 1, 0), kFrame);
    img.Fill(RoundRect(-1, h - 5, w + 1, h - 4, 0), WithAlpha(palette::kWhite, 0.9f));
    img.Fill(RoundRect(-1, -1, 2, h + 1, 0), kFrame);
    img.Fill(RoundRect(w - 2, -1, w + 1, h + 1, 0), kFrame);
    return img;
}

Image InputStrip()
{
    const int w = 512;
    const int h = 32;
    Image img(w, h);
    img.Fill(RoundRect(-1, -1, w + 1, h + 1, 0), Linear(0, 0, Rgb(0xFFFFFF), 0, h, Rgb(0xEDF1F6)));
    img.Fill(RoundRect(-1, -1, w + 1, 3, 0), kFrame);
    img.Fill(RoundRect(-1, 3, w + 1, 4, 0), WithAlpha(palette::kWhite, 0.9f));
    img.Fill(RoundRect(-1, h - 2, w + 1, h + 1, 0), Shade(kFrame, 0.35f));
    return img;
}
} // namespace

void AddConsoleArt(std::vector<ArtFile>& out)
{
    out.push_back({"ConsoleHistory.png", 512, 512, HistoryPanel});
    out.push_back({"ConsoleInput.png", 512, 32, InputStrip});
}

} // namespace texgen
