#include <QApplication>
#include <clocale>
#include <gtest/gtest.h>

// Every test binary gets one QApplication for its whole run: widgets, timers and the
// media engine all need it, and Qt allows only one per process.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // libmpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    // The skin pictures live in the static library and are registered by hand, as in main.
    Q_INIT_RESOURCE(skin);
    return RUN_ALL_TESTS();
}
