// The reduction of server-sent notes to safe rich text.
#include "notesview.h"
#include "releasenotes.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
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
    void notesView_loadsNoResource_data();
    void notesView_loadsNoResource();
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
    // Unclosed and malformed markup
    QTest::newRow("image left open at the end") << QStringLiteral("<p>说明<img src=\"file:///tmp/x.png\"")
                                                << QStringLiteral("说明") << QStringLiteral("file:") << QStringList();
    QTest::newRow("tag opened inside a tag") << QStringLiteral("<b <img src=\"file:///tmp/x.png\">粗")
                                             << QStringLiteral("粗") << QStringLiteral("img") << QStringList();
    QTest::newRow("comment left open") << QStringLiteral("<p>甲<!-- <img src=x>") << QStringLiteral("甲")
                                       << QStringLiteral("img") << QStringList();
    QTest::newRow("less-than that starts no tag")
        << QStringLiteral("<p>1 < 2 > 0") << QStringLiteral("1 < 2 > 0") << QString() << QStringList();
    QTest::newRow("escaped markup stays text")
        << QStringLiteral("<p>&lt;img src=x&gt; &amp;lt; &#60;&#x3c;") << QStringLiteral("<img src=x> &lt; <<")
        << QStringLiteral("<img") << QStringList();
    QTest::newRow("unknown and control entities stay text")
        << QStringLiteral("<p>&bogus; &#0; &#x110000;") << QStringLiteral("&bogus; &#0; &#x110000;") << QString()
        << QStringList();
    QTest::newRow("quote in a link cannot leave the attribute")
        << QStringLiteral("<a href=\"http://h/?q=&quot;&gt;&lt;img\">点</a>") << QStringLiteral("点")
        << QStringLiteral("<img") << QStringList{QStringLiteral("http://h/?q=\"><img")};
}

void TestReleaseNotes::reduction_keepsTheTextAndOnlySafeMarkup()
{
    QFETCH(QString, notes);
    QFETCH(QString, shown);
    QFETCH(QString, forbidden);
    const QString html = ReleaseNotes::toSafeHtml(notes);
    // Outside the kept tags, every "<" and "&" of the text is escaped.
    static const QRegularExpression markup(
        QStringLiteral("<(?!/?(p|h[1-6]|ul|ol|li|b|strong|i|em|br)>|a href=\"[^\"<]*\">|/a>)|&(?!(lt|gt|amp|quot);)"));
    QVERIFY2(!markup.match(html).hasMatch(), qPrintable(html));
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

void TestReleaseNotes::notesView_loadsNoResource_data()
{
    QTest::addColumn<QString>("url"); // %1: a folder with a real image in it
    QTest::newRow("local file") << QStringLiteral("file://%1/dot.png");
    QTest::newRow("relative file") << QStringLiteral("dot.png");
    QTest::newRow("program resource") << QStringLiteral("qrc:/img/update.png");
    QTest::newRow("data address") << QStringLiteral("data:image/png;base64,%2");
}

void TestReleaseNotes::notesView_loadsNoResource()
{
    QFETCH(QString, url);
    QTemporaryDir dir;
    QImage dot(4, 4, QImage::Format_RGB32);
    dot.fill(Qt::red);
    QVERIFY(dot.save(dir.filePath(QStringLiteral("dot.png"))));
    QFile png(dir.filePath(QStringLiteral("dot.png")));
    QVERIFY(png.open(QIODevice::ReadOnly));
    const QUrl address(QString(url)
                           .replace(QLatin1String("%1"), dir.path())
                           .replace(QLatin1String("%2"), QString::fromLatin1(png.readAll().toBase64())));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());

    // Given markup straight from the server, past the reduction: the box itself must fetch nothing.
    NotesView view;
    view.resize(300, 200);
    view.setHtml(QStringLiteral("<p>图<img src=\"%1\">片</p>").arg(address.toString()));
    view.show();
    view.document()->documentLayout()->documentSize();
    QCoreApplication::processEvents();
    QDir::setCurrent(previous);
    QVERIFY(!view.loadResource(QTextDocument::ImageResource, address).isValid());
    QVERIFY(!view.document()->resource(QTextDocument::ImageResource, address).isValid());
}

QTEST_MAIN(TestReleaseNotes)
#include "tst_releasenotes.moc"
