// Skin paths and style sheets, without any window.
#include "clientconfig.h"
#include "skins.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestSkins : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void imagePath_data();
    void imagePath();
    void windowStyleSheet_data();
    void windowStyleSheet();
    void pictureStyleSheet_data();
    void pictureStyleSheet();

    void everyPicture_hasATwinOfTwiceItsSize_data();
    void everyPicture_hasATwinOfTwiceItsSize();

private:
    QTemporaryDir dir;
};

void TestSkins::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(QDir().mkpath(QStringLiteral("skin/thumbs")));
    for (const char *name : {"skin/blue.gif", "skin/red.gif", "skin/thumbs/red.png"}) {
        QFile file{QString::fromLatin1(name)};
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir().mkpath(QStringLiteral("skin/folder.gif")));
}

void TestSkins::imagePath_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first") << 1 << QStringLiteral("skin/blue.gif");
    QTest::newRow("second is red") << 2 << QStringLiteral("skin/red.gif");
    QTest::newRow("fourth") << 4 << QStringLiteral("skin/yishu.gif");
    QTest::newRow("last") << 9 << QStringLiteral("skin/love.gif");
    QTest::newRow("zero, as a missing config.ini leaves it") << 0 << QString();
    QTest::newRow("ten") << 10 << QString();
    QTest::newRow("negative") << -3 << QString();
}

void TestSkins::imagePath()
{
    QFETCH(int, index);
    QFETCH(QString, expected);
    const ClientConfig config;
    QCOMPARE(Skins::imagePath(config, index), expected);
}

void TestSkins::windowStyleSheet_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QString builtIn = QStringLiteral("border-image: url(:/img/img/blue.gif);");
    QTest::newRow("existing file") << QStringLiteral("skin/red.gif")
                                   << QStringLiteral("border-image: url(skin/red.gif);");
    QTest::newRow("missing file") << QStringLiteral("skin/gone.gif") << builtIn;
    QTest::newRow("empty path") << QString() << builtIn;
    QTest::newRow("folder only") << QStringLiteral("skin/") << builtIn;
    QTest::newRow("folder named like an image") << QStringLiteral("skin/folder.gif") << builtIn;
}

void TestSkins::windowStyleSheet()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(Skins::windowStyleSheet(path), expected);
}

void TestSkins::pictureStyleSheet_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("picture made for the button")
        << QStringLiteral("skin/red.gif") << QStringLiteral("border-image: url(skin/thumbs/red.png); padding: -1;");
    QTest::newRow("no picture: whole skin in slices")
        << QStringLiteral("skin/blue.gif")
        << QStringLiteral("border-image: url(skin/blue.gif) 50 50 50 50; padding: -1;");
    QTest::newRow("empty file name") << QStringLiteral("skin/")
                                     << QStringLiteral("border-image: url(skin/) 50 50 50 50; padding: -1;");
    QTest::newRow("empty") << QString() << QStringLiteral("border-image: url() 50 50 50 50; padding: -1;");
}

void TestSkins::pictureStyleSheet()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(Skins::pictureStyleSheet(path), expected);
}

void TestSkins::everyPicture_hasATwinOfTwiceItsSize_data()
{
    // Style sheets and icons take "<name>@2x.<ext>" beside a picture on screens scaled by 2.
    QTest::addColumn<QString>("path");
    const QStringList folders{QStringLiteral(":/img/img"), QStringLiteral(PROGRAM_DIR "/skin"),
                              QStringLiteral(PROGRAM_DIR "/skin/thumbs")};
    int rows = 0;
    for (const QString &folder : folders) {
        for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files)) {
            // Icons of fixed pixel sizes (ico-16.png, ...) are chosen by size instead.
            if (file.fileName().contains(QLatin1Char('@')) || file.fileName().startsWith(QLatin1String("ico-")))
                continue;
            QTest::newRow(qPrintable(file.fileName())) << file.filePath();
            ++rows;
        }
    }
    QVERIFY(rows > 40);
}

void TestSkins::everyPicture_hasATwinOfTwiceItsSize()
{
    QFETCH(QString, path);
    const QFileInfo file(path);
    const QString twin =
        file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral("@2x.") + file.suffix();
    const QImage single(path);
    const QImage doubled(twin);
    QVERIFY2(!single.isNull(), qPrintable(path));
    QVERIFY2(!doubled.isNull(), qPrintable(twin));
    QCOMPARE(doubled.size(), single.size() * 2);
}

QTEST_GUILESS_MAIN(TestSkins)
#include "tst_skins.moc"
