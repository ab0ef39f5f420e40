#include "infowindow/qt/caption_label.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPainter>

#include <cmath>

namespace zumi {

CaptionLabel::CaptionLabel(QWidget* parent)
    : QWidget(parent)
{
}

void CaptionLabel::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    update();
}

void CaptionLabel::setAlignment(Qt::Alignment alignment)
{
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
}

void CaptionLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        rawFont_ = QRawFont();
        glyphs_.clear();
        update();
    }
    QWidget::changeEvent(event);
}

CaptionLabel::Glyph CaptionLabel::glyphFor(QChar character)
{
    const auto known = glyphs_.constFind(character.unicode());
    if (known != glyphs_.constEnd())
        return *known;
    Glyph glyph;
    int count = 1;
    if (rawFont_.glyphIndexesForChars(&character, 1, &glyph.index, &count) && count == 1) {
        QPointF advance;
        if (rawFont_.advancesForGlyphIndexes(&glyph.index, &advance, 1, QRawFont::SeparateAdvances))
            glyph.advance = advance.x();
    }
    glyphs_.insert(character.unicode(), glyph);
    return glyph;
}

void CaptionLabel::paintEvent(QPaintEvent*)
{
    if (text_.isEmpty())
        return;
    if (!rawFont_.isValid())
        rawFont_ = QRawFont::fromFont(font());

    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(text_.size());
    positions.reserve(text_.size());
    qreal textWidth = 0;
    for (const QChar character : text_) {
        const Glyph glyph = glyphFor(character);
        indexes.append(glyph.index);
        positions.append(QPointF(textWidth, 0));
        textWidth += glyph.advance;
    }

    qreal left = 0;
    if (alignment_ & Qt::AlignRight)
        left = width() - textWidth;
    else if (alignment_ & Qt::AlignHCenter)
        left = (width() - textWidth) / 2;
    const qreal ascent = rawFont_.ascent();
    qreal baseline = ascent;
    if (alignment_ & Qt::AlignBottom)
        baseline = height() - rawFont_.descent();
    else if (alignment_ & Qt::AlignVCenter)
        baseline = (height() - ascent - rawFont_.descent()) / 2 + ascent;

    QGlyphRun run;
    run.setRawFont(rawFont_);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    // Whole pixels, as QLabel places its text: no blur from a half-pixel start.
    painter.drawGlyphRun(QPointF(std::round(left), std::round(baseline)), run);
}

} // namespace zumi
