// The main controller's tests hold real panes, so they need a QApplication (offscreen).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Offscreen even when run by hand or by the test discovery, which sets no environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QuilletTests"));
    QCoreApplication::setApplicationName(QStringLiteral("quillet-documents-tests"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
