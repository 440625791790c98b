// The interface's language follows the locale: English where there is a translation, the texts as
// written (Chinese) everywhere else.
#include "translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <QTranslator>

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void locale_choosesTheTranslation_data();
    void locale_choosesTheTranslation();
    void imagesWithText_followTheDefaultLocale_data();
    void imagesWithText_followTheDefaultLocale();
};

void TestTranslations::locale_choosesTheTranslation_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("english");
    QTest::newRow("English, United States") << QStringLiteral("en_US") << true;
    QTest::newRow("English, United Kingdom") << QStringLiteral("en_GB") << true;
    QTest::newRow("Chinese, China") << QStringLiteral("zh_CN") << false;
    QTest::newRow("Chinese, Taiwan") << QStringLiteral("zh_TW") << false;
    QTest::newRow("German: no translation") << QStringLiteral("de_DE") << false;
    QTest::newRow("C") << QStringLiteral("C") << false;
}

void TestTranslations::locale_choosesTheTranslation()
{
    QFETCH(QString, locale);
    QFETCH(bool, english);
    QTranslator translator;
    QCOMPARE(Translations::load(translator, QLocale(locale)), english);
    if (!english)
        return;
    // The translation really carries the interface's texts, not an empty catalogue.
    const QString product = translator.translate("EngineRefusal", "Orvane网络电视");
    QCOMPARE(product, QStringLiteral("Orvane TV"));
}

void TestTranslations::imagesWithText_followTheDefaultLocale_data()
{
    QTest::addColumn<QString>("image");
    QTest::newRow("live page button") << QStringLiteral(":/img/img/zb1.png");
    QTest::newRow("its double-size twin") << QStringLiteral(":/img/img/zb1@2x.png");
    QTest::newRow("skin chooser's title") << QStringLiteral(":/img/img/skin_title.png");
    QTest::newRow("about window's button") << QStringLiteral(":/img/img/abt1.png");
}

void TestTranslations::imagesWithText_followTheDefaultLocale()
{
    QFETCH(QString, image);
    auto read = [&image](QLocale::Language language) {
        QLocale::setDefault(QLocale(language));
        QFile file(image);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray chinese = read(QLocale::Chinese);
    const QByteArray english = read(QLocale::English);
    const QByteArray german = read(QLocale::German);
    QLocale::setDefault(QLocale::system());
    QVERIFY(!chinese.isEmpty() && !english.isEmpty());
    QVERIFY(english != chinese);
    QCOMPARE(german, chinese); // no translation: the drawings as they are
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
