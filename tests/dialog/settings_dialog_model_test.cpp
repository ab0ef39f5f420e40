#include "fake_dialup.h"
#include "fake_store.h"
#include "settings/dialog/settings_dialog_model.h"
#include "ras/connection_queries.h"
#include "settings/dialog/settings_opening.h"

#include <gtest/gtest.h>

#include <memory>

namespace zumi {
namespace {

using Texts = std::vector<std::string>;

struct SettingsDialogModelTest : testing::Test {
    test::FakeDialUp dialUp;
    test::FakeStore store;
    ConnNames connNames{};
    Settings settings;
    CopyBuffer copyBuffer;
    int setOptionCalls = 0;
    std::unique_ptr<SettingsDialogModel> model;

    void SetUp() override
    {
        dialUp.phonebook = {"Beta", "alpha"}; // listed sorted: alpha, Beta
        store.values["00"] = "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,";
        store.values["01"] = "Beta,0,,,,60,,,,0,,,,60,,,,";
        store.values["HangupBytes"] = "512";
    }
    // What the menu command does before the dialog shows.
    SettingsDialogModel& open()
    {
        const Phonebook listed = loadPhonebook(dialUp, connNames);
        loadSettings(store, connNames, {19200, 12000}, {}, settings);
        model = std::make_unique<SettingsDialogModel>(
            SettingsDialogTarget{store, connNames, settings, [this] { ++setOptionCalls; }}, listed,
            [](const Phonebook& p) { return "unlesbar: " + p.path; }, copyBuffer);
        return *model;
    }
    Texts boxes() const
    {
        Texts texts;
        for (int b = 0; b < kBands; ++b)
            texts.insert(texts.end(), {model->tariffText(b, false), model->tariffText(b, true)});
        return texts;
    }
};

// Refused while any connection exists, metered or not (a direct cable one has no entry name).
TEST_F(SettingsDialogModelTest, OkStoresTheEditsOfEveryConnectionAndTheNextLoadReadsThemBack)
{
    for (const std::string name : {"Net1", ""}) {
        dialUp.connect(5, name);
        EXPECT_EQ(settingsRefusal(dialUp), "Nicht während eine Verbindung aktiv ist");
        dialUp.disconnectAll();
    }

    store.values["HangupBytes"] = "3000";
    store.values["HangupTakte"] = "0";
    SettingsDialogModel& m = open();
    EXPECT_EQ(m.options().hangupBytesText, "1024");
    EXPECT_EQ(m.options().hangupTakte, 1);
    EXPECT_EQ(boxes(), (Texts{"0", "150", "9", "90", "18", "90", "21", "150", "0", "240", "", "", "", "", "", ""}));
    m.select(1); // Beta
    m.editTariff(1, false, "8");
    m.editTariff(1, true, "120");
    m.select(0); // the edits stay with Beta
    m.options().hangupTakte = 10;
    EXPECT_TRUE(m.ok().accepted);
    EXPECT_EQ(setOptionCalls, 1);
    EXPECT_EQ(store.values["00"], "alpha,0,9,18,21,150,90,90,150,0,,,,240,,,,");
    EXPECT_EQ(store.values["01"], "Beta,0,8,,,60,120,,,0,,,,60,,,,");
    EXPECT_EQ(settings.tariffs.takt(1, 1), "120");
    EXPECT_EQ(settings.options.HangupTakte, 10);

    store.values["HangupBytes"] = "4096";
    EXPECT_EQ(open().options().hangupBytesText, "4096");

    // Vorlauf is stored as typed and read as its leading number.
    open().options().vorlaufText = "2.6";
    EXPECT_EQ(model->ok().warning, "");
    EXPECT_EQ(store.values["Vorlauf"], "2.6");
    EXPECT_EQ(settings.options.Vorlauf, 3);

    store.failWrites = true;
    EXPECT_EQ(open().ok().warning,
              "Die Einstellungen konnten nicht gespeichert werden.\nSie gelten nur, bis Zumi beendet wird.");
}

// An empty phonebook saves no record but every option; an unreadable one says why.
TEST_F(SettingsDialogModelTest, EmptyOrUnreadablePhonebookSavesAllOptions)
{
    dialUp.phonebook.clear();
    for (PhonebookError error : {PhonebookError::None, PhonebookError::NotPermitted}) {
        dialUp.phonebookError = error;
        store.values.clear();
        SettingsDialogModel& m = open();
        EXPECT_EQ(m.phonebookTrouble(), error == PhonebookError::None ? "" : "unlesbar: /etc/ppp/peers");
        EXPECT_TRUE(m.ok().accepted);
        EXPECT_FALSE(store.values.count("00"));
        EXPECT_EQ(store.values.size(), 9u) << "every option";
    }
}

// A comma in a tariff is refused and every edit kept; paste before copy
// empties, copy and paste copy; without OK nothing is stored.
TEST_F(SettingsDialogModelTest, CommaRefusedCopyPasteAndNothingWithoutOk)
{
    SettingsDialogModel& m = open();
    m.select(1);
    m.editTariff(5, true, "7,5");
    m.select(0);
    m.editTariff(5, false, "1");
    const OkAnswer answer = m.ok();
    EXPECT_FALSE(answer.accepted);
    EXPECT_EQ(answer.warning,
              "Die Taktzeiten von „Beta“ enthalten ein Komma (Wochenende, Feiertags, 2. Zeile, Takt).\nEin "
              "Komma kann nicht gespeichert werden. Bitte entfernen Sie es; es wurde nichts gespeichert.");
    ASSERT_TRUE(answer.leadTo);
    EXPECT_EQ(std::tuple(answer.leadTo->connection, answer.leadTo->band, answer.leadTo->takt), std::tuple(1, 5, true));
    EXPECT_EQ(m.dialogSettings().takt[1][5], "7,5");
    EXPECT_EQ(m.dialogSettings().start[0][5], "1");

    const Texts alpha = boxes();
    m.select(1);
    m.paste();
    EXPECT_EQ(boxes(), Texts(16));
    m.select(0);
    m.copy();
    m.select(1);
    m.paste();
    EXPECT_EQ(boxes(), alpha);
    EXPECT_EQ(store.writeCalls + setOptionCalls, 0);
    EXPECT_EQ(settings.tariffs.takt(1, 0), "60");
}

} // namespace
} // namespace zumi
