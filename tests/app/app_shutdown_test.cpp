#include "app.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace zumi {
namespace {

namespace fs = std::filesystem;

// The whole program in a private config folder, offscreen.
struct AppFixture : ::testing::Test {
    fs::path dir;
    fs::path conf;
    std::unique_ptr<App> app;

    AppFixture()
    {
        std::string pattern = (fs::temp_directory_path() / "zumi-app-XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        conf = dir / "Zumi" / "Zumi.conf";
        fs::create_directories(conf.parent_path());
        std::ofstream(conf) << "[Settings]\nRight=1500\nTop=700\n";
        app = std::make_unique<App>(dir);
        app->start();
    }
    ~AppFixture() override
    {
        app.reset();
        fs::remove_all(dir);
    }
    std::string settingsText() const
    {
        std::stringstream text;
        text << std::ifstream(conf).rdbuf();
        return text.str();
    }
};

TEST_F(AppFixture, StartAndQuitOnce)
{
    EXPECT_EQ(app->tray().toolTip(), "  Zumi  ");
    EXPECT_TRUE(app->tray().hooked() && app->mainForm().timer().isActive());
    EXPECT_FALSE(app->mainForm().isVisible());

    std::ofstream(conf) << "[Settings]\nRight=1\nTop=2\n"; // edited meanwhile: the program writes what it holds
    app->mainForm().mnuClose()->trigger();
    EXPECT_FALSE(app->tray().shown() || app->tray().hooked() || app->mainForm().timer().isActive());
    EXPECT_EQ(settingsText(), "[Settings]\nRight=1500\nTop=700\n");

    std::ofstream(conf) << "[Settings]\nRight=1\nTop=2\n";
    app->shutdown(); // a second request (SIGTERM after "&Beenden") does nothing
    EXPECT_EQ(settingsText(), "[Settings]\nRight=1\nTop=2\n");
}

TEST_F(AppFixture, QuitWhileTheSettingsDialogIsOpenStoresNothingOfIt)
{
    QString modalTitle;
    QTimer::singleShot(300, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        modalTitle = modal ? modal->windowTitle() : QString();
        if (auto* refusal = qobject_cast<QDialog*>(modal); refusal && modalTitle != "Einstellungen")
            refusal->reject(); // this machine has a dial-up connection up
        app->shutdown();
    });
    app->mainForm().mnuSettings()->trigger(); // returns once the dialog is gone
    if (modalTitle != "Einstellungen")
        GTEST_SKIP() << "the settings dialog did not open: " << modalTitle.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const std::string saved = settingsText();
    EXPECT_NE(saved.find("Right=1500\nTop=700\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("ShowSpeed"), std::string::npos) << saved; // OK would have stored the options
}

} // namespace
} // namespace zumi
