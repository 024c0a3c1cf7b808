// Runs the interface tests inside a QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "interface/SymbolImage.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    corvanta::SymbolImage::setDirectory(QStringLiteral(CORVANTA_SOURCE_DIR "/resources/symbols"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
