#pragma once
#include "infowindow/captions.h"
#include "infowindow/info_surface.h"
#include "infowindow/info_window_memory.h"
#include "infowindow/row_layout.h"
#include "infowindow/twips.h"
#include "settings/settings.h"
#include "tariff/auto_hangup_state.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class frmProgress;
}

namespace zumi {

// frmProgress: the small borderless always-on-top strip with the data rate,
// the online time, and the remaining time of the unit with its bar. It never
// takes the keyboard focus and has no taskbar entry.
class InfoWindow : public QWidget, public InfoSurface {
    Q_OBJECT
public:
    // Runs the load sequence. `position` is written after every mouse press
    // and read when the screen size changes; `keepOnTop` re-checks the
    // stacking after a press (and after a drag).
    InfoWindow(InfoPosition& position, const AutoHangupState& autoHangup, InfoWindowMemory& memory,
               std::function<void()> keepOnTop, QWidget* parent = nullptr);
    ~InfoWindow() override;

    // InfoSurface.
    void setTimeText(const std::string& text) override;
    void setTaktText(const std::string& text) override;
    void setSpeedText(const std::string& text) override;
    // Draws the elapsed part of the unit and the remaining-units number of
    // the after-N rule.
    void setProgressValue(double value) override;
    void setOption(const Options& options) override;
    void moveTwips(double left, double top) override;
    std::int32_t moveToStoredPlace() override;
    bool isVisible() const override { return QWidget::isVisible(); }
    WindowId id() override { return static_cast<WindowId>(winId()); }
    void show() override;

    // A mouse press on the window: the left button drags it, every button
    // then re-checks the stacking and records the position.
    void mdown(Qt::MouseButton button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void useButtonFace();
    QWidget* label(Caption caption) const;
    InfoRow row() const;
    void followScreen();
    void finishPress();
    void endDrag();
    void recordPosition();

    std::unique_ptr<Ui::frmProgress> ui_;
    InfoPosition& position_;
    const AutoHangupState& autoHangup_;
    InfoWindowMemory& memory_;
    std::function<void()> keepOnTop_;
    TwipsPerPixel tpp_;
    // The window manager moves the window after startSystemMove() returns;
    // the position is recorded once the window has been still for a moment.
    QTimer dragSettle_;
    bool dragging_ = false;
};

} // namespace zumi
