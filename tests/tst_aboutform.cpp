// The about window: texts, look, dragging and closing.
#include "aboutform.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestAboutForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Look
    void window_isFramelessAndTitled();
    void labels_data();
    void labels();
    void labels_fitTheirWidth();

    // Dragging
    void leftDragOnBackgroundOrText_keepsThePointUnderTheMouse_data();
    void leftDragOnBackgroundOrText_keepsThePointUnderTheMouse();
    void rightButton_doesNotDrag();
    void pressOnAButton_startsNoDrag();

    // Closing
    void eitherButton_closesAndDeletesTheWindow_data();
    void eitherButton_closesAndDeletesTheWindow();
    void closing_doesNotEndTheProgram();

private:
    void send(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
              const QPoint &global);

    QPointer<AboutForm> form;
};

void TestAboutForm::initTestCase()
{
    qputenv("ORVANE_SERVER_URL", "http://127.0.0.1:9");
}

void TestAboutForm::init()
{
    form = new AboutForm;
    form->move(200, 150);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

void TestAboutForm::cleanup()
{
    delete form;
}

void TestAboutForm::window_isFramelessAndTitled()
{
    QCOMPARE(form->size(), QSize(300, 200));
    QCOMPARE(form->windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
    QCOMPARE(form->windowTitle(), QStringLiteral("关于-Orvane网络电视"));
    QVERIFY(!form->parentWidget());
    auto *ok = form->findChild<QPushButton *>(QStringLiteral("pushButton_ok"));
    QCOMPARE(ok->geometry(), QRect(112, 165, 75, 25));
    QCOMPARE(ok->cursor().shape(), Qt::PointingHandCursor);
    auto *close = form->findChild<QPushButton *>(QStringLiteral("pushButton_close"));
    QCOMPARE(close->geometry(), QRect(272, 4, 25, 22));
    QCOMPARE(close->cursor().shape(), Qt::PointingHandCursor);
}

void TestAboutForm::labels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pointSize");
    QTest::newRow("name") << "label" << 45 << QStringLiteral("Orvane网络电视") << 10;
    QTest::newRow("line 1") << "label_2" << 65 << QStringLiteral("本程序是一款免费的网络电视直播软件，") << 9;
    QTest::newRow("line 2") << "label_3" << 82 << QStringLiteral("提供国内卫视、央视、地方台、数字频") << 9;
    QTest::newRow("line 3") << "label_4" << 102 << QStringLiteral("道、港澳台以及国外频道在线直播，感") << 9;
    QTest::newRow("line 4") << "label_5" << 122 << QStringLiteral("谢您的使用！") << 9;
    QTest::newRow("web site") << "label_6" << 142 << QStringLiteral("官方网站：http://127.0.0.1:9") << 9;
}

void TestAboutForm::labels()
{
    QFETCH(QString, name);
    QFETCH(int, y);
    QFETCH(QString, text);
    QFETCH(int, pointSize);
    auto *label = form->findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry().topLeft(), QPoint(70, y));
    QCOMPARE(label->height(), 16);
    QCOMPARE(label->font().pointSize(), pointSize);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
}

void TestAboutForm::labels_fitTheirWidth()
{
    for (QLabel *label : form->findChildren<QLabel *>()) {
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(
            needed <= label->width(),
            qPrintable(
                QStringLiteral("%1 needs %2 px, has %3").arg(label->objectName()).arg(needed).arg(label->width())));
        QVERIFY2(label->geometry().right() < form->width(), qPrintable(label->objectName()));
    }
}

void TestAboutForm::send(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                         const QPoint &global)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void TestAboutForm::leftDragOnBackgroundOrText_keepsThePointUnderTheMouse_data()
{
    QTest::addColumn<QString>("grab");
    QTest::newRow("background") << "widget";
    QTest::newRow("text line") << "label_3";
}

void TestAboutForm::leftDragOnBackgroundOrText_keepsThePointUnderTheMouse()
{
    QFETCH(QString, grab);
    auto *target = form->findChild<QWidget *>(grab);
    QVERIFY(target);
    const QPoint start = target->mapToGlobal(QPoint(20, 8));
    const QPoint grabbed = start - form->frameGeometry().topLeft();
    send(target, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
    send(target, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(30, -12));
    QCOMPARE(form->pos(), QPoint(230, 138));
    send(target, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(-50, 40));
    QCOMPARE(form->pos(), QPoint(150, 190));
    QCOMPARE(start + QPoint(-50, 40) - form->frameGeometry().topLeft(), grabbed);
    send(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start + QPoint(-50, 40));

    // Released: moving with the button held but no new press does nothing.
    send(target, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(100, 100));
    QCOMPARE(form->pos(), QPoint(150, 190));
}

void TestAboutForm::rightButton_doesNotDrag()
{
    auto *background = form->findChild<QWidget *>(QStringLiteral("widget"));
    const QPoint start = background->mapToGlobal(QPoint(40, 120));
    // A right press after a finished left drag must not revive the old offset either.
    send(background, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
    send(background, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start);
    send(background, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, start);
    send(background, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, start + QPoint(60, 60));
    send(background, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, start + QPoint(70, 70));
    send(background, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, start + QPoint(70, 70));
    QCOMPARE(form->pos(), QPoint(200, 150));
}

void TestAboutForm::pressOnAButton_startsNoDrag()
{
    // A finished drag leaves no offset behind ...
    auto *background = form->findChild<QWidget *>(QStringLiteral("widget"));
    const QPoint elsewhere = background->mapToGlobal(QPoint(30, 100));
    send(background, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, elsewhere);
    send(background, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, elsewhere);
    // ... and a press on a button must not make a new one: moves then leave the window where it is.
    for (const char *name : {"pushButton_ok", "pushButton_close"}) {
        auto *button = form->findChild<QPushButton *>(QLatin1String(name));
        const QPoint start = button->mapToGlobal(QPoint(10, 10));
        send(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
        send(button, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(25, 25));
        send(form, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(25, 25));
        button->setDown(false); // no release: that would click and close the window
    }
    QCOMPARE(form->pos(), QPoint(200, 150));
}

void TestAboutForm::eitherButton_closesAndDeletesTheWindow_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("OK") << "pushButton_ok";
    QTest::newRow("close") << "pushButton_close";
}

void TestAboutForm::eitherButton_closesAndDeletesTheWindow()
{
    QFETCH(QString, button);
    QTest::mouseClick(form->findChild<QPushButton *>(button), Qt::LeftButton);
    QTRY_VERIFY(!form);
}

void TestAboutForm::closing_doesNotEndTheProgram()
{
    // The about window is often the only visible window (the main one hidden in the tray).
    QTimer::singleShot(0, form, &QWidget::close);
    QTimer::singleShot(300, [] {
        QCoreApplication::exit(7);
    });
    QCOMPARE(QCoreApplication::exec(), 7);
    QVERIFY(!form);
}

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
