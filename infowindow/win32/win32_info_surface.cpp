#include "infowindow/win32/win32_info_surface.h"

#include "infowindow/captions.h"
#include "infowindow/win32/desktop_screens.h"
#include "settings/info_place.h"

#include <windowsx.h>

#include <utility>

namespace zumi {
namespace {

constexpr wchar_t kWindowClass[] = L"ZumiInfoWindow";
constexpr wchar_t kTitle[] = L"XXX"; // never shown: the window has no caption
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

const COLORREF kBlue = RGB(0, 0, 255);         // the elapsed part of the unit
const COLORREF kLightGreen = RGB(128, 255, 128); // the rest, while the after-N rule is armed

// The default dialog font is 8 pt; "Small Fonts" 5.25 pt.
constexpr double kCaptionFontTwips = 160;
constexpr double kSmallFontTwips = 105;

std::wstring wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), length);
    return out;
}

bool contains(const PixelRect& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void registerClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kWindowClass, &existing))
        return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass); // no background brush: the paint covers it all
}

HFONT makeFont(const wchar_t* face, int pixels)
{
    LOGFONTW font{};
    font.lfHeight = -pixels;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void move(HWND child, const PixelRect& r, bool shown)
{
    SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

} // namespace

Win32InfoSurface::Win32InfoSurface(HINSTANCE instance, InfoPosition& position, const AutoHangupState& autoHangup,
                                   InfoWindowMemory& memory, std::function<void()> keepOnTop)
    : position_(position)
    , autoHangup_(autoHangup)
    , memory_(memory)
    , keepOnTop_(std::move(keepOnTop))
{
    registerClass(instance, windowProc);
    window_ = CreateWindowExW(kExStyle, kWindowClass, kTitle, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr,
                              nullptr, instance, this);
    createCaptions(instance);

    // Load sequence: the screen's density, then the layout of the design.
    const UINT dpi = window_ ? GetDpiForWindow(window_) : 0;
    layOut({twipsPerPixel(dpi), twipsPerPixel(dpi)});
    const PixelRect& b = geometry_.bar;
    bar_.reset(b.right - b.left, b.bottom - b.top, GetSysColor(COLOR_MENUTEXT));
    // Whatever the bar remembered, these two leave it empty and fully painted.
    setProgressValue(1);
    setProgressValue(0);
    setSpeedText(std::string(kSpeedOnLoad));
}

Win32InfoSurface::~Win32InfoSurface()
{
    *alive_ = false;
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0); // no message reaches this object any more
        DestroyWindow(window_);
    }
    if (captionFont_)
        DeleteObject(captionFont_);
    if (smallFont_)
        DeleteObject(smallFont_);
}

void Win32InfoSurface::createCaptions(HINSTANCE instance)
{
    // Static controls let a press through to the window underneath them
    // (this one) and give their texts to whoever asks.
    const auto caption = [&](const wchar_t* text, DWORD alignment) {
        return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | alignment, 0, 0, 0, 0,
                               window_, nullptr, instance, nullptr);
    };
    speed_ = caption(L"20,0 KB/s", SS_RIGHT);
    time_ = caption(L"2:00:00", SS_CENTER);
    takt_ = caption(L"0:00", SS_CENTER);
}

void Win32InfoSurface::layOut(TwipsPerPixel tpp)
{
    tpp_ = tpp;
    geometry_ = infoGeometry(row_, tpp_);
    fitFonts();
    placeFields();
    SetWindowPos(window_, nullptr, 0, 0, geometry_.width, geometry_.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32InfoSurface::fitFonts()
{
    if (captionFont_)
        DeleteObject(captionFont_);
    if (smallFont_)
        DeleteObject(smallFont_);
    smallFont_ = makeFont(L"Small Fonts", twipsToPixels(kSmallFontTwips, tpp_.y));

    // The dialog font at 8 pt, or smaller where the widest texts would not
    // show whole in it (static controls break a text too long for them).
    const auto labelWidth = [this](Caption caption) {
        const PixelRect& r = caption == Caption::Speed ? geometry_.speed
            : caption == Caption::Time                 ? geometry_.time
                                                       : geometry_.takt;
        return r.right - r.left;
    };
    const HDC dc = CreateCompatibleDC(nullptr);
    const int largest = twipsToPixels(kCaptionFontTwips, tpp_.y);
    for (int pixels = largest;; --pixels) {
        captionFont_ = makeFont(L"MS Shell Dlg 2", pixels);
        const HGDIOBJ previous = SelectObject(dc, captionFont_);
        bool fits = true;
        for (const CaptionText& widest : kWidestCaptions) {
            const std::wstring text = wide(std::string(widest.text));
            SIZE size{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            fits = fits && size.cx <= labelWidth(widest.caption);
        }
        SelectObject(dc, previous);
        if (fits || pixels <= largest * 2 / 3)
            break;
        DeleteObject(captionFont_);
    }
    DeleteDC(dc);
    for (HWND label : {speed_, time_, takt_})
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(captionFont_), FALSE);
}

void Win32InfoSurface::placeFields()
{
    // Hidden fields keep their last place and are simply skipped.
    move(speed_, geometry_.speed, row_.speed.shown);
    move(time_, geometry_.time, row_.time.shown);
    move(takt_, geometry_.takt, row_.rest.shown);
    InvalidateRect(window_, nullptr, FALSE);
}

void Win32InfoSurface::setOption(const Options& options)
{
    RECT before{};
    GetWindowRect(window_, &before);
    row_ = layOutRow(row_, options);
    geometry_ = infoGeometry(row_, tpp_);
    placeFields();
    // The right edge stays; the top and the height too.
    SetWindowPos(window_, nullptr, before.right - geometry_.width, before.top, geometry_.width, geometry_.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32InfoSurface::setProgressValue(double value)
{
    // Follow the screens: back to the stored distance from the right edge.
    if (memory_.screens.changed(desktopScreens()))
        moveToStoredPlace();
    lastValue_ = value;
    drawBar(value);
}

void Win32InfoSurface::drawBar(double value)
{
    const std::optional<BarDrawing> drawing = memory_.bar.setValue(
        value, {autoHangup_.armed(), autoHangup_.unitsLeft()}, bar_.width(), bar_.height());
    if (!drawing)
        return;
    bar_.fill(drawing->blue, kBlue);
    if (const auto& rest = drawing->remainder) {
        bar_.fill(rest->area, rest->armed ? kLightGreen : GetSysColor(COLOR_BTNFACE));
        unitsLeft_ = rest->armed ? wide(rest->unitsLeft) : std::wstring();
    }
    const PixelRect& b = geometry_.bar;
    const RECT area{b.left, b.top, b.right, b.bottom};
    InvalidateRect(window_, &area, FALSE);
}

void Win32InfoSurface::redrawBar()
{
    // A fresh image in the bar's background, which leaves the 1-pixel frame.
    // The bar remembers the blue width it drew, so it is driven empty and
    // full before the value shown: each draws, and the last one draws the
    // blue part and the remainder of the value anew.
    const PixelRect& b = geometry_.bar;
    bar_.reset(b.right - b.left, b.bottom - b.top, GetSysColor(COLOR_MENUTEXT));
    drawBar(0);
    drawBar(100);
    drawBar(lastValue_);
}

void Win32InfoSurface::paint(HDC dc)
{
    RECT client{};
    GetClientRect(window_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (!row_.rest.shown)
        return;
    const PixelRect& b = geometry_.bar;
    bar_.paint(dc, b.left, b.top);
    if (unitsLeft_.empty())
        return;
    const PixelRect& u = geometry_.unitsLeft;
    RECT area{u.left, u.top, u.right, u.bottom};
    const HGDIOBJ previous = SelectObject(dc, smallFont_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, unitsLeft_.c_str(), static_cast<int>(unitsLeft_.size()), &area,
              DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, previous);
}

void Win32InfoSurface::setCaption(HWND label, std::wstring& shown, const std::string& text, bool now)
{
    std::wstring next = wide(text);
    if (next == shown)
        return; // the same text every second costs no repaint
    shown = std::move(next);
    SetWindowTextW(label, shown.c_str());
    if (now)
        UpdateWindow(label);
}

void Win32InfoSurface::setTimeText(const std::string& text) { setCaption(time_, timeText_, text, true); }

void Win32InfoSurface::setTaktText(const std::string& text) { setCaption(takt_, taktText_, text, true); }

void Win32InfoSurface::setSpeedText(const std::string& text) { setCaption(speed_, speedText_, text, false); }

void Win32InfoSurface::moveTwips(double left, double top)
{
    // From the whole desktop's top left corner, which may lie left of or
    // above the primary screen.
    SetWindowPos(window_, nullptr, GetSystemMetrics(SM_XVIRTUALSCREEN) + twipsToPixels(left, tpp_.x),
                 GetSystemMetrics(SM_YVIRTUALSCREEN) + twipsToPixels(top, tpp_.y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::int32_t Win32InfoSurface::moveToStoredPlace()
{
    const InfoPlace place
        = placeInfoWindow(position_, geometry_.width, geometry_.height, desktopScreens(), tpp_.x, tpp_.y);
    SetWindowPos(window_, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return place.leftTwips;
}

bool Win32InfoSurface::isVisible() const { return window_ && IsWindowVisible(window_); }

WindowId Win32InfoSurface::id() { return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window_)); }

void Win32InfoSurface::show() { ShowWindow(window_, SW_SHOWNOACTIVATE); }

bool Win32InfoSurface::dragsFrom(POINT point) const
{
    // The data rate, the number on the bar and the bare parts of the unit
    // field ignore a press; the rest of the window drags.
    if (row_.speed.shown && contains(geometry_.speed, point))
        return false;
    if (!row_.rest.shown || !contains(geometry_.rest, point))
        return true;
    if (!unitsLeft_.empty() && contains(geometry_.unitsLeft, point))
        return false;
    return contains(geometry_.takt, point) || contains(geometry_.bar, point);
}

void Win32InfoSurface::mdown(int button)
{
    if (button == 1) {
        // The system moves the window as if its caption were held, and
        // returns when the button is let go.
        const std::shared_ptr<bool> alive = alive_;
        const HWND foreground = GetForegroundWindow();
        ReleaseCapture();
        SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        if (!*alive)
            return;
        // A caption drag may activate the window it moves (wine does): the
        // user keeps typing where they were.
        if (foreground && foreground != window_ && GetForegroundWindow() == window_)
            SetForegroundWindow(foreground);
    }
    if (keepOnTop_)
        keepOnTop_();
    recordPosition();
}

void Win32InfoSurface::recordPosition()
{
    RECT r{};
    GetWindowRect(window_, &r);
    position_ = recordInfoPosition(r.left, r.top, r.right - r.left, desktopScreens(), tpp_.x, tpp_.y);
}

LRESULT CALLBACK Win32InfoSurface::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32InfoSurface*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<Win32InfoSurface*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32InfoSurface::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: { // also every repaint shows the bar's image as it stands
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window_, &ps);
        paint(dc);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint fills the background itself
    case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (dragsFrom({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            mdown(message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_DPICHANGED: { // moved to a screen of another density: laid out anew, sharp
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        layOut({twipsPerPixel(LOWORD(wParam)), twipsPerPixel(HIWORD(wParam))});
        redrawBar();
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, geometry_.width, geometry_.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_SYSCOLORCHANGE: // the bar's frame and rest carry the system's colours
        redrawBar();
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_CLOSE:
        return 0; // the window lives as long as the metering run
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

} // namespace zumi
