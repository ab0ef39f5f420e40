#include "infowindow/info_window.h"

#include "core/numbers.h"
#include "infowindow/screen_layout.h"
#include "ui_frm_progress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace zumi {
namespace {

constexpr int kDragSettleMs = 500;

int twipsPerPixel(double dotsPerInch)
{
    if (!(dotsPerInch > 0))
        return 15;
    return std::max(1, static_cast<int>(std::lround(1440.0 / dotsPerInch)));
}

bool isPress(const QEvent* event)
{
    return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
}

} // namespace

InfoWindow::InfoWindow(InfoPosition& position, const AutoHangupState& autoHangup, InfoWindowMemory& memory,
                       std::function<void()> keepOnTop, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , ui_(std::make_unique<Ui::frmProgress>())
    , position_(position)
    , autoHangup_(autoHangup)
    , memory_(memory)
    , keepOnTop_(std::move(keepOnTop))
{
    ui_->setupUi(this);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    useButtonFace();

    dragSettle_.setSingleShot(true);
    dragSettle_.setInterval(kDragSettleMs);
    connect(&dragSettle_, &QTimer::timeout, this, [this] { finishPress(); });

    // Presses that drag, and presses that do nothing (they must not reach
    // the row underneath).
    for (QObject* watched : {static_cast<QObject*>(this), static_cast<QObject*>(ui_->fra),
                             static_cast<QObject*>(ui_->lblTakt), static_cast<QObject*>(ui_->lblTime),
                             static_cast<QObject*>(ui_->picBack), static_cast<QObject*>(ui_->lblSpeed),
                             static_cast<QObject*>(ui_->lblAutoDiscRest), static_cast<QObject*>(ui_->picRight)})
        watched->installEventFilter(this);

    // Load sequence.
    const QScreen* screen = QGuiApplication::primaryScreen();
    tppX_ = twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 96);
    tppY_ = twipsPerPixel(screen ? screen->logicalDotsPerInchY() : 96);

    // The bar's image starts in its background colour, which leaves the
    // 1-pixel frame around the inner area.
    ui_->picBack->clearImage(QApplication::palette("QMenu").color(QPalette::Active, QPalette::WindowText));
    const int oneTwip = static_cast<int>(std::lround(1.0 / tppY_));
    ui_->lblAutoDiscRest->setGeometry(ui_->picBack->width() - 22, oneTwip, 20, ui_->picBack->height() - 2);
    ui_->lblAutoDiscRest->hide();

    // Whatever the bar remembered, these two leave it empty and fully painted.
    setProgressValue(1);
    setProgressValue(0);

    ui_->lblSpeed->setText(QStringLiteral("0,0 KB/s"));
    resize(ui_->fra->width() - 1, ui_->fra->height() + ui_->fra->y() - 1);
}

InfoWindow::~InfoWindow() = default;

void InfoWindow::useButtonFace()
{
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    face.setColor(QPalette::WindowText, face.color(QPalette::ButtonText));
    setPalette(face); // the coloured pictures keep their own Window colour
    // Each label fills its own background, so that a new caption repaints
    // the label alone and not the panels underneath it as well.
    for (QWidget* panel :
         std::initializer_list<QWidget*>{this, ui_->fra, ui_->picRight, ui_->lblSpeed, ui_->lblTime, ui_->lblTakt})
        panel->setAutoFillBackground(true);
    QFont small = ui_->lblAutoDiscRest->font();
    small.setPixelSize(7);
    ui_->lblAutoDiscRest->setFont(small);
    // The desktop's default face at 11 px cuts "9:59:59" and the like at both
    // ends: a narrow face shows them whole, and a smaller size where none is
    // installed.
    QFont font = ui_->lblSpeed->font();
    font.setFamilies({QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("DejaVu Sans Condensed")});
    for (int pixels = 11;; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        bool fits = true;
        for (const auto& [label, text] : widestCaptions())
            fits = fits && metrics.horizontalAdvance(text) <= label->width();
        if (fits || pixels <= 7)
            break;
    }
    for (QWidget* label : std::initializer_list<QWidget*>{ui_->lblSpeed, ui_->lblTime, ui_->lblTakt})
        label->setFont(font);
}

std::vector<std::pair<QWidget*, QString>> InfoWindow::widestCaptions() const
{
    // Rates below 10 000 KB/s, online times below ten hours, units up to an hour.
    return {{ui_->lblSpeed, QStringLiteral("99,9 KB/s")},
            {ui_->lblSpeed, QStringLiteral("9999 KB/s")},
            {ui_->lblTime, QStringLiteral("9:59:59")},
            {ui_->lblTakt, QStringLiteral("59:59")}};
}

InfoPlace InfoWindow::moveToStoredPlace()
{
    endDrag();
    const InfoPlace place = placeInfoWindow(position_, width(), height(), screenLayout(), tppX_, tppY_);
    move(place.x, place.y);
    return place;
}

void InfoWindow::moveTwips(double left, double top)
{
    endDrag();
    move(static_cast<int>(std::lround(left / tppX_)), static_cast<int>(std::lround(top / tppY_)));
}

void InfoWindow::SetOption(const Options& options)
{
    endDrag();
    const int rightEdge = x() + width();
    int end = 0;

    ui_->lblSpeed->setVisible(options.ShowSpeed);
    if (options.ShowSpeed)
        end = ui_->lblSpeed->x() + ui_->lblSpeed->width();

    ui_->lblTime->setVisible(options.ShowOnlineTime);
    if (options.ShowOnlineTime) {
        ui_->lblTime->move(end + 5, ui_->lblTime->y());
        end = ui_->lblTime->x() + ui_->lblTime->width();
    }

    ui_->picRight->setVisible(options.ShowRest);
    if (options.ShowRest) {
        ui_->picRight->move(end + 4, ui_->picRight->y());
        end = ui_->picRight->x() + ui_->picRight->width();
    }

    ui_->fra->resize(end + 5, ui_->fra->height());
    resize(ui_->fra->width() - 1, height());
    move(rightEdge - width(), y());
}

void InfoWindow::followScreen()
{
    // Any change of the screens: the primary one resized or moved, one added or gone.
    ScreenLayout screens = screenLayout();
    if (screens == memory_.lastScreens)
        return;
    memory_.lastScreens = std::move(screens);
    moveToStoredPlace();
}

void InfoWindow::setProgressValue(double value)
{
    followScreen();

    if (std::isnan(value))
        value = 0;
    clampValue(value, 0.0, 100.0);

    BarPicture& bar = *ui_->picBack;
    const int innerWidth = bar.width() - 2;
    const int innerHeight = bar.height() - 2;
    const int blue = roundToInt32(innerWidth * value / 100.0); // ties to even
    if (blue == memory_.lastBlueWidth)
        return;
    // A bar that shrinks within a unit (the cycle length changed) would keep
    // stale blue behind its end; repaint the remainder then as well.
    const bool shrank = blue < memory_.lastBlueWidth;
    memory_.lastBlueWidth = blue;
    bar.fillImageRect(QRect(1, 1, blue, innerHeight), ui_->picBlue->palette().color(QPalette::Window));

    const std::int32_t remaining = autoHangup_.unitsLeft();
    if (value < 0.1 || remaining != memory_.lastRemainingUnits || shrank) {
        memory_.lastRemainingUnits = remaining;
        QColor rest;
        if (!autoHangup_.armed()) {
            rest = ui_->picRight->palette().color(QPalette::Button);
            ui_->lblAutoDiscRest->hide();
        } else {
            rest = ui_->picGreen->palette().color(QPalette::Window);
            ui_->lblAutoDiscRest->setText(QString::number(remaining));
            ui_->lblAutoDiscRest->show();
        }
        bar.fillImageRect(QRect(blue + 1, 1, innerWidth - blue, innerHeight), rest);
    }
    bar.refresh();
}

void InfoWindow::setTimeText(const QString& text)
{
    ui_->lblTime->setText(text);
    ui_->lblTime->repaint();
}

void InfoWindow::setTaktText(const QString& text)
{
    ui_->lblTakt->setText(text);
    ui_->lblTakt->repaint();
}

void InfoWindow::setSpeedText(const QString& text)
{
    ui_->lblSpeed->setText(text);
}

void InfoWindow::mdown(Qt::MouseButton button)
{
    endDrag();
    if (button == Qt::LeftButton) {
        // The window manager moves the window as if its caption were held,
        // after this call has returned (and the toolkit may report the button
        // as released at once). So the stacking check and the recording wait
        // until the window has not moved for a moment.
        QWindow* handle = windowHandle();
        if (handle && handle->startSystemMove()) {
            dragging_ = true;
            dragSettle_.start();
            return;
        }
    }
    finishPress();
}

void InfoWindow::finishPress()
{
    // A drag stays open after this, so that moving on after a pause is
    // recorded as well; the next press or a move of our own ends it.
    if (keepOnTop_)
        keepOnTop_();
    recordPosition();
}

void InfoWindow::endDrag()
{
    // A drag still settling ends where the window is now: the place is kept
    // even when the window goes (the link ended) before the pause is over.
    if (dragSettle_.isActive())
        recordPosition();
    dragging_ = false;
    dragSettle_.stop();
}

void InfoWindow::recordPosition()
{
    position_ = recordInfoPosition(x(), y(), width(), screenLayout(), tppX_, tppY_);
}

bool InfoWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (!isPress(event))
        return QWidget::eventFilter(watched, event);

    const bool drags = watched == this || watched == ui_->fra || watched == ui_->lblTakt || watched == ui_->lblTime
        || watched == ui_->picBack;
    if (drags)
        mdown(static_cast<QMouseEvent*>(event)->button());
    return true; // the rest (lblSpeed, the number on the bar, bare picRight) ignore presses
}

void InfoWindow::moveEvent(QMoveEvent* event)
{
    if (dragging_)
        dragSettle_.start(); // still moving
    QWidget::moveEvent(event);
}

void InfoWindow::closeEvent(QCloseEvent* event)
{
    // The window lives as long as the metering run; a close request does nothing.
    event->ignore();
}

} // namespace zumi
