#include "clientconfig.h"
#include "mainwindow.h"
#include "productversion.h"
#include "webtest.h"
#include "windowplacement.h"

#include <QAction>
#include <QShortcut>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Runs the event loop until something ends it, or gives up after 5 s with 99. The give-up timer goes
// with the call: one left armed would end a later test's loop.
int execOrGiveUp()
{
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] {
        QCoreApplication::exit(99);
    });
    giveUp.start(5000);
    return QCoreApplication::exec();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Frame and widget tree
    void window_isFixedFramelessAndTitled();
    void widgetTree_data();
    void widgetTree();
    void styleSheets_referOnlyToImagesThatExist();
    void labels_showVersionAndHideTheUpdateNotice();

    // Position (the geometry itself: tst_windowplacement)
    void lastPosition_isRememberedAcrossRuns();

    // Dragging
    void leftDrag_keepsThePointUnderTheMouse();
    void otherButtons_doNotDrag();
    void pressOnPlainLabel_startsADrag();
    void leftPress_handsTheDragToTheWindowSystemWhereItCan();

    // Close, minimise and messages from other starts
    void closeWithoutTray_endsTheProgram_data();
    void closeWithoutTray_endsTheProgram();
    void minimiseButton_minimises();
    void clientMessage_bringsBackAHiddenOrMinimisedWindow();
    void rightClick_offersTheTrayMenu();
    void keyboardFocus_showsOnEveryButton();
    void messages_onlyTheExactWordsAct_data();
    void messages_onlyTheExactWordsAct();

    // Keyboard
    void ctrlQ_endsTheProgram();
    void f11_togglesTheCurrentPageFullScreen();
    void esc_isLeftToThePageUnlessItIsFullScreen();

private:
    void send(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
              const QPoint &global);

    QTemporaryDir dir;
    MainWindow *window = nullptr;
};

void TestMainWindow::initTestCase()
{
    // No server: the window's pages and its fetch fail at once instead of reaching whatever service
    // this machine runs on the default port.
    qputenv("ORVANE_SERVER_URL", "http://127.0.0.1:9");
}

void TestMainWindow::init()
{
    MainWindow::placementFile = dir.filePath(QStringLiteral("window.ini"));
    QFile::remove(MainWindow::placementFile);
    clientConfig = new ClientConfig;
    clientConfig->load(dir.filePath(QStringLiteral("config.ini")));
    window = new MainWindow;
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TestMainWindow::cleanup()
{
    delete window; // frees clientConfig
    QVERIFY(!clientConfig);
}

void TestMainWindow::window_isFixedFramelessAndTitled()
{
    QVERIFY(window->isVisible());
    QCOMPARE(window->size(), QSize(852, 600));
    QCOMPARE(window->minimumSize(), QSize(852, 600));
    QCOMPARE(window->maximumSize(), QSize(852, 600));
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->windowTitle(), QStringLiteral("Orvane网络电视"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Orvane网络电视"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(ORVANE_PRODUCT_VERSION));
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(window->font().kerning());
}

void TestMainWindow::widgetTree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<bool>("hand");
    QTest::addColumn<bool>("checkable");
    const QString central = QStringLiteral("centralWidget");
    auto row = [](const char *name, QRect rect, const QString &parent, bool hand, bool checkable) {
        QTest::newRow(name) << QString::fromLatin1(name) << rect << parent << hand << checkable;
    };
    row("widget_main", QRect(1, 98, 850, 470), central, false, false);
    row("horizontalLayoutWidget_6", QRect(-2, -2, 854, 474), QStringLiteral("widget_main"), false, false);
    row("pushButton_close", QRect(824, 3, 25, 22), central, true, false);
    row("label_update", QRect(142, 573, 141, 20), central, true, false);
    row("widget_adText", QRect(290, 574, 550, 20), central, false, false);
    row("label_ad", QRect(546, 0, 4, 20), QStringLiteral("widget_adText"), false, false);
    row("pushButton_skin", QRect(772, 3, 25, 22), central, true, false);
    row("pushButton_min", QRect(799, 3, 25, 22), central, true, false);
    row("widget_ad", QRect(376, 30, 466, 58), central, false, false);
    row("horizontalLayoutWidget_5", QRect(-3, -3, 472, 64), QStringLiteral("widget_ad"), false, false);
    row("label_version", QRect(12, 574, 121, 20), central, false, false);
    row("label_logo", QRect(2, 2, 100, 22), central, false, false);
    row("pushButton_page4", QRect(850, 98, 1, 1), central, false, true);
    row("pushButton_page1", QRect(10, 30, 60, 60), central, false, true);
    row("pushButton_page2", QRect(90, 30, 60, 60), central, false, true);
    row("pushButton_page3", QRect(850, 98, 1, 1), central, false, true);
    row("pushButton_book", QRect(743, 3, 25, 22), central, true, false);
}

void TestMainWindow::widgetTree()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, parent);
    QFETCH(bool, hand);
    QFETCH(bool, checkable);
    auto *widget = window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->cursor().shape() == Qt::PointingHandCursor, hand);
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QCOMPARE(button->isCheckable(), checkable);
        QVERIFY(button->text().isEmpty());
    }
}

void TestMainWindow::styleSheets_referOnlyToImagesThatExist()
{
    static const QRegularExpression url(QStringLiteral("url\\(([^)]+)\\)"));
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets << window;
    int images = 0;
    for (QWidget *widget : widgets) {
        auto matches = url.globalMatch(widget->styleSheet());
        while (matches.hasNext()) {
            QString path = matches.next().captured(1);
            if (path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
                path = path.mid(1, path.size() - 2);
            QVERIFY2(QFile::exists(path), qPrintable(widget->objectName() + QStringLiteral(": ") + path));
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
            ++images;
        }
    }
    // skin, logo, title-bar buttons (normal, focus, hover, pressed) and page buttons (the same and checked);
    // tray menu; skin chooser frame, cells, marks and close button (its skin pictures are empty: this
    // test's config.ini does not exist)
    QCOMPARE(images, 1 + 1 + 4 * 4 + 4 * 5 + 1 + 2 + 9 + 9 + 3);
    QVERIFY(window->styleSheet().contains(QLatin1String(":/img/img/blue.gif")));
    const QImage background(QStringLiteral(":/img/img/blue.gif"));
    QCOMPARE(background.size(), QSize(852, 600));
}

void TestMainWindow::labels_showVersionAndHideTheUpdateNotice()
{
    auto *version = window->findChild<QLabel *>(QStringLiteral("label_version"));
    QCOMPARE(version->text(), QStringLiteral("当前版本:" ORVANE_PRODUCT_VERSION));
    QVERIFY(version->testAttribute(Qt::WA_TranslucentBackground));
    auto *update = window->findChild<QLabel *>(QStringLiteral("label_update"));
    QVERIFY(update->isHidden());
    QVERIFY2(update->text().contains(QStringLiteral("发现新的版本，")), qPrintable(update->text()));
    QVERIFY(update->text().contains(QLatin1String("href=\"update\"")));
    QVERIFY(update->text().contains(QStringLiteral("点此升级")));
}

void TestMainWindow::lastPosition_isRememberedAcrossRuns()
{
    window->move(123, 45);
    delete window;
    window = nullptr;
    QCOMPARE(WindowPlacement::remembered(MainWindow::placementFile), std::optional<QPoint>(QPoint(123, 45)));
    clientConfig = new ClientConfig;
    window = new MainWindow;
    const QRect available = window->screen()->availableGeometry();
    QCOMPARE(window->pos(), WindowPlacement::clamped(available, window->size(), QPoint(123, 45)));
}

void TestMainWindow::send(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                          const QPoint &global)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void TestMainWindow::leftDrag_keepsThePointUnderTheMouse()
{
    window->move(100, 100);
    const QPoint start = window->frameGeometry().topLeft() + QPoint(300, 585); // bottom bar background
    send(window, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
    send(window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(40, 25));
    QCOMPARE(window->pos(), QPoint(140, 125));
    send(window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(-10, 5));
    QCOMPARE(window->pos(), QPoint(90, 105));
    send(window, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start + QPoint(-10, 5));

    // After the release, a move with the left button held but no new press leaves the window alone.
    send(window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(200, 200));
    QCOMPARE(window->pos(), QPoint(90, 105));
}

void TestMainWindow::otherButtons_doNotDrag()
{
    window->move(100, 100);
    const QPoint start(400, 650);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        send(window, QEvent::MouseButtonPress, button, button, start);
        send(window, QEvent::MouseMove, Qt::NoButton, button, start + QPoint(50, 50));
        send(window, QEvent::MouseButtonRelease, button, Qt::NoButton, start + QPoint(50, 50));
        QCOMPARE(window->pos(), QPoint(100, 100));
    }
}

void TestMainWindow::pressOnPlainLabel_startsADrag()
{
    window->move(100, 100);
    auto *label = window->findChild<QLabel *>(QStringLiteral("label_version"));
    const QPoint start = label->mapToGlobal(QPoint(5, 5));
    send(label, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
    send(window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(7, 9));
    QCOMPARE(window->pos(), QPoint(107, 109));
}

void TestMainWindow::leftPress_handsTheDragToTheWindowSystemWhereItCan()
{
    QList<QWindow *> asked;
    static QList<QWindow *> *record = nullptr;
    record = &asked;
    WindowDrag::systemMove = [](QWindow *native) {
        record->append(native);
        return true;
    };
    window->move(100, 100);
    const QPoint start = window->frameGeometry().topLeft() + QPoint(300, 585);
    send(window, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
    send(window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(40, 25));
    send(window, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start + QPoint(40, 25));
    WindowDrag::systemMove = nullptr;
    QCOMPARE(asked, QList<QWindow *>{window->windowHandle()});
    // The window system moves it; moving it by hand as well would fight the compositor.
    QCOMPARE(window->pos(), QPoint(100, 100));
}

void TestMainWindow::closeWithoutTray_endsTheProgram_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("window manager's close") << false;
    QTest::newRow("close button") << true;
}

void TestMainWindow::closeWithoutTray_endsTheProgram()
{
    QFETCH(bool, byButton);
    QTimer::singleShot(0, window, [this, byButton] {
        if (byButton)
            QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("pushButton_close")), Qt::LeftButton);
        else
            window->close();
    });
    QCOMPARE(execOrGiveUp(), 0);
}

void TestMainWindow::minimiseButton_minimises()
{
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("pushButton_min")), Qt::LeftButton);
    QTRY_VERIFY(window->isMinimized());
}

void TestMainWindow::clientMessage_bringsBackAHiddenOrMinimisedWindow()
{
    window->hide();
    window->receiveMessage(QStringLiteral("client"));
    QVERIFY(window->isVisible());
    QVERIFY(!window->isMinimized());

    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    window->receiveMessage(QStringLiteral("client"));
    QTRY_VERIFY(!window->isMinimized());
    QVERIFY(window->isVisible());
}

void TestMainWindow::rightClick_offersTheTrayMenu()
{
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            shown = popup->objectName();
            popup->close();
        }
    });
    const QPoint inside(300, 50);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, window->mapToGlobal(inside));
    QApplication::sendEvent(window, &event); // returns once the menu has closed
    QCOMPARE(shown, QStringLiteral("trayMenu"));
}

void TestMainWindow::keyboardFocus_showsOnEveryButton()
{
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        if (!button->isVisible() || !button->isEnabled() || button->focusPolicy() == Qt::NoFocus)
            continue;
        window->setFocus();
        const QImage plain = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        QVERIFY2(button->grab().toImage() != plain, qPrintable(button->objectName()));
        // A click must not leave a button looking focused.
        QVERIFY2(!(button->focusPolicy() & Qt::ClickFocus), qPrintable(button->objectName()));
    }
}

void TestMainWindow::messages_onlyTheExactWordsAct_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("quits");
    QTest::newRow("updator") << QStringLiteral("updator") << true;
    QTest::newRow("capitalised client") << QStringLiteral("Client") << false;
    QTest::newRow("client with a space") << QStringLiteral("client ") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("updator with a line break") << QStringLiteral("updator\n") << false;
    QTest::newRow("upper-case updator") << QStringLiteral("UPDATOR") << false;
}

void TestMainWindow::messages_onlyTheExactWordsAct()
{
    QFETCH(QString, message);
    QFETCH(bool, quits);
    window->hide();
    // Quitting only shows inside a running event loop: the message ends it with 0, else the timer with
    // 99. The message is handled before it returns, and a loop told to end does so before any timer
    // armed meanwhile fires. The timer goes with the test, so that it cannot end the next one's loop.
    constexpr int NotQuit = 99;
    QTimer notQuit;
    notQuit.setSingleShot(true);
    connect(&notQuit, &QTimer::timeout, [] {
        QCoreApplication::exit(NotQuit);
    });
    QTimer::singleShot(0, window, [this, message, &notQuit] {
        window->receiveMessage(message);
        notQuit.start(50);
    });
    QCOMPARE(QCoreApplication::exec(), quits ? 0 : NotQuit);
    QVERIFY(window->isHidden());
}

void TestMainWindow::ctrlQ_endsTheProgram()
{
    auto *quit = window->findChild<QShortcut *>(QStringLiteral("shortcutQuit"));
    QVERIFY(quit);
    QCOMPARE(quit->key(), QKeySequence(QStringLiteral("Ctrl+Q")));
    QTimer::singleShot(0, quit, &QShortcut::activated);
    QCOMPARE(execOrGiveUp(), 0);
}

void TestMainWindow::f11_togglesTheCurrentPageFullScreen()
{
    auto *toggle = window->findChild<QShortcut *>(QStringLiteral("shortcutFullScreen"));
    QVERIFY(toggle);
    QCOMPARE(toggle->key(), QKeySequence(Qt::Key_F11));
    auto *page = window->findChild<QWebEngineView *>(QStringLiteral("pageView"));
    emit toggle->activated();
    QVERIFY(page->isWindow());
    QVERIFY(page->isFullScreen());
    emit toggle->activated();
    QVERIFY(!page->isWindow());
    QCOMPARE(page->window(), window);
}

void TestMainWindow::esc_isLeftToThePageUnlessItIsFullScreen()
{
    auto *page = window->findChild<QWebEngineView *>(QStringLiteral("pageView"));
    auto escActions = [page] {
        QList<QAction *> found;
        for (QAction *action : page->actions())
            if (action->shortcut() == QKeySequence(Qt::Key_Escape) && action->isEnabled())
                found << action;
        return found;
    };
    QVERIFY(escActions().isEmpty());
    emit window->findChild<QShortcut *>(QStringLiteral("shortcutFullScreen"))->activated();
    QCOMPARE(escActions().size(), 1);
    escActions().first()->trigger();
    QVERIFY(!page->isWindow());
    QVERIFY(escActions().isEmpty());
}

ORVANE_WEB_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
