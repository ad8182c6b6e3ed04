// Platform tests need a QCoreApplication: the main queue, QStandardPaths and QSettings use it.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QuilletTests"));
    QCoreApplication::setApplicationName(QStringLiteral("quillet-platform-tests"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
