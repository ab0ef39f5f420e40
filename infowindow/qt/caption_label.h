#pragma once
#include <QHash>
#include <QRawFont>
#include <QWidget>

namespace zumi {

// A one-line caption drawn straight from the font's glyphs. The info window
// rewrites two captions every second, and QLabel runs each through the whole
// text engine (itemizing, shaping, line breaking) - more work than the rest
// of the once-a-second tick. The captions are the program's own short texts
// of digits, letters and signs, which need no shaping and no fallback font.
class CaptionLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)
public:
    explicit CaptionLabel(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
    };
    Glyph glyphFor(QChar character);

    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    QRawFont rawFont_; // of font(), made on the first paint after a change
    QHash<char16_t, Glyph> glyphs_;
};

} // namespace zumi
