#include "clientconfig.h"
#include "scrolllabel.h"
#include "urlcapture.h"

#include <QMouseEvent>
#include <QTest>

// Counts the timer and paint events a widget receives, and how many timer events came while it rested.
class EventCounter final : public QObject
{
public:
    explicit EventCounter(ScrollLabel *label) : label(label)
    {
        label->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Timer) {
            ++timers;
            if (label->isResting())
                ++timersWhileResting;
        } else if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }

    ScrollLabel *label;
    int timers = 0;
    int timersWhileResting = 0;
    int paints = 0;
};

class TestScrollLabel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Phases and order
    void threeTexts_comeIntoViewAsBCAB();
    void singleText_slidesInAgainAfterEveryRest();
    void restLength_followsSpeedAndHeight_data();
    void restLength_followsSpeedAndHeight();
    void emptyEntries_areSkippedAndTheLabelKeepsAWidth();
    void emptyOrBlankTexts_leaveTheLabelBlankWithoutATimer();

    // Idle cost
    void onlyAMovingTextTicksAndRepaints_data();
    void onlyAMovingTextTicksAndRepaints();
    void rest_endsWithASingleWakeUp();

    // Geometry and painting
    void width_followsTheTextWithTheRightEdgeFixed();
    void hugeText_staysWithinTheWindow();
    void underline_onlyWhileRestingAndHovered();

    // Links
    void click_opensOnlyWebLinksOfTheTextOnShow();
    void click_beforeTheFirstTextDoesNothing();

private:
    // Advances until a new text has just started to slide in; returns it.
    QString nextIncoming();
    void toRest();
    int whitePixelsInRow(int row);

    QWidget *window = nullptr;
    ScrollLabel *label = nullptr;
};

void TestScrollLabel::init()
{
    clientConfig = new ClientConfig;
    window = new QWidget;
    window->resize(852, 600);
    window->setStyleSheet(QStringLiteral("background: rgb(20, 40, 80);")); // the skin's dark bottom bar
    label = new ScrollLabel(window);
    label->setGeometry(836, 574, 4, 20);
    window->show();
}

void TestScrollLabel::cleanup()
{
    delete window;
    delete clientConfig;
    clientConfig = nullptr;
}

QString TestScrollLabel::nextIncoming()
{
    for (int i = 0; i < 100000; ++i) {
        const bool wasResting = label->isResting();
        label->advance();
        if (wasResting && !label->isResting())
            return label->text();
    }
    return QStringLiteral("<none>");
}

void TestScrollLabel::toRest()
{
    while (!label->isResting() || !label->hasStarted())
        label->advance();
}

void TestScrollLabel::threeTexts_comeIntoViewAsBCAB()
{
    label->setADText(QStringLiteral("A;B;C"), QString());
    QCOMPARE(label->text(), QStringLiteral("A")); // set, but not drawn yet
    QStringList shown;
    for (int i = 0; i < 4; ++i)
        shown << nextIncoming();
    QCOMPARE(shown, (QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B")}));
}

void TestScrollLabel::singleText_slidesInAgainAfterEveryRest()
{
    label->setADText(QStringLiteral("独一"), QString());
    int firstTicks = 0;
    while (!label->hasStarted()) {
        label->advance();
        ++firstTicks;
    }
    // The invisible first cycle: the construction-time countdown (30) plus one full rest (5 × 2.5 × 20).
    QCOMPARE(firstTicks, 30 + 250);
    QCOMPARE(label->text(), QStringLiteral("独一"));
    for (int i = 0; i < 20; ++i)
        label->advance();
    QVERIFY(label->isResting());
    for (int i = 0; i < 250; ++i)
        label->advance();
    QVERIFY(!label->isResting());
    QCOMPARE(label->ticksLeft(), 20);
}

void TestScrollLabel::restLength_followsSpeedAndHeight_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("restTicks");
    QTest::addColumn<int>("scrollTicks");
    QTest::newRow("default speed, 20 px") << 5 << 20 << 250 << 20;
    QTest::newRow("speed 3, 21 px truncates") << 3 << 21 << 157 << 21;
    QTest::newRow("speed 0 rests one tick") << 0 << 20 << 1 << 20;
    QTest::newRow("negative speed rests one tick") << -4 << 20 << 1 << 20;
}

void TestScrollLabel::restLength_followsSpeedAndHeight()
{
    QFETCH(int, speed);
    QFETCH(int, height);
    QFETCH(int, restTicks);
    QFETCH(int, scrollTicks);
    label->setADText(QStringLiteral("A;B"), QString());
    toRest();
    clientConfig->textADSpeed = speed;
    label->resize(label->width(), height);
    nextIncoming(); // the new height and speed apply from the next phase on
    int scrolling = 0;
    while (!label->isResting()) {
        label->advance();
        ++scrolling;
    }
    int restingTicks = 0;
    while (label->isResting()) {
        label->advance();
        ++restingTicks;
    }
    QCOMPARE(scrolling, scrollTicks);
    QCOMPARE(restingTicks, restTicks);
}

void TestScrollLabel::emptyEntries_areSkippedAndTheLabelKeepsAWidth()
{
    label->setADText(QStringLiteral("A;;B;"), QString());
    QStringList shown;
    for (int i = 0; i < 5; ++i) {
        shown << nextIncoming();
        QVERIFY(label->width() > 0);
    }
    QCOMPARE(shown, (QStringList{QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A"),
                                 QStringLiteral("B")}));
}

void TestScrollLabel::emptyOrBlankTexts_leaveTheLabelBlankWithoutATimer()
{
    for (const QString &texts : {QString(), QStringLiteral(";;")}) {
        label->setADText(texts, QStringLiteral("http://127.0.0.1/"));
        const int before = label->ticksLeft();
        QTest::qWait(5 * ScrollLabel::TickMs); // a running timer would have ticked five times
        QCOMPARE(label->ticksLeft(), before);
        QVERIFY(!label->hasStarted());
    }
}

void TestScrollLabel::onlyAMovingTextTicksAndRepaints_data()
{
    QTest::addColumn<QString>("phase");
    QTest::addColumn<bool>("moving");
    QTest::newRow("before the first text") << QStringLiteral("start") << false;
    QTest::newRow("sliding in") << QStringLiteral("slide") << true;
    QTest::newRow("resting") << QStringLiteral("rest") << false;
}

void TestScrollLabel::onlyAMovingTextTicksAndRepaints()
{
    QFETCH(QString, phase);
    QFETCH(bool, moving);
    label->setADText(QStringLiteral("A;B"), QString());
    if (phase == QLatin1String("slide"))
        nextIncoming();
    else if (phase == QLatin1String("rest"))
        toRest();
    QCoreApplication::processEvents(); // the paint of the step taken above
    EventCounter counter(label);
    if (moving) {
        QTRY_VERIFY2(counter.timers >= 3, qPrintable(QString::number(counter.timers)));
        QTRY_VERIFY2(counter.paints >= 3, qPrintable(QString::number(counter.paints)));
    } else {
        QTest::qWait(5 * ScrollLabel::TickMs); // a running timer would have ticked five times
        QCOMPARE(counter.timers, 0);
        QCOMPARE(counter.paints, 0);
    }
}

void TestScrollLabel::rest_endsWithASingleWakeUp()
{
    clientConfig->textADSpeed = 1; // a rest of one second at 20 pixels
    label->setADText(QStringLiteral("A;B"), QString());
    toRest();
    EventCounter counter(label);
    QTRY_VERIFY_WITH_TIMEOUT(!label->isResting(), 3000);
    QCOMPARE(counter.timersWhileResting, 1);
}

void TestScrollLabel::hugeText_staysWithinTheWindow()
{
    const QString huge = QStringLiteral("很长的广告文字").repeated(50000); // about 1 MB in UTF-8
    label->setADText(huge + QStringLiteral(";短"), QString());
    nextIncoming();
    nextIncoming();
    QCOMPARE(label->text(), huge);
    QCOMPARE(label->geometry().right() + 1, 840);
    QVERIFY(label->x() >= 0);
    QVERIFY(label->width() > 800);
}

void TestScrollLabel::width_followsTheTextWithTheRightEdgeFixed()
{
    label->setADText(QStringLiteral("短;一段相当长的广告文字，欢迎收看"), QString());
    int previousWidth = -1;
    for (int i = 0; i < 3; ++i) {
        const QString text = nextIncoming();
        QCOMPARE(label->geometry().right() + 1, 840);
        QCOMPARE(label->width(), label->fontMetrics().horizontalAdvance(text));
        QVERIFY(label->width() != previousWidth);
        previousWidth = label->width();
    }
}

int TestScrollLabel::whitePixelsInRow(int row)
{
    const QImage image = label->grab().toImage();
    int count = 0;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, row) == qRgb(255, 255, 255))
            ++count;
    }
    return count;
}

void TestScrollLabel::underline_onlyWhileRestingAndHovered()
{
    label->setADText(QStringLiteral("Orvane 欢迎您;第二条"), QString());
    nextIncoming();
    const int row = label->height() - 4;
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), label->mapToGlobal(QPointF(1, 1)));
    QCoreApplication::sendEvent(label, &enter);
    const int hoveredScrolling = whitePixelsInRow(row);
    toRest();
    const int hoveredResting = whitePixelsInRow(row);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(label, &leave);
    const int restingOnly = whitePixelsInRow(row);

    QVERIFY2(hoveredResting >= label->width() - 1, "the underline spans the text");
    QVERIFY(hoveredScrolling < label->width() / 2);
    QVERIFY(restingOnly < label->width() / 2);
}

void TestScrollLabel::click_opensOnlyWebLinksOfTheTextOnShow()
{
    UrlCapture capture;
    label->setADText(QStringLiteral("A;B;C;D;E"),
                     QStringLiteral("http://127.0.0.1/a;javascript:alert(1);file:///etc/passwd;https://127.0.0.1/d"));
    QHash<QString, QList<QUrl>> openedFor;
    for (int i = 0; i < 5; ++i) {
        const QString text = nextIncoming(); // a click while sliding in opens the incoming text's link
        const int before = int(capture.opened.size());
        QTest::mouseClick(label, Qt::LeftButton);
        openedFor[text] = capture.opened.mid(before);
    }
    QCOMPARE(openedFor.value(QStringLiteral("A")), QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1/a"))});
    QCOMPARE(openedFor.value(QStringLiteral("B")), QList<QUrl>{});
    QCOMPARE(openedFor.value(QStringLiteral("C")), QList<QUrl>{});
    QCOMPARE(openedFor.value(QStringLiteral("D")), QList<QUrl>{QUrl(QStringLiteral("https://127.0.0.1/d"))});
    QCOMPARE(openedFor.value(QStringLiteral("E")), QList<QUrl>{}); // no link for it
    QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
}

void TestScrollLabel::click_beforeTheFirstTextDoesNothing()
{
    UrlCapture capture;
    label->setADText(QStringLiteral("A;B"), QStringLiteral("http://127.0.0.1/a;http://127.0.0.1/b"));
    QTest::mouseClick(label, Qt::LeftButton);
    QVERIFY(capture.opened.isEmpty());
    QVERIFY(label->cursor().shape() != Qt::PointingHandCursor);
}

QTEST_MAIN(TestScrollLabel)
#include "tst_scrolllabel.moc"
