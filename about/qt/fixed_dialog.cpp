#include "about/qt/fixed_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QStringList>
#include <QStyleOption>
#include <QTimer>

namespace zumi {

namespace {

QString withoutMnemonic(QString text)
{
    return text.replace(QLatin1String("&&"), QLatin1String("\x01")).remove('&').replace('\x01', '&');
}

// Where the caption may go inside a label or button.
QRect captionRoom(const QWidget& w)
{
    if (const auto* label = qobject_cast<const QLabel*>(&w))
        return label->contentsRect();
    const auto& button = static_cast<const QAbstractButton&>(w);
    QStyleOptionButton option;
    option.initFrom(&button);
    const auto element
        = qobject_cast<const QCheckBox*>(&button) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
    return button.style()->subElementRect(element, &option, &button);
}

QString captionOf(const QWidget& w)
{
    if (const auto* label = qobject_cast<const QLabel*>(&w))
        return label->text();
    return static_cast<const QAbstractButton&>(w).text();
}

// Some window managers (openbox) offer minimising on every dialog whatever
// its hints say; a minimised modal dialog would block the program unseen.
class StayRestored final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowStateChange && dialog->isMinimized()) {
            QTimer::singleShot(0, dialog, [dialog] {
                dialog->showNormal();
                dialog->raise();
                dialog->activateWindow();
            });
        }
        return false;
    }
};

// The whole line, descenders and the access key's underline with it.
bool lineInside(const QFontMetrics& metrics, int height)
{
    return metrics.height() <= height && metrics.ascent() + metrics.underlinePos() + metrics.lineWidth() <= height;
}

// Captions of the dialog's own font (not those given a font of their own)
// that would be cut off: too wide for their control, or, for a label, too
// tall for its line (the underline of an access key sits below the baseline).
QStringList clippedCaptions(const QWidget& dialog)
{
    QStringList clipped;
    for (const QWidget* w : dialog.findChildren<QWidget*>()) {
        const bool captioned = qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w);
        if (!captioned || w->testAttribute(Qt::WA_SetFont))
            continue;
        const QString caption = captionOf(*w);
        const QRect room = captionRoom(*w);
        const QFontMetrics metrics = w->fontMetrics();
        const bool fits = metrics.horizontalAdvance(withoutMnemonic(caption)) <= room.width()
            && (!qobject_cast<const QLabel*>(w) || lineInside(metrics, room.height()));
        if (!fits)
            clipped << w->objectName();
    }
    return clipped;
}

} // namespace

void makeFixedDialog(QDialog& dialog, QSize clientSize)
{
    dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(clientSize);

    // The layout was drawn for one font's metrics; the desktop may substitute
    // a wider one (Arial falls back to Nimbus Sans or Liberation Sans).
    QFont font = dialog.font();
    const double designed = font.pointSizeF();
    for (double size = designed; size >= designed * 0.75; size -= 0.25) {
        font.setPointSizeF(size);
        dialog.setFont(font);
        if (clippedCaptions(dialog).isEmpty())
            break;
    }
    dialog.installEventFilter(new StayRestored(&dialog));
}

} // namespace zumi
