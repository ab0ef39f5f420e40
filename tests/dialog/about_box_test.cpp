#include "about_box.h"
#include "center_form.h"
#include "version_text.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(VersionText, NumbersWithoutLeadingZerosAndRevisionWithAtLeastThreeDigits)
{
    EXPECT_EQ(formatAppTitle("Zumi", 2, 1), "Zumi V2.1");
    EXPECT_EQ(formatAppTitle("Zumi", 1, 10), "Zumi V1.10");
    EXPECT_EQ(formatBuildLine(7, "CMake/GCC"), "Build 007 (CMake/GCC)");
    EXPECT_EQ(formatBuildLine(1234, "CMake/GCC"), "Build 1234 (CMake/GCC)");
}

TEST(VersionText, ProgramVersionIsTheProjectVersion)
{
    const VersionInfo version = programVersion();
    EXPECT_EQ(version.productName, ZUMI_TEST_PRODUCT);
    EXPECT_EQ(version.major, ZUMI_TEST_MAJOR);
    EXPECT_EQ(version.minor, ZUMI_TEST_MINOR);
    EXPECT_EQ(version.revision, ZUMI_TEST_REVISION);
    EXPECT_FALSE(version.buildTool.empty());
}

TEST(AboutBox, ShowsVersionLayoutAndCopiesTheLink)
{
    AboutBox box(VersionInfo{"Zumi", 2, 1, 7, "CMake/GCC"});
    EXPECT_EQ(box.windowTitle(), "Information");
    EXPECT_EQ(box.size(), QSize(281, 241));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(box.pos(), centeredTopLeft(box.screen()->geometry(), box.frameGeometry().size()));

    auto* lblApp = box.findChild<QLabel*>("lblApp");
    auto* lblBuild = box.findChild<QLabel*>("lblBuild");
    auto* lblFreeware = box.findChild<QLabel*>("lblFreeware");
    ASSERT_TRUE(lblApp && lblBuild && lblFreeware);
    EXPECT_EQ(lblApp->text(), "Zumi V2.1");
    EXPECT_EQ(lblApp->font().family(), "Arial");
    EXPECT_DOUBLE_EQ(lblApp->font().pointSizeF(), 20.25);
    EXPECT_EQ(lblBuild->text(), "Build 007 (CMake/GCC)");
    EXPECT_EQ(lblFreeware->text(), "Freeware");
    EXPECT_EQ(lblFreeware->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_EQ(box.findChild<QGroupBox*>("frameDev")->title(), "Entwicklung");

    auto* ok = box.findChild<QPushButton*>("cmdOK");
    auto* copy = box.findChild<QPushButton*>("cmdCopyHome");
    ASSERT_TRUE(ok && copy);
    EXPECT_EQ(ok->nextInFocusChain(), copy);
    EXPECT_EQ(copy->geometry(), QRect(40, 84, 121, 17));

    QGuiApplication::clipboard()->setText("old");
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "https://zumi.example.org/");

    box.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(CenterForm, PutsTheWindowInTheMiddleOfTheScreen)
{
    EXPECT_EQ(centeredTopLeft(QRect(0, 0, 1280, 800), QSize(327, 408)), QPoint(476, 196));
    EXPECT_EQ(centeredTopLeft(QRect(1920, 0, 1024, 768), QSize(281, 241)), QPoint(1920 + 371, 263));
}

} // namespace
} // namespace zumi
