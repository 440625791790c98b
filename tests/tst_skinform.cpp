// The skin chooser panel on its own: its tree, check mark, picks and their effect on config.ini.
#include "clientconfig.h"
#include "skinform.h"

#include <QBitmap>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const char *const Suffixes[] = {"blue", "jinshu", "black", "muwen", "huihei", "xiangyun", "shuidi", "green", "love"};
}

class TestSkinForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Tree and look
    void panel_isARoundedFramelessPopup();
    void cells_formAThreeByThreeGrid();
    void buttons_showTheConfiguredSkins();

    // Check mark
    void startIndex_marksOnlyThatSkin_data();
    void startIndex_marksOnlyThatSkin();

    // Picks
    void pick_data();
    void pick();
    void pickOfTheSkinInUse_savesAndAnnouncesAgain();
    void pickAfterEmptyConfig_writesAllElevenKeys();
    void closeButton_onlyHides();

private:
    QStringList visibleMarks() const;

    QTemporaryDir dir;
    QString configPath;
    SkinForm *form = nullptr;
};

void TestSkinForm::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(QDir().mkpath(QStringLiteral("skin/thumbs")));
    const QDir shipped(QStringLiteral(PROGRAM_DIR "/skin"));
    for (const QString &name : shipped.entryList({QStringLiteral("*.gif")}, QDir::Files))
        QVERIFY(QFile::copy(shipped.filePath(name), QStringLiteral("skin/") + name));
    QVERIFY(QFile::copy(shipped.filePath(QStringLiteral("thumbs/red.png")), QStringLiteral("skin/thumbs/red.png")));
    configPath = dir.filePath(QStringLiteral("config.ini"));
}

void TestSkinForm::init()
{
    QFile::remove(configPath);
    clientConfig = new ClientConfig;
    clientConfig->configPath = configPath; // defaults, as after loading the shipped config.ini
    form = new SkinForm;
}

void TestSkinForm::cleanup()
{
    delete form;
    form = nullptr;
    delete clientConfig;
    clientConfig = nullptr;
}

QStringList TestSkinForm::visibleMarks() const
{
    QStringList shown;
    for (const char *suffix : Suffixes) {
        auto *mark = form->findChild<QLabel *>(QStringLiteral("label_") + QLatin1String(suffix));
        if (!mark)
            return {QStringLiteral("missing label_") + QLatin1String(suffix)};
        if (!mark->isHidden())
            shown << mark->objectName();
    }
    return shown;
}

void TestSkinForm::panel_isARoundedFramelessPopup()
{
    QCOMPARE(form->size(), QSize(376, 278));
    QCOMPARE(int(form->windowFlags()), int(Qt::Popup | Qt::FramelessWindowHint));
    QVERIFY(form->testAttribute(Qt::WA_TranslucentBackground));
    const QRegion mask = form->mask();
    QVERIFY(mask.contains(QPoint(188, 139)));
    QVERIFY(mask.contains(QPoint(5, 0)));
    QVERIFY(mask.contains(QPoint(370, 277)));
    for (const QPoint corner : {QPoint(0, 0), QPoint(375, 0), QPoint(0, 277), QPoint(375, 277)})
        QVERIFY2(!mask.contains(corner), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
}

void TestSkinForm::cells_formAThreeByThreeGrid()
{
    for (int i = 0; i < 9; ++i) {
        const QString suffix = QLatin1String(Suffixes[i]);
        auto *cell = form->findChild<QWidget *>(QStringLiteral("widget_") + suffix);
        QVERIFY2(cell, qPrintable(suffix));
        QCOMPARE(cell->parentWidget()->objectName(), QStringLiteral("widget"));
        QCOMPARE(cell->geometry(), QRect(15 + 120 * (i % 3), 35 + 81 * (i / 3), 110, 71));
        auto *button = cell->findChild<QPushButton *>(QStringLiteral("pushButton_") + suffix);
        QVERIFY(button);
        QCOMPARE(button->geometry(), QRect(5, 5, 100, 61));
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        auto *mark = cell->findChild<QLabel *>(QStringLiteral("label_") + suffix);
        QVERIFY(mark);
        QCOMPARE(mark->geometry(), QRect(75, 10, 24, 24));
        // The mark lies above its button.
        QVERIFY(cell->children().indexOf(mark) > cell->children().indexOf(button));
    }
    auto *close = form->findChild<QPushButton *>(QStringLiteral("pushButton_close"));
    QCOMPARE(close->geometry(), QRect(350, 2, 25, 22));
    QCOMPARE(form->findChild<QLabel *>(QStringLiteral("label_note"))->geometry(), QRect(0, 0, 381, 27));
}

void TestSkinForm::buttons_showTheConfiguredSkins()
{
    delete form;
    clientConfig->skinFName4 = QStringLiteral("custom.gif");
    form = new SkinForm;
    auto sheet = [this](const char *suffix) {
        return form->findChild<QPushButton *>(QStringLiteral("pushButton_") + QLatin1String(suffix))->styleSheet();
    };
    // red.gif has a picture made for the button; the others are drawn from the skin itself.
    QCOMPARE(sheet("jinshu"), QStringLiteral("border-image: url(skin/thumbs/red.png); padding: -1;"));
    QCOMPARE(sheet("blue"), QStringLiteral("border-image: url(skin/blue.gif) 50 50 50 50; padding: -1;"));
    QCOMPARE(sheet("muwen"), QStringLiteral("border-image: url(skin/custom.gif) 50 50 50 50; padding: -1;"));
    QCOMPARE(sheet("love"), QStringLiteral("border-image: url(skin/love.gif) 50 50 50 50; padding: -1;"));
}

void TestSkinForm::startIndex_marksOnlyThatSkin_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("marks");
    for (int i = 1; i <= 9; ++i)
        QTest::addRow("skin %d", i) << i << QStringList{QStringLiteral("label_") + QLatin1String(Suffixes[i - 1])};
    QTest::newRow("zero") << 0 << QStringList();
    QTest::newRow("ten") << 10 << QStringList();
    QTest::newRow("negative") << -3 << QStringList();
}

void TestSkinForm::startIndex_marksOnlyThatSkin()
{
    QFETCH(int, index);
    QFETCH(QStringList, marks);
    delete form;
    clientConfig->currentSkinIndex = index;
    form = new SkinForm;
    form->show();
    QCOMPARE(visibleMarks(), marks);
}

void TestSkinForm::pick_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("path");
    const char *const files[] = {"blue", "red", "black", "yishu", "zise", "niuzai", "shuidi", "green", "love"};
    for (int i = 1; i <= 9; ++i)
        QTest::addRow("%s", Suffixes[i - 1]) << i << QStringLiteral("skin/%1.gif").arg(QLatin1String(files[i - 1]));
}

void TestSkinForm::pick()
{
    QFETCH(int, index);
    QFETCH(QString, path);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QSignalSpy spy(form, &SkinForm::changeSkin);
    auto *button = form->findChild<QPushButton *>(QStringLiteral("pushButton_") + QLatin1String(Suffixes[index - 1]));
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), path);
    QCOMPARE(clientConfig->currentSkinIndex, index);
    QCOMPARE(visibleMarks(), QStringList{QStringLiteral("label_") + QLatin1String(Suffixes[index - 1])});
    QVERIFY(form->isVisible());
    QSettings stored(configPath, QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Skin/currentSkinIndex")).toInt(), index);
}

void TestSkinForm::pickOfTheSkinInUse_savesAndAnnouncesAgain()
{
    clientConfig->currentSkinIndex = 3;
    QSignalSpy spy(form, &SkinForm::changeSkin);
    auto *black = form->findChild<QPushButton *>(QStringLiteral("pushButton_black"));
    black->click();
    QVERIFY(QFile::exists(configPath));
    QVERIFY(QFile::remove(configPath));
    black->click();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("skin/black.gif"));
    QVERIFY2(QFile::exists(configPath), "the second pick must save again");
}

void TestSkinForm::pickAfterEmptyConfig_writesAllElevenKeys()
{
    // What a missing config.ini leaves: empty names, index 0.
    delete form;
    clientConfig->load(configPath);
    QCOMPARE(clientConfig->currentSkinIndex, 0);
    form = new SkinForm;
    QCOMPARE(visibleMarks(), QStringList());
    QSignalSpy spy(form, &SkinForm::changeSkin);
    form->findChild<QPushButton *>(QStringLiteral("pushButton_huihei"))->click();
    QCOMPARE(spy.at(0).at(0).toString(), QString());

    QFile file(configPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QStringList keys;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (line.contains(QLatin1Char('=')))
            keys << line.section(QLatin1Char('='), 0, 0);
    keys.sort();
    QStringList expected{QStringLiteral("currentSkinIndex"), QStringLiteral("skinPicFolder")};
    for (int i = 1; i <= 9; ++i)
        expected << QStringLiteral("skinFName%1").arg(i);
    expected.sort();
    QCOMPARE(keys, expected);
    QVERIFY(text.contains(QLatin1String("currentSkinIndex=5")));
}

void TestSkinForm::closeButton_onlyHides()
{
    QPointer<SkinForm> guard(form);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QSignalSpy spy(form, &SkinForm::changeSkin);
    QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("pushButton_close")), Qt::LeftButton);
    QVERIFY(form->isHidden());
    QCoreApplication::processEvents();
    QVERIFY(guard);
    QCOMPARE(spy.count(), 0);
    QVERIFY(!QFile::exists(configPath));
}

QTEST_MAIN(TestSkinForm)
#include "tst_skinform.moc"
