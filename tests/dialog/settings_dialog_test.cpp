#include "about/qt/about_box.h"
#include "about/version_text.h"
#include "fake_dialup.h"
#include "fake_store.h"
#include "ras/connection_queries.h"
#include "settings/dialog/qt/settings_dialog_host.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStyleOption>
#include <QTest>

#include <gtest/gtest.h>

namespace zumi {
namespace {

struct SettingsDialogTest : testing::Test {
    test::FakeDialUp dialUp;
    test::FakeStore store;
    ConnNames connNames{};
    Settings settings;
    QStringList warnings;
    std::function<void(QDialog&)> act; // what the test does while the dialog is up
    SettingsDialogHost host{SettingsDialogDeps{
        .context =
            {
            .dialUp = dialUp,
            .connNames = connNames,
            .store = store,
            .settings = settings,
            .screen = screen,
            .findKolp = {},
            .setOption = {},
            .phonebookTrouble = [](const Phonebook& p) { return "unlesbar: " + p.path; },
            .readPhonebook = [this] { return loadPhonebook(dialUp, connNames); },
            },
        .warn = [this](QWidget*, const QString& text) { warnings << text; },
        .runModal =
            [this](QDialog& dialog) {
                dialog.show();
                EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
                act(dialog);
                return dialog.result();
            },
    }};

    static ScreenMetrics screen() { return {19200, 12000}; } // 1280 x 800 px
    void SetUp() override
    {
        dialUp.phonebook = {"Beta", "alpha"}; // listed sorted: alpha, Beta
        store.values["00"] = "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,";
        store.values["01"] = "Beta,0,,,,60,,,,0,,,,60,,,,";
    }
    void open(std::function<void(QDialog&)> whileOpen)
    {
        act = std::move(whileOpen);
        host.mnuSettings_Click(nullptr);
    }
    static QLineEdit* box(QDialog& d, const char* kind, int band)
    {
        return d.findChild<QLineEdit*>(QString("%1_%2").arg(kind).arg(band));
    }
    static QStringList boxes(QDialog& d)
    {
        QStringList texts;
        for (int b = 0; b < kBands; ++b)
            texts << box(d, "txtTime", b)->text() << box(d, "txtTakt1", b)->text();
        return texts;
    }
    static void click(QDialog& d, const char* button)
    {
        QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
    }
    static QComboBox* conn(QDialog& d) { return d.findChild<QComboBox*>("cboConn"); }
};

// What the widgets hand over and show: a paste at once, a refused comma leads to its field, Enter answers OK.
TEST_F(SettingsDialogTest, PasteShowsARefusedCommaLeadsToItsFieldAndEnterAnswersOk)
{
    store.values["HangupBytes"] = "4096";
    open([&](QDialog& d) {
        EXPECT_EQ(d.findChild<QComboBox*>("cboBytes")->currentText(), "4096");
        const QStringList alpha = boxes(d);
        click(d, "cmdCP_0");
        conn(d)->setCurrentIndex(1); // Beta
        click(d, "cmdCP_1");
        EXPECT_EQ(boxes(d), alpha);
        QTest::keyClicks(box(d, "txtTakt1", 5), "7,5");
        conn(d)->setCurrentIndex(0);
        click(d, "cmdOK");
        EXPECT_EQ(QApplication::focusWidget(), box(d, "txtTakt1", 5));
        EXPECT_EQ(box(d, "txtTakt1", 5)->selectedText(), "7,5");
        QTest::keyClicks(box(d, "txtTakt1", 5), "120");
        auto* vorlauf = d.findChild<QLineEdit*>("txtVorlauf");
        vorlauf->selectAll();
        QTest::keyClicks(vorlauf, "2.6");
        QTest::keyClick(vorlauf, Qt::Key_Return);
    });
    EXPECT_EQ(store.values["01"], "Beta,0,9,18,21,150,90,90,150,0,,,,240,120,,,");
    EXPECT_EQ(store.values["Vorlauf"], "2.6");
}

// An unreadable phonebook says why in the closed list.
TEST_F(SettingsDialogTest, UnreadablePhonebookShowsWhyInTheList)
{
    dialUp.phonebook.clear();
    dialUp.phonebookError = PhonebookError::NotPermitted;
    open([&](QDialog& d) {
        EXPECT_EQ(conn(d)->count(), 1);
        EXPECT_EQ(conn(d)->currentText(), "unlesbar: /etc/ppp/peers");
        EXPECT_FALSE(conn(d)->isEnabled());
    });
}

TEST_F(SettingsDialogTest, EnteringABoxSelectsItsTextUnlessByClick)
{
    open([&](QDialog& d) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // from cboConn, first in the order
        EXPECT_EQ(box(d, "txtTime", 0)->selectedText(), "0");
        QTest::mouseClick(box(d, "txtTakt1", 3), Qt::LeftButton, {}, QPoint(3, 9));
        QCoreApplication::processEvents(); // a selection made later would show now
        EXPECT_FALSE(box(d, "txtTakt1", 3)->hasSelectedText());
        box(d, "txtTime", 3)->setFocus(Qt::MouseFocusReason); // the click's focus without its own deselecting
        EXPECT_FALSE(box(d, "txtTime", 3)->hasSelectedText());
    });
}

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

// Run under tests/xsession.sh only: a real X server with openbox; screenshots go to ZUMI_ARTIFACTS.
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

TEST_F(SettingsDialogTest, OnScreenCaptionsWholeAndAFixedDialogBorder)
{
    open([](QDialog& d) { lookAt(d, "settings_dialog", {327, 408}); });
    AboutBox about(programVersion());
    lookAt(about, "about_box", {281, 241});
}

} // namespace
} // namespace zumi
