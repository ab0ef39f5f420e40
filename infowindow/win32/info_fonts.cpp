#include "infowindow/win32/info_fonts.h"

#include "infowindow/captions.h"

#include <string>

namespace zumi {
namespace {

// The default dialog font is 8 pt; "Small Fonts" 5.25 pt.
constexpr double kCaptionFontTwips = 160;
constexpr double kSmallFontTwips = 105;

HFONT makeFont(const wchar_t* face, int pixels, BYTE quality = DEFAULT_QUALITY)
{
    LOGFONTW font{};
    font.lfHeight = -pixels;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = quality;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

int widthOf(const PixelRect& r)
{
    return r.right - r.left;
}

} // namespace

InfoFonts::InfoFonts(const InfoGeometry& geometry, TwipsPerPixel tpp)
{
    // Smoothed at 7 px, a number on the bar's colours turns to a grey smear.
    small_ = makeFont(L"Small Fonts", twipsToPixels(kSmallFontTwips, tpp.y), NONANTIALIASED_QUALITY);

    // The dialog font at 8 pt, or smaller where the widest texts would not
    // show whole in it (static controls break a text too long for them).
    const auto labelWidth = [&](Caption caption) {
        return caption == Caption::Speed ? widthOf(geometry.speed)
            : caption == Caption::Time   ? widthOf(geometry.time)
                                         : widthOf(geometry.takt);
    };
    const HDC dc = CreateCompatibleDC(nullptr);
    const int largest = twipsToPixels(kCaptionFontTwips, tpp.y);
    for (int pixels = largest;; --pixels) {
        caption_ = makeFont(L"MS Shell Dlg 2", pixels);
        const HGDIOBJ previous = SelectObject(dc, caption_);
        bool fits = true;
        for (const CaptionText& widest : kWidestCaptions) {
            const std::wstring text(widest.text.begin(), widest.text.end()); // plain ASCII
            SIZE size{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            fits = fits && size.cx <= labelWidth(widest.caption);
        }
        SelectObject(dc, previous);
        if (fits || pixels <= largest * 2 / 3)
            break;
        DeleteObject(caption_);
    }
    DeleteDC(dc);
}

InfoFonts::~InfoFonts()
{
    DeleteObject(caption_);
    DeleteObject(small_);
}

} // namespace zumi
