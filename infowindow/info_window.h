#pragma once
#include "infowindow/info_window_memory.h"
#include "settings/info_place.h"
#include "settings/settings.h"
#include "tariff/auto_hangup_state.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace Ui {
class frmProgress;
}

namespace zumi {

// frmProgress: the small borderless always-on-top strip with the data rate,
// the online time, and the remaining time of the unit with its bar. It never
// takes the keyboard focus and has no taskbar entry.
class InfoWindow : public QWidget {
    Q_OBJECT
public:
    // Runs the load sequence. `position` is written after every mouse press
    // and read when the screen size changes; `keepOnTop` re-checks the
    // stacking after a press (and after a drag).
    InfoWindow(InfoPosition& position, const AutoHangupState& autoHangup, InfoWindowMemory& memory,
               std::function<void()> keepOnTop, QWidget* parent = nullptr);
    ~InfoWindow() override;

    // Lays out the row from the display options; the right edge stays.
    void SetOption(const Options& options);
    // Draws the elapsed part of the unit (percent, clamped to 0..100) and the
    // remaining-units number of the after-N rule.
    void setProgressValue(double value);
    // A mouse press on the window: the left button drags it, every button
    // then re-checks the stacking and records the position.
    void mdown(Qt::MouseButton button);

    // The label texts, each shown at once.
    void setTimeText(const QString& text);  // lblTime
    void setTaktText(const QString& text);  // lblTakt
    void setSpeedText(const QString& text); // lblSpeed

    // Twips per pixel, read on load.
    int tppX() const { return tppX_; }
    int tppY() const { return tppY_; }
    // Moves the window to the stored place (infoRight, infoTop) on the
    // screens as they are now.
    InfoPlace moveToStoredPlace();
    // Twips from the whole desktop's top left corner.
    void moveTwips(double left, double top);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void useButtonFace();
    // Each label with the widest texts it can be given.
    std::vector<std::pair<QWidget*, QString>> widestCaptions() const;
    void followScreen();
    void finishPress();
    void endDrag();
    void recordPosition();

    std::unique_ptr<Ui::frmProgress> ui_;
    InfoPosition& position_;
    const AutoHangupState& autoHangup_;
    InfoWindowMemory& memory_;
    std::function<void()> keepOnTop_;
    int tppX_ = 15;
    int tppY_ = 15;
    // The window manager moves the window after startSystemMove() returns;
    // the position is recorded once the window has been still for a moment.
    QTimer dragSettle_;
    bool dragging_ = false;
};

} // namespace zumi
