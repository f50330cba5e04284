// Test main of the widget tests: a QApplication exists while the tests run,
// but not while ctest only lists them.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0)
            listing = true;
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!listing)
        app = std::make_unique<QApplication>(argc, argv);
    const int result = RUN_ALL_TESTS();
    // Windows closed at a test's end (deleted on close) still wait for the
    // event loop: they go now, while the display is open. An OpenGL window
    // left to the application's end can hang the software renderer's
    // threads as the display closes.
    if (app)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
