#include "app/german_qt_texts.h"
#include "app/qt_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace zumi {
namespace {

// The program's question box (the one of the after-N-units command) with Qt's
// buttons in German, whatever the locale of the test run.
TEST(GermanQtTexts, TheQuestionBoxAsksWithJaAndNein)
{
    ASSERT_TRUE(loadGermanQtTexts(*QCoreApplication::instance())) << "qt6-translations-l10n is missing";
    QStringList buttons;
    QTimer::singleShot(0, [&buttons] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(QtMessageBoxes().question(QStringLiteral("Nach wie vielen Einheiten auflegen?")));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")}));
}

} // namespace
} // namespace zumi
