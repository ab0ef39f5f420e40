#include <QApplication>

#include <gtest/gtest.h>

// The widget tests need a QApplication; listing the tests (CTest's discovery
// runs without the offscreen platform) must not start one.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
