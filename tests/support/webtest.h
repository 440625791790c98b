#pragma once

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

// Set-up that every test creating web views needs before its application object exists.
inline void prepareWebTest()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine refuses to start as root with its sandbox (CI runs as root); only then is it off.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Keeps the client's web profile out of the developer's data folder.
    QStandardPaths::setTestModeEnabled(true);
}

#define ORVANE_WEB_TEST_MAIN(TestObject)                                                                               \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        prepareWebTest();                                                                                              \
        QApplication app(argc, argv);                                                                                  \
        TestObject test;                                                                                               \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
