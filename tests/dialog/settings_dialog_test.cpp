#include "fake_dialup.h"
#include "fake_store.h"
#include "settings/dialog/settings_dialog_host.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zumi {
namespace {

class SettingsDialogTest : public testing::Test {
protected:
    test::FakeDialUp dialUp;
    test::FakeStore store;
    ConnNames connNames{};
    Settings settings;
    QStringList warnings;
    int setOptionCalls = 0;
    std::function<void(QDialog&)> act; // what the test does while the dialog is up

    SettingsDialogHost host{SettingsDialogDeps{
        .dialUp = dialUp,
        .connNames = connNames,
        .store = store,
        .settings = settings,
        .screen =
            [] {
                return ScreenMetrics{19200, 12000};
            },
        .findKolp = {},
        .setOption = [this] { ++setOptionCalls; },
        .phonebookTrouble = [](const Phonebook& p) { return "unlesbar: " + p.path; },
        .warn = [this](QWidget*, const QString& text) { warnings << text; },
        .runModal =
            [this](QDialog& dialog) {
                dialog.show();
                EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
                act(dialog);
                return dialog.result();
            },
    }};

    void SetUp() override
    {
        dialUp.phonebook = {"Beta", "alpha"}; // listed sorted: alpha, Beta
        store.values["00"] = "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,";
        store.values["01"] = "Beta,0,,,,60,,,,0,,,,60,,,,";
        store.values["HangupBytes"] = "512";
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
};

TEST_F(SettingsDialogTest, RefusedWhileAnyConnectionExistsMeteredOrNot)
{
    dialUp.connect(5, "Net1");
    host.mnuSettings_Click(nullptr);
    dialUp.disconnectAll();
    dialUp.connections.push_back({7, ""}); // a direct cable connection: no entry name
    host.mnuSettings_Click(nullptr);
    EXPECT_EQ(warnings, QStringList(2, "Nicht während eine Verbindung aktiv ist"));
}

TEST_F(SettingsDialogTest, OkStoresTheEditsOfEveryConnectionAndTheNextLoadReadsThemBack)
{
    store.values["HangupBytes"] = "3000";
    open([&](QDialog& d) {
        EXPECT_EQ(d.findChild<QComboBox*>("cboBytes")->currentText(), "1024");
        EXPECT_EQ(boxes(d),
                  QStringList({"0", "150", "9", "90", "18", "90", "21", "150", "0", "240", "", "", "", "", "", ""}));
        d.findChild<QComboBox*>("cboConn")->setCurrentIndex(1); // Beta
        QTest::keyClicks(box(d, "txtTime", 1), "8");
        QTest::keyClicks(box(d, "txtTakt1", 1), "120");
        d.findChild<QComboBox*>("cboConn")->setCurrentIndex(0); // the edits stay with Beta
        d.findChild<QComboBox*>("cboTakte")->setCurrentIndex(9);
        click(d, "cmdOK");
    });
    EXPECT_EQ(setOptionCalls, 1);
    EXPECT_EQ(store.values["00"], "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,");
    EXPECT_EQ(store.values["01"], "Beta,0,8,,,60,120,,,0,,,,60,,,,");
    Settings reloaded;
    loadSettings(store, connNames, ScreenMetrics{19200, 12000}, {}, reloaded);
    EXPECT_EQ(reloaded.tariffs.takt(1, 1), "120");
    EXPECT_EQ(reloaded.options.HangupTakte, 10);

    store.values["HangupBytes"] = "4096";
    open([&](QDialog& d) { EXPECT_EQ(d.findChild<QComboBox*>("cboBytes")->currentText(), "4096"); });
}

TEST_F(SettingsDialogTest, VorlaufTextIsStoredAsTypedAndReadAsItsLeadingNumber)
{
    for (const auto& [text, value] : {std::pair<const char*, int>{"3", 3}, {"abc", 0}, {"2.6", 3}}) {
        open([&](QDialog& d) {
            auto* vorlauf = d.findChild<QLineEdit*>("txtVorlauf");
            vorlauf->selectAll();
            QTest::keyClicks(vorlauf, text);
            QTest::keyClick(vorlauf, Qt::Key_Return); // Enter answers OK
        });
        EXPECT_EQ(store.values["Vorlauf"], text);
        EXPECT_EQ(settings.options.Vorlauf, value) << text;
    }
}

TEST_F(SettingsDialogTest, EmptyPhonebookSavesNoRecordButAllOptions)
{
    dialUp.phonebook.clear();
    store.values.clear();
    open([&](QDialog& d) { click(d, "cmdOK"); });
    EXPECT_FALSE(store.values.count("00"));
    EXPECT_EQ(store.values.size(), 9u) << "every option";

    // Unreadable: the list says why, and OK still stores the options.
    dialUp.phonebookError = PhonebookError::NotPermitted;
    store.values.clear();
    open([&](QDialog& d) {
        auto* list = d.findChild<QComboBox*>("cboConn");
        ASSERT_TRUE(list);
        EXPECT_EQ(list->count(), 1);
        EXPECT_EQ(list->currentText(), "unlesbar: /etc/ppp/peers");
        EXPECT_FALSE(list->isEnabled());
        click(d, "cmdOK");
    });
    EXPECT_EQ(store.values.size(), 9u);
}

TEST_F(SettingsDialogTest, PasteBeforeCopyEmptiesAndCopyPasteThenAbbrechenDropsEverything)
{
    open([&](QDialog& d) {
        const QStringList alpha = boxes(d);
        auto* cbo = d.findChild<QComboBox*>("cboConn");
        cbo->setCurrentIndex(1);
        click(d, "cmdCP_1");
        EXPECT_EQ(boxes(d), QStringList(16, QString()));
        cbo->setCurrentIndex(0);
        click(d, "cmdCP_0");
        cbo->setCurrentIndex(1);
        click(d, "cmdCP_1");
        EXPECT_EQ(boxes(d), alpha);
        click(d, "cmdCancel");
    });
    EXPECT_EQ(store.writeCalls, 0);
    EXPECT_EQ(settings.tariffs.takt(1, 0), "60");
}

TEST_F(SettingsDialogTest, CommaInATariffIsRefusedAndEveryEditKept)
{
    open([&](QDialog& d) {
        auto* cbo = d.findChild<QComboBox*>("cboConn");
        cbo->setCurrentIndex(1);
        QTest::keyClicks(box(d, "txtTakt1", 5), "7,5");
        cbo->setCurrentIndex(0);
        QTest::keyClicks(box(d, "txtTime", 5), "1");
        click(d, "cmdOK");
        ASSERT_EQ(warnings.size(), 1);
        EXPECT_TRUE(warnings[0].contains("„Beta“")) << warnings[0].toStdString();
        EXPECT_TRUE(warnings[0].contains("(Wochenende, Feiertags, 2. Zeile, Takt)"));
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(store.writeCalls, 0);
        EXPECT_EQ(box(d, "txtTakt1", 5)->text(), "7,5"); // led to the field, on Beta
        cbo->setCurrentIndex(0);
        EXPECT_EQ(box(d, "txtTime", 5)->text(), "1");
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

} // namespace
} // namespace zumi
