#pragma once
#include "infowindow/info_surface.h"
#include "infowindow/info_window_memory.h"
#include "infowindow/row_layout.h"
#include "infowindow/twips.h"
#include "infowindow/win32/bar_image.h"
#include "infowindow/win32/info_geometry.h"
#include "settings/settings.h"
#include "tariff/auto_hangup_state.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zumi {

// frmProgress on Windows: a borderless topmost tool window that never takes
// the focus, with the three captions as static controls (other programs read
// them as window texts) and the unit bar painted from its persistent image.
class Win32InfoSurface final : public InfoSurface {
public:
    // Runs the load sequence. `position` is written after every mouse press
    // and read when the screens change; `keepOnTop` re-checks the stacking
    // after a press (and after a drag).
    Win32InfoSurface(HINSTANCE instance, InfoPosition& position, const AutoHangupState& autoHangup,
                     InfoWindowMemory& memory, std::function<void()> keepOnTop);
    ~Win32InfoSurface() override;
    Win32InfoSurface(const Win32InfoSurface&) = delete;
    Win32InfoSurface& operator=(const Win32InfoSurface&) = delete;

    // InfoSurface.
    void setTimeText(const std::string& text) override;
    void setTaktText(const std::string& text) override;
    void setSpeedText(const std::string& text) override;
    void setProgressValue(double value) override;
    void setOption(const Options& options) override;
    void moveTwips(double left, double top) override;
    std::int32_t moveToStoredPlace() override;
    bool isVisible() const override;
    WindowId id() override;
    void show() override;

    HWND handle() const { return window_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createCaptions(HINSTANCE instance);
    // The row, its fonts and the window's size at the screen's density.
    void layOut(TwipsPerPixel tpp);
    void fitFonts();
    void placeFields();
    void drawBar(double value);
    // A fresh image of the bar's size showing the last value.
    void redrawBar();
    void paint(HDC dc);
    bool dragsFrom(POINT point) const;
    void mdown(int button);
    void recordPosition();
    void setCaption(HWND label, std::wstring& shown, const std::string& text, bool now);

    InfoPosition& position_;
    const AutoHangupState& autoHangup_;
    InfoWindowMemory& memory_;
    std::function<void()> keepOnTop_;
    // False once the window is gone: a drag's move loop runs the program's
    // ticks, and one of them may unload the window under it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    HWND window_ = nullptr;
    HWND speed_ = nullptr, time_ = nullptr, takt_ = nullptr;
    std::wstring speedText_, timeText_, taktText_;
    HFONT captionFont_ = nullptr;
    HFONT smallFont_ = nullptr;
    TwipsPerPixel tpp_;
    InfoRow row_ = loadedInfoRow();
    InfoGeometry geometry_;
    BarImage bar_;
    std::wstring unitsLeft_; // the number on the bar; empty while hidden
    double lastValue_ = 0;   // for drawing the bar anew at another size
};

} // namespace zumi
