#include "about/qt/about_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(AboutBox, ShowsItsTextAndCopiesTheLink)
{
    AboutBox box(VersionInfo{"Zumi", 2, 1, 7, "CMake/GCC"});
    EXPECT_EQ(box.findChild<QLabel*>("lblApp")->text(), "Zumi V2.1");
    EXPECT_EQ(box.findChild<QLabel*>("lblBuild")->text(), "Build 007 (CMake/GCC)");
    QTest::mouseClick(box.findChild<QPushButton*>("cmdCopyHome"), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "https://zumi.example.org/");
}

} // namespace
} // namespace zumi
