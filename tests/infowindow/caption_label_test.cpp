#include "infowindow/caption_label.h"
#include "paint_counter.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace zumi {
namespace {

// Columns and rows that hold ink (any pixel darker than the background).
struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1;
    int width() const { return right - left + 1; }
};

Ink inkOf(QWidget& widget)
{
    widget.setAutoFillBackground(true);
    const QImage image = widget.grab().toImage();
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 160)
                continue;
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = ink.top < 0 ? y : std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

QFont pixelFont(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

TEST(CaptionLabel, InkMatchesQLabelForEachAlignment)
{
    for (const Qt::Alignment alignment :
         {Qt::AlignLeft | Qt::AlignTop, Qt::AlignHCenter | Qt::AlignTop, Qt::AlignRight | Qt::AlignTop}) {
        for (const QString& text : {QStringLiteral("0:08"), QStringLiteral("12:34:56"), QStringLiteral("20,0 KB/s")}) {
            SCOPED_TRACE(testing::Message() << text.toStdString() << " alignment " << alignment);
            QLabel reference(text);
            CaptionLabel caption;
            caption.setText(text);
            for (QWidget* label : {static_cast<QWidget*>(&reference), static_cast<QWidget*>(&caption)}) {
                label->setFont(pixelFont(11));
                label->resize(70, 13);
            }
            reference.setAlignment(alignment);
            caption.setAlignment(alignment);
            const Ink expected = inkOf(reference);
            const Ink actual = inkOf(caption);
            ASSERT_GE(expected.left, 0);
            EXPECT_NEAR(actual.left, expected.left, 1);
            EXPECT_NEAR(actual.right, expected.right, 1);
            EXPECT_NEAR(actual.top, expected.top, 1);
            EXPECT_NEAR(actual.bottom, expected.bottom, 1);
        }
    }
}

TEST(CaptionLabel, NewFontIsUsedAtOnce)
{
    CaptionLabel caption;
    caption.resize(120, 30);
    caption.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    caption.setText(QStringLiteral("0:00:08"));
    caption.setFont(pixelFont(8));
    const Ink small = inkOf(caption);
    caption.setFont(pixelFont(16));
    const Ink large = inkOf(caption);
    EXPECT_GT(large.width(), small.width() * 3 / 2);
    EXPECT_GT(large.bottom - large.top, (small.bottom - small.top) * 3 / 2);
}

TEST(CaptionLabel, OnlyANewTextIsPainted)
{
    CaptionLabel caption;
    caption.resize(40, 13);
    caption.setText(QStringLiteral("0:01"));
    caption.show();
    QCoreApplication::processEvents();
    test::PaintCounter counter;
    caption.installEventFilter(&counter);
    caption.setText(QStringLiteral("0:01"));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    caption.setText(QStringLiteral("0:02"));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(caption.text(), "0:02");
}

} // namespace
} // namespace zumi
