// Tests of the main controller's parts need a QCoreApplication (main queue, paths, settings).
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QuilletTests"));
    QCoreApplication::setApplicationName(QStringLiteral("quillet-documents-tests"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
