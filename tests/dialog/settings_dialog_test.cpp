#include "about_box.h"
#include "center_form.h"
#include "fake_dialup.h"
#include "fake_store.h"
#include "settings_dialog_host.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace zumi {
namespace {

struct Warning {
    QWidget* parent;
    QString text;
};

class SettingsDialogTest : public testing::Test {
protected:
    test::FakeDialUp dialUp;
    test::FakeStore store;
    ConnNames connNames{};
    Settings settings;
    std::vector<Warning> warnings;
    int setOptionCalls = 0;
    int aboutCalls = 0;
    int modalRuns = 0;
    // What the test does while the dialog is up; the dialog's state is read after it.
    std::function<void(QDialog&)> act = [](QDialog&) {};

    SettingsDialogHost host{SettingsDialogDeps{
        .dialUp = dialUp,
        .connNames = connNames,
        .store = store,
        .settings = settings,
        .screen = [] { return ScreenMetrics{19200, 12000}; },
        .findKolp = [] { return std::optional<PixelRect>{}; },
        .setOption = [this] { ++setOptionCalls; },
        .warn = [this](QWidget* parent, const QString& text) { warnings.push_back({parent, text}); },
        .showAbout = [this](QWidget*) { ++aboutCalls; },
        .runModal =
            [this](QDialog& dialog) {
                ++modalRuns;
                dialog.show();
                dialog.activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
                act(dialog);
                return dialog.result();
            },
    }};

    void SetUp() override
    {
        dialUp.phonebook = {"Beta", "alpha"}; // listed in sorted order: alpha, Beta
        store.values["00"] = "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,";
        store.values["01"] = "Beta,0,,,,60,,,,0,,,,60,,,,";
        store.values["HangupBytes"] = "512";
    }

    void open(std::function<void(QDialog&)> whileOpen)
    {
        act = std::move(whileOpen);
        host.mnuSettings_Click(nullptr);
    }

    template <typename T>
    static T* child(QDialog& dialog, const QString& name)
    {
        auto* widget = dialog.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    static QLineEdit* box(QDialog& d, const char* kind, int band)
    {
        return child<QLineEdit>(d, QString("%1_%2").arg(kind).arg(band));
    }
    static QStringList boxes(QDialog& d)
    {
        QStringList texts;
        for (int b = 0; b < kBands; ++b)
            texts << box(d, "txtTime", b)->text() << box(d, "txtTakt1", b)->text();
        return texts;
    }
    static void click(QDialog& d, const char* button) { QTest::mouseClick(child<QPushButton>(d, button), Qt::LeftButton); }
    static void retype(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
};

TEST_F(SettingsDialogTest, RefusedWhileAnyConnectionExistsMeteredOrNot)
{
    dialUp.connect(5, "Net1");
    host.mnuSettings_Click(nullptr);
    dialUp.disconnectAll();
    dialUp.connections.push_back({7, ""}); // a direct cable connection: no entry name
    host.mnuSettings_Click(nullptr);

    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[1].text, "Nicht während eine Verbindung aktiv ist");
    EXPECT_EQ(modalRuns, 0);
    EXPECT_EQ(store.writeCalls, 0);
}

TEST_F(SettingsDialogTest, LoadsTheSelectedConnectionAndTheOptions)
{
    store.values["HangupBytes"] = "3000";
    store.values["HangupTakte"] = "7";
    store.values["WarnSnd"] = "-1";
    store.values["ShowRest"] = "0";
    open([&](QDialog& d) {
        EXPECT_EQ(child<QComboBox>(d, "cboConn")->currentText(), "alpha");
        EXPECT_EQ(boxes(d), QStringList({"0", "150", "9", "90", "18", "90", "21", "150", "0", "240", "", "", "", "", "", ""}));
        EXPECT_EQ(child<QComboBox>(d, "cboBytes")->currentText(), "1024");
        EXPECT_EQ(child<QComboBox>(d, "cboTakte")->currentText(), "7");
        EXPECT_TRUE(child<QCheckBox>(d, "chkSnd_0")->isChecked());
        EXPECT_FALSE(child<QCheckBox>(d, "chkSnd_1")->isChecked());
        EXPECT_FALSE(child<QCheckBox>(d, "chkShowRest")->isChecked());
        EXPECT_EQ(child<QLineEdit>(d, "txtVorlauf")->text(), "2");
    });
    store.values["HangupBytes"] = "4096";
    open([&](QDialog& d) { EXPECT_EQ(child<QComboBox>(d, "cboBytes")->currentText(), "4096"); });
}

TEST_F(SettingsDialogTest, OkStoresEveryControlAndTheTypedTariffs)
{
    open([&](QDialog& d) {
        child<QComboBox>(d, "cboConn")->setCurrentIndex(1); // Beta
        retype(box(d, "txtTakt1", 0), "120");
        QTest::keyClicks(box(d, "txtTime", 1), "8");
        child<QComboBox>(d, "cboConn")->setCurrentIndex(0); // the edits stay with Beta
        EXPECT_EQ(box(d, "txtTakt1", 0)->text(), "150");
        child<QComboBox>(d, "cboTakte")->setCurrentIndex(9);
        child<QComboBox>(d, "cboBytes")->setCurrentIndex(0);
        child<QCheckBox>(d, "chkSnd_1")->setChecked(true);
        child<QCheckBox>(d, "chkAutoHangup")->setChecked(true);
        child<QCheckBox>(d, "chkShowSpeed")->setChecked(false);
        click(d, "cmdOK");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(setOptionCalls, 1);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(store.values["00"], "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,");
    EXPECT_EQ(store.values["01"], "Beta,0,8,,,120,,,,0,,,,60,,,,");
    EXPECT_EQ(store.values["HangupTakte"], "10");
    EXPECT_EQ(store.values["HangupBytes"], "256");
    EXPECT_EQ(store.values["HangupSnd"], "-1");
    EXPECT_EQ(store.values["WarnSnd"], "0");
    EXPECT_EQ(store.values["AutoHangup"], "1");
    EXPECT_EQ(store.values["ShowSpeed"], "0");
    EXPECT_EQ(store.values["ShowRest"], "1");
    EXPECT_EQ(settings.options.HangupTakte, 10);
    EXPECT_EQ(settings.tariffs.takt(1, 0), "120");

    // What was stored comes back on the next opening.
    Settings reloaded;
    loadSettings(store, connNames, ScreenMetrics{19200, 12000}, {}, reloaded);
    EXPECT_EQ(reloaded.tariffs.start(1, 1), "8");
    EXPECT_EQ(reloaded.options.HangupTakte, 10);
}

TEST_F(SettingsDialogTest, VorlaufTextIsStoredAsTypedAndReadAsItsLeadingNumber)
{
    const std::pair<QString, int> cases[] = {{"3", 3}, {"abc", 0}, {"2.6", 3}};
    for (const auto& [text, value] : cases) {
        open([&](QDialog& d) {
            retype(child<QLineEdit>(d, "txtVorlauf"), text);
            QTest::keyClick(child<QLineEdit>(d, "txtVorlauf"), Qt::Key_Return); // Enter answers OK
        });
        EXPECT_EQ(store.values["Vorlauf"], text.toStdString());
        EXPECT_EQ(settings.options.Vorlauf, value) << text.toStdString();
    }
}

TEST_F(SettingsDialogTest, EmptyPhonebookSavesNoRecordButAllOptions)
{
    dialUp.phonebook.clear();
    store.values.clear();
    open([&](QDialog& d) {
        EXPECT_EQ(child<QComboBox>(d, "cboConn")->count(), 0);
        EXPECT_EQ(boxes(d), QStringList({"5", "210", "9", "90", "18", "210", "21", "240", "5", "210", "9", "90", "18",
                                         "210", "21", "240"}));
        EXPECT_FALSE(box(d, "txtTime", 0)->isEnabled());
        EXPECT_FALSE(box(d, "txtTakt1", 7)->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d, "cmdCP_0")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d, "cmdCP_1")->isEnabled());
        click(d, "cmdOK");
    });
    EXPECT_FALSE(store.values.count("00"));
    for (const char* key : {"HangupSnd", "WarnSnd", "Vorlauf", "AutoHangup", "HangupBytes", "HangupTakte", "ShowSpeed",
                            "ShowOnlineTime", "ShowRest"})
        EXPECT_TRUE(store.values.count(key)) << key;
}

TEST_F(SettingsDialogTest, CopyPasteBetweenConnectionsThenAbbrechenDropsEverything)
{
    QStringList alpha;
    open([&](QDialog& d) {
        // Paste before any Copy in this run empties all sixteen boxes.
        click(d, "cmdCP_1");
        EXPECT_EQ(boxes(d), QStringList(16, QString()));
    });
    const auto before = store.values;
    const int writesBefore = store.writeCalls;
    open([&](QDialog& d) {
        alpha = boxes(d);
        click(d, "cmdCP_0");
        child<QComboBox>(d, "cboConn")->setCurrentIndex(1);
        click(d, "cmdCP_1");
        EXPECT_EQ(boxes(d), alpha);
        retype(box(d, "txtTime", 7), "22");
        child<QComboBox>(d, "cboConn")->setCurrentIndex(0);
        child<QComboBox>(d, "cboConn")->setCurrentIndex(1);
        EXPECT_EQ(box(d, "txtTime", 7)->text(), "22");
        click(d, "cmdCancel");
    });
    EXPECT_EQ(store.values, before);
    EXPECT_EQ(store.writeCalls, writesBefore);
    EXPECT_EQ(settings.tariffs.takt(1, 0), "60");
    EXPECT_EQ(setOptionCalls, 0);

    // The buffer outlives the dialog; Esc closes without storing too.
    open([&](QDialog& d) {
        child<QComboBox>(d, "cboConn")->setCurrentIndex(1);
        click(d, "cmdCP_1");
        EXPECT_EQ(boxes(d), alpha);
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(store.values, before);
}

TEST_F(SettingsDialogTest, CommaInATariffIsRefusedAndEveryEditKept)
{
    const auto before = store.values;
    open([&](QDialog& d) {
        auto* cbo = child<QComboBox>(d, "cboConn");
        cbo->setCurrentIndex(1);
        retype(box(d, "txtTakt1", 5), "7,5");
        cbo->setCurrentIndex(0);
        retype(box(d, "txtTime", 0), "1");
        click(d, "cmdOK");

        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0].parent, &d);
        for (const char* part : {"„Beta“", "Komma", "Wochenende, Feiertags", "2. Zeile", "Takt"})
            EXPECT_TRUE(warnings[0].text.contains(QString::fromUtf8(part))) << part;
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(store.values, before);
        EXPECT_EQ(setOptionCalls, 0);
        EXPECT_EQ(cbo->currentIndex(), 1); // led to the field
        EXPECT_TRUE(box(d, "txtTakt1", 5)->hasFocus());
        EXPECT_EQ(box(d, "txtTakt1", 5)->text(), "7,5");
        cbo->setCurrentIndex(0);
        EXPECT_EQ(box(d, "txtTime", 0)->text(), "1");

        cbo->setCurrentIndex(1);
        retype(box(d, "txtTakt1", 5), "75");
        click(d, "cmdOK");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(store.values["01"], "Beta,0,,,,60,,,,0,,,,60,75,,,");
    EXPECT_EQ(store.values["00"], "alpha,1,9,18,21,150,90,90,150,0,,,,240,,,,");
}

TEST_F(SettingsDialogTest, StoreFailureIsReportedButTheValuesApply)
{
    open([&](QDialog& d) {
        store.failWrites = true;
        child<QComboBox>(d, "cboTakte")->setCurrentIndex(4);
        click(d, "cmdOK");
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(warnings[0].text.contains("nicht gespeichert"));
    EXPECT_EQ(settings.options.HangupTakte, 5);
    EXPECT_EQ(setOptionCalls, 1);
}

TEST_F(SettingsDialogTest, CloseWithoutSavingStoresNothing)
{
    const auto before = store.values;
    open([&](QDialog& d) {
        retype(box(d, "txtTime", 0), "3");
        host.mnuSettings_Click(nullptr); // a second opening only raises this one
        EXPECT_TRUE(host.isOpen());
        host.closeWithoutSaving();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_FALSE(host.isOpen());
    EXPECT_EQ(modalRuns, 1);
    EXPECT_EQ(store.values, before);
    EXPECT_EQ(settings.tariffs.start(0, 0), "0");
    EXPECT_EQ(setOptionCalls, 0);
}

TEST_F(SettingsDialogTest, EnteringABoxSelectsItsTextUnlessByClick)
{
    open([&](QDialog& d) {
        child<QComboBox>(d, "cboConn")->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), box(d, "txtTime", 0));
        EXPECT_EQ(box(d, "txtTime", 0)->selectedText(), "0");

        auto* vorlauf = child<QLineEdit>(d, "txtVorlauf");
        vorlauf->setFocus(Qt::OtherFocusReason); // any way but a click
        EXPECT_EQ(vorlauf->selectedText(), "2");

        auto* takt = box(d, "txtTakt1", 3);
        QTest::mouseClick(takt, Qt::LeftButton, {}, QPoint(3, 9));
        EXPECT_TRUE(takt->hasFocus());
        EXPECT_FALSE(takt->hasSelectedText());
        click(d, "cmdInfo");
    });
    EXPECT_EQ(aboutCalls, 1);
}

TEST_F(SettingsDialogTest, LayoutAndTabOrder)
{
    open([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Einstellungen");
        EXPECT_EQ(d.size(), QSize(327, 408));
        EXPECT_EQ(d.minimumSize(), d.maximumSize());
        EXPECT_FALSE(d.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(child<QComboBox>(d, "cboConn")->geometry(), QRect(8, 32, 217, 21));
        EXPECT_EQ(box(d, "txtTakt1", 6)->geometry(), QRect(196, 136, 29, 19));
        EXPECT_EQ(child<QLabel>(d, "Label1_14")->geometry(), QRect(228, 140, 9, 13));
        EXPECT_EQ(child<QLineEdit>(d, "txtVorlauf")->geometry(), QRect(76, 28, 21, 19));
        EXPECT_EQ(child<QPushButton>(d, "cmdInfo")->geometry(), QRect(232, 380, 68, 25));
        EXPECT_EQ(child<QLabel>(d, "Label4")->text(), "Bytes übertragen in");
        EXPECT_EQ(child<QLabel>(d, "Label1_1")->buddy(), box(d, "txtTime", 0));

        QStringList expected{"cboConn"};
        for (int b = 0; b < kBands; ++b)
            expected << QString("txtTime_%1").arg(b) << QString("txtTakt1_%1").arg(b);
        expected << "cmdCP_0" << "cmdCP_1" << "chkSnd_0" << "chkSnd_1" << "txtVorlauf" << "cmdOK" << "cmdCancel"
                 << "cmdInfo" << "chkAutoHangup" << "cboBytes" << "cboTakte" << "chkShowSpeed" << "chkShowOnlineTime"
                 << "chkShowRest" << "cboConn";
        child<QComboBox>(d, "cboConn")->setFocus(Qt::OtherFocusReason);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(visited, expected);
    });
}

// The program's own modal loops: the dialog, and the about box over it.
TEST(SettingsDialogModal, RealExecWithTheAboutBoxOverIt)
{
    test::FakeDialUp dialUp;
    test::FakeStore store;
    ConnNames connNames{};
    Settings settings;
    SettingsDialogHost host{SettingsDialogDeps{.dialUp = dialUp,
                                               .connNames = connNames,
                                               .store = store,
                                               .settings = settings,
                                               .screen = [] { return ScreenMetrics{19200, 12000}; },
                                               .findKolp = {},
                                               .setOption = {}}};
    QString aboutTitle;
    bool dialogCentred = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // Centred as loaded; the window frame, known only once shown, may shift it by its width.
        const QPoint offset = dialog->frameGeometry().center() - dialog->screen()->geometry().center();
        dialogCentred = std::abs(offset.x()) <= 4 && std::abs(offset.y()) <= 4;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr);
            aboutTitle = about->windowTitle();
            host.closeWithoutSaving(); // metering started: everything goes, nothing is stored
        });
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdInfo"), Qt::LeftButton);
    });
    host.mnuSettings_Click(nullptr);
    EXPECT_EQ(aboutTitle, "Information");
    EXPECT_TRUE(dialogCentred);
    EXPECT_FALSE(host.isOpen());
    EXPECT_EQ(store.writeCalls, 1); // only loadSettings' "HangupBytes" default
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace zumi
