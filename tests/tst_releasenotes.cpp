// The reduction of server-sent notes to safe rich text.
#include "releasenotes.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

class TestReleaseNotes : public QObject
{
    Q_OBJECT

private slots:
    void reduction_keepsTheTextAndOnlySafeMarkup_data();
    void reduction_keepsTheTextAndOnlySafeMarkup();
    void hugeNotes_areCutShortWithBoundedNesting_data();
    void hugeNotes_areCutShortWithBoundedNesting();
};

void TestReleaseNotes::reduction_keepsTheTextAndOnlySafeMarkup_data()
{
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("forbidden"); // must not appear in the reduced markup
    QTest::addColumn<QStringList>("links");
    QTest::newRow("plain text keeps its lines")
        << QStringLiteral("第一行\n<第二行>") << QStringLiteral("第一行\n<第二行>") << QStringLiteral("<第二行>")
        << QStringList();
    QTest::newRow("list and bold") << QStringLiteral("<ul><li><b>更快</b><li>更稳</ul>") << QStringLiteral("更快\n更稳")
                                   << QString() << QStringList();
    QTest::newRow("web link kept") << QStringLiteral("<a href='https://127.0.0.1/n'>说明</a>") << QStringLiteral("说明")
                                   << QString() << QStringList{QStringLiteral("https://127.0.0.1/n")};
    QTest::newRow("file link dropped") << QStringLiteral("<a href=\"file:///etc/passwd\">密码</a>")
                                       << QStringLiteral("密码") << QStringLiteral("file:") << QStringList();
    QTest::newRow("script link dropped") << QStringLiteral("<a href=javascript:alert(1)>点</a>") << QStringLiteral("点")
                                         << QStringLiteral("javascript") << QStringList();
    QTest::newRow("local image dropped") << QStringLiteral("<p>图<img src=\"file:///etc/hostname\">片")
                                         << QStringLiteral("图片") << QStringLiteral("hostname") << QStringList();
    QTest::newRow("script and style dropped with their text")
        << QStringLiteral("<style>p{}</style><p>正文<script>x()</script>") << QStringLiteral("正文")
        << QStringLiteral("x()") << QStringList();
    QTest::newRow("tables dropped, cells kept") << QStringLiteral("<table><tr><td>甲<td>乙</table>")
                                                << QStringLiteral("甲乙") << QStringLiteral("<t") << QStringList();
}

void TestReleaseNotes::reduction_keepsTheTextAndOnlySafeMarkup()
{
    QFETCH(QString, notes);
    QFETCH(QString, shown);
    QFETCH(QString, forbidden);
    const QString html = ReleaseNotes::toSafeHtml(notes);
    QTextDocument document;
    document.setHtml(html);
    QCOMPARE(document.toPlainText().remove(QChar(0x200B)).trimmed(), shown);
    QVERIFY2(forbidden.isEmpty() || !html.contains(forbidden), qPrintable(html));
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (fragment.fragment().charFormat().isAnchor())
                links << fragment.fragment().charFormat().anchorHref();
        }
    }
    QTEST(links, "links");
}

void TestReleaseNotes::hugeNotes_areCutShortWithBoundedNesting_data()
{
    QTest::addColumn<QString>("unit");
    QTest::newRow("nested lists") << QStringLiteral("<ul><li>x");
    QTest::newRow("nested tables") << QStringLiteral("<table><tr><td>x");
    QTest::newRow("nested bold") << QStringLiteral("<b><i>x");
    QTest::newRow("line breaks") << QStringLiteral("<br>");
    QTest::newRow("plain lines") << QStringLiteral("x\n");
    QTest::newRow("one long word") << QStringLiteral("xxxxxxxx");
}

void TestReleaseNotes::hugeNotes_areCutShortWithBoundedNesting()
{
    QFETCH(QString, unit);
    const QString notes = QStringLiteral("<p>") + unit.repeated(1024 * 1024 / int(unit.size()));
    const QString html = ReleaseNotes::toSafeHtml(notes);
    QVERIFY2(html.size() < 64 * 1024, qPrintable(QString::number(html.size())));
    // Depth of open elements at any point of the reduced markup.
    int depth = 0;
    int deepest = 0;
    static const QRegularExpression tag(QStringLiteral("<(/?)(\\w+)"));
    for (const QRegularExpressionMatch &match : tag.globalMatch(html)) {
        if (match.captured(2) == QLatin1String("br"))
            continue;
        depth += match.capturedLength(1) > 0 ? -1 : 1;
        deepest = qMax(deepest, depth);
    }
    QCOMPARE(depth, 0);
    QVERIFY2(deepest <= 2 * ReleaseNotes::MaxDepth + 1, qPrintable(QString::number(deepest)));
    // A run without spaces is given places to wrap.
    static const QRegularExpression longRun(QStringLiteral("[^\\s<>\\x{200B}]{200}"));
    QVERIFY(!longRun.match(html).hasMatch());
}

QTEST_MAIN(TestReleaseNotes)
#include "tst_releasenotes.moc"
