// One main for every test program: GoogleTest over a QApplication on the
// offscreen platform, in the Bulgarian locale the screens are written for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLocale>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QDir::temp().absoluteFilePath(QStringLiteral("arventa-runtime")).toUtf8());
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    return RUN_ALL_TESTS();
}
