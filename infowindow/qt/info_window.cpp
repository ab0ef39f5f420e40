#include "infowindow/qt/info_window.h"

#include "infowindow/qt/screen_layout.h"
#include "settings/info_place.h"
#include "ui_frm_progress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace zumi {
namespace {

constexpr int kDragSettleMs = 500;

bool isPress(const QEvent* event)
{
    return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
}

QRect toQRect(const PixelRect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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
    tpp_.x = zumi::twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 96);
    tpp_.y = zumi::twipsPerPixel(screen ? screen->logicalDotsPerInchY() : 96);

    // The bar's image starts in its background colour, which leaves the
    // 1-pixel frame around the inner area.
    ui_->picBack->clearImage(QApplication::palette("QMenu").color(QPalette::Active, QPalette::WindowText));
    ui_->lblAutoDiscRest->setGeometry(ui_->picBack->width() - 22, twipsToPixels(1, tpp_.y), 20,
                                      ui_->picBack->height() - 2);
    ui_->lblAutoDiscRest->hide();

    // Whatever the bar remembered, these two leave it empty and fully painted.
    setProgressValue(1);
    setProgressValue(0);

    ui_->lblSpeed->setText(toQString(kSpeedOnLoad));
    resize(ui_->fra->width() - 1, ui_->fra->height() + ui_->fra->y() - 1);
}

InfoWindow::~InfoWindow() = default;

QWidget* InfoWindow::label(Caption caption) const
{
    switch (caption) {
    case Caption::Speed:
        return ui_->lblSpeed;
    case Caption::Time:
        return ui_->lblTime;
    case Caption::Takt:
        break;
    }
    return ui_->lblTakt;
}

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
        for (const CaptionText& widest : kWidestCaptions)
            fits = fits && metrics.horizontalAdvance(toQString(widest.text)) <= label(widest.caption)->width();
        if (fits || pixels <= 7)
            break;
    }
    for (QWidget* caption : std::initializer_list<QWidget*>{ui_->lblSpeed, ui_->lblTime, ui_->lblTakt})
        caption->setFont(font);
}

std::int32_t InfoWindow::moveToStoredPlace()
{
    endDrag();
    const InfoPlace place = placeInfoWindow(position_, width(), height(), screenLayout(), tpp_.x, tpp_.y);
    move(place.x, place.y);
    return place.leftTwips;
}

void InfoWindow::moveTwips(double left, double top)
{
    endDrag();
    move(twipsToPixels(left, tpp_.x), twipsToPixels(top, tpp_.y));
}

void InfoWindow::show()
{
    QWidget::show(); // without activating: the window's attributes see to that
    // Mapped before the stacking queries look at it. Events run in there, and
    // one may unload this window: nothing of it is touched afterwards.
    QGuiApplication::sync();
}

InfoRow InfoWindow::row() const
{
    const auto field = [](const QWidget* w) { return RowField{w->x(), w->width(), !w->isHidden()}; };
    return {field(ui_->lblSpeed), field(ui_->lblTime), field(ui_->picRight), ui_->fra->width()};
}

void InfoWindow::setOption(const Options& options)
{
    endDrag();
    const int rightEdge = x() + width();
    const InfoRow laidOut = layOutRow(row(), options);
    const auto place = [](QWidget* w, const RowField& field) {
        w->setVisible(field.shown);
        w->move(field.left, w->y());
    };
    place(ui_->lblSpeed, laidOut.speed);
    place(ui_->lblTime, laidOut.time);
    place(ui_->picRight, laidOut.rest);
    ui_->fra->resize(laidOut.frameWidth, ui_->fra->height());
    resize(laidOut.windowWidth(), height());
    move(rightEdge - width(), y());
}

void InfoWindow::followScreen()
{
    if (memory_.screens.changed(screenLayout()))
        moveToStoredPlace();
}

void InfoWindow::setProgressValue(double value)
{
    followScreen();

    BarPicture& bar = *ui_->picBack;
    const std::optional<BarDrawing> drawing
        = memory_.bar.setValue(value, {autoHangup_.armed(), autoHangup_.unitsLeft()}, bar.width(), bar.height());
    if (!drawing)
        return;
    bar.fillImageRect(toQRect(drawing->blue), ui_->picBlue->palette().color(QPalette::Window));
    if (const auto& rest = drawing->remainder) {
        QColor colour;
        if (!rest->armed) {
            colour = ui_->picRight->palette().color(QPalette::Button);
            ui_->lblAutoDiscRest->hide();
        } else {
            colour = ui_->picGreen->palette().color(QPalette::Window);
            ui_->lblAutoDiscRest->setText(toQString(rest->unitsLeft));
            ui_->lblAutoDiscRest->show();
        }
        bar.fillImageRect(toQRect(rest->area), colour);
    }
    bar.refresh();
}

void InfoWindow::setTimeText(const std::string& text)
{
    ui_->lblTime->setText(toQString(text));
    ui_->lblTime->repaint();
}

void InfoWindow::setTaktText(const std::string& text)
{
    ui_->lblTakt->setText(toQString(text));
    ui_->lblTakt->repaint();
}

void InfoWindow::setSpeedText(const std::string& text)
{
    ui_->lblSpeed->setText(toQString(text));
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
    position_ = recordInfoPosition(x(), y(), width(), screenLayout(), tpp_.x, tpp_.y);
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
