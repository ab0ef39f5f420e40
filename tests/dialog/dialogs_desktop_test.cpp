// The two dialogs as the user sees them on a real X server with a window
// manager (run inside tests/xsession.sh); screenshots go to ZUMI_ARTIFACTS.
#include "about/about_box.h"
#include "fake_dialup.h"
#include "fake_store.h"
#include "settings/dialog/settings_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QStyleOption>
#include <QTest>

#include <gtest/gtest.h>

namespace zumi {
namespace {

QString xprop(QWidget& window, const char* property)
{
    QProcess p;
    p.start("xprop", {"-id", QString::number(window.winId()), property});
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// Captions that do not fit the room their control gives them.
QStringList clipped(QWidget& dialog)
{
    QStringList out;
    const auto check = [&](QWidget* w, QString text, int room) {
        const int needed = w->fontMetrics().horizontalAdvance(text.remove('&'));
        if (needed > room)
            out << QString("%1 \"%2\" %3>%4").arg(w->objectName(), text).arg(needed).arg(room);
    };
    for (QLabel* l : dialog.findChildren<QLabel*>())
        check(l, l->text(), l->contentsRect().width());
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        const auto element = qobject_cast<QCheckBox*>(b) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
        check(b, b->text(), b->style()->subElementRect(element, &opt, b).width());
    }
    return out;
}

// The label drawn with and without its access key: the underline is the difference.
bool underlineShows(QLabel& label)
{
    const QImage with = label.grab().toImage();
    const QString text = label.text();
    label.setText(QString(text).remove('&'));
    const QImage without = label.grab().toImage();
    label.setText(text);
    return with != without;
}

void lookAt(QDialog& dialog, const char* name, QSize clientSize)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(500);
    const QByteArray dir = qgetenv("ZUMI_ARTIFACTS");
    if (!dir.isEmpty()) {
        const QRect frame = dialog.frameGeometry();
        dialog.screen()
            ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
            .save(QString("%1/%2.png").arg(QString::fromLocal8Bit(dir), name));
    }
    EXPECT_EQ(dialog.size(), clientSize) << name;
    EXPECT_EQ(clipped(dialog).join("; ").toStdString(), "") << name;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        EXPECT_TRUE(!label->text().contains('&') || underlineShows(*label)) << label->objectName().toStdString();

    // Motif hints: neither function nor decoration for minimise and maximise.
    const QStringList motif = xprop(dialog, "_MOTIF_WM_HINTS").section('=', 1).split(',');
    ASSERT_EQ(motif.size(), 5) << name;
    EXPECT_EQ(motif[1].trimmed().toUInt(nullptr, 16) & 0x19, 0u) << name << " functions";
    EXPECT_EQ(motif[2].trimmed().toUInt(nullptr, 16) & 0x61, 0u) << name << " decorations";
    const QString actions = xprop(dialog, "_NET_WM_ALLOWED_ACTIONS");
    for (const char* offered : {"MAXIMIZE", "RESIZE"})
        EXPECT_FALSE(actions.contains(offered)) << name << ": " << actions.toStdString();

    // openbox offers minimising on every dialog; the dialog comes straight back.
    QProcess::execute("xdotool", {"windowminimize", QString::number(dialog.winId())});
    QTest::qWait(1000);
    EXPECT_FALSE(dialog.isMinimized()) << name;
    EXPECT_FALSE(xprop(dialog, "_NET_WM_STATE").contains("HIDDEN")) << name;
    dialog.close();
}

TEST(DialogsOnScreen, CaptionsWholeAndAFixedDialogBorder)
{
    test::FakeDialUp dialUp;
    test::FakeStore store;
    ConnNames connNames{};
    Settings settings;
    CopyBuffer copy;
    const SettingsDialogDeps deps{.dialUp = dialUp,
                                  .connNames = connNames,
                                  .store = store,
                                  .settings = settings,
                                  .screen =
                                      [] {
                                          return ScreenMetrics{19200, 12000};
                                      },
                                  .findKolp = {},
                                  .setOption = [] {}};
    SettingsDialog settingsDialog(deps, Phonebook{{"Provider"}, PhonebookError::None, {}, 0}, copy);
    lookAt(settingsDialog, "settings_dialog", {327, 408});
    AboutBox about(programVersion());
    lookAt(about, "about_box", {281, 241});
}

} // namespace
} // namespace zumi

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
