// Test main: real widgets on the offscreen platform, one application object per process.
#include "platform/base/Application.h"
#include "tests/support/TemporaryRoot.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    useTemporaryRootOfThisProcess();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ルミナード"));
    return RUN_ALL_TESTS();
}
