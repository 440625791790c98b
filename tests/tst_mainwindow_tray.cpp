// The main window's tray icon and menu, its web site and about entries, exit, and the skins it applies.
#include "aboutform.h"
#include "clientconfig.h"
#include "mainwindow.h"
#include "popform.h"
#include "skinform.h"
#include "webtest.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <memory>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

bool trayPresent()
{
    return true;
}

bool trayAbsent()
{
    return false;
}

QList<AboutForm *> aboutWindows()
{
    QList<AboutForm *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *about = qobject_cast<AboutForm *>(widget))
            found << about;
    return found;
}

} // namespace

// Receives what the window asks the desktop to open, so no browser ever starts.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void openUrl(const QUrl &url)
    {
        urls << url;
    }
};

class TestMainWindowTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    // Tray icon and the no-tray rule
    void withTray_iconCarriesIconToolTipAndMenu();
    void withTray_closeHides();
    void firstHide_isExplainedOnceAndRemembered();
    void withoutTray_noIconAndCloseEndsTheProgram();
    void trayGone_closeEndsTheProgram();
    void activation_data();
    void activation();
    void everyWayBack_restoresNormalNeverMinimised_data();
    void everyWayBack_restoresNormalNeverMinimised();

    // Menu
    void menu_entriesInOrder();
    void showEntry_bringsBackAHiddenWindow();
    void webSiteEntriesAndButton_openTheSameHomePage();
    void aboutEntry_opensANewWindowEachTime();
    void aboutEntry_opensCentredOverTheWindowWithTheVersion();
    void ownWindows_carryTheProductTitleAndIcon_data();
    void ownWindows_carryTheProductTitleAndIcon();
    void accessibilityTree_everyControlHasANameAndARole_data();
    void accessibilityTree_everyControlHasANameAndARole();
    void tab_movesThroughTheWindowsOwnButtons();
    void exitEntry_endsTheEventLoopWithZero();

    // Skins
    void startSkin_data();
    void startSkin();
    void pickRoundTrip_survivesARestart();
    void skinButton_placesTheChooserBelowIt_data();
    void skinButton_placesTheChooserBelowIt();
    void readOnlyConfig_pickStillChangesTheSkinSilently();

private:
    void expectExitCode(int code);
    void writeConfig(int index, const QString &name4 = QStringLiteral("yishu.gif"),
                     const QString &folder = QStringLiteral("skin/"));
    void startWindow();
    QAction *action(const char *name) const;

    QTemporaryDir dir;
    QString configPath;
    UrlCatcher catcher;
    MainWindow *window = nullptr;
};

void TestMainWindowTray::initTestCase()
{
    qputenv("ORVANE_SERVER_URL", "http://127.0.0.1:9");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "openUrl");
    QVERIFY(dir.isValid());
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(QDir().mkpath(QStringLiteral("skin")));
    const QDir shipped(QStringLiteral(PROGRAM_DIR "/skin"));
    for (const QString &name : shipped.entryList({QStringLiteral("*.gif")}, QDir::Files))
        QVERIFY(QFile::copy(shipped.filePath(name), QStringLiteral("skin/") + name));
    configPath = dir.filePath(QStringLiteral("config.ini"));
    // Hiding to the tray remembers its notice; never in the user's own config folder.
    MainWindow::trayNoticeFile = dir.filePath(QStringLiteral("notices.ini"));
}

void TestMainWindowTray::init()
{
    MainWindow::systemTrayAvailable = trayAbsent;
    catcher.urls.clear();
    writeConfig(1);
}

void TestMainWindowTray::cleanup()
{
    delete window; // frees clientConfig
    window = nullptr;
    qDeleteAll(aboutWindows());
    MainWindow::systemTrayAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
}

void TestMainWindowTray::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestMainWindowTray::writeConfig(int index, const QString &name4, const QString &folder)
{
    QFile::remove(configPath);
    ClientConfig config;
    config.configPath = configPath;
    config.currentSkinIndex = index;
    config.skinFName4 = name4;
    config.skinPicFolder = folder;
    QVERIFY(config.save());
}

void TestMainWindowTray::startWindow()
{
    clientConfig = new ClientConfig;
    clientConfig->load(configPath);
    window = new MainWindow;
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

QAction *TestMainWindowTray::action(const char *name) const
{
    return window->findChild<QAction *>(QLatin1String(name));
}

void TestMainWindowTray::withTray_iconCarriesIconToolTipAndMenu()
{
    MainWindow::systemTrayAvailable = trayPresent;
    startWindow();
    const auto icons = window->findChildren<QSystemTrayIcon *>();
    QCOMPARE(icons.size(), 1);
    QSystemTrayIcon *icon = icons.first();
    QVERIFY(icon->isVisible());
    QVERIFY(!icon->icon().isNull());
    QCOMPARE(icon->toolTip(), QStringLiteral("Orvane网络电视"));
    QCOMPARE(icon->contextMenu(), window->findChild<QMenu *>(QStringLiteral("trayMenu")));
}

void TestMainWindowTray::withTray_closeHides()
{
    MainWindow::systemTrayAvailable = trayPresent;
    startWindow();
    window->close();
    QVERIFY(window->isHidden());
    window->show();
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("pushButton_close")), Qt::LeftButton);
    QVERIFY(window->isHidden());
    QVERIFY(window->findChild<QSystemTrayIcon *>()->isVisible());
}

void TestMainWindowTray::firstHide_isExplainedOnceAndRemembered()
{
    MainWindow::systemTrayAvailable = trayPresent;
    // A file of its own: the notice is given once per file and run, and the other tests hide too.
    const QString shared = MainWindow::trayNoticeFile;
    MainWindow::trayNoticeFile = dir.filePath(QStringLiteral("first-hide.ini"));
    startWindow();
    QVERIFY(!QFile::exists(MainWindow::trayNoticeFile));
    window->close();
    QVERIFY(window->isHidden());
    // Telling the user is what records it; the notice's own rules are tested on their own.
    QVERIFY(
        QSettings(MainWindow::trayNoticeFile, QSettings::IniFormat).value(QStringLiteral("trayMessageShown")).toBool());
    MainWindow::trayNoticeFile = shared;
}

void TestMainWindowTray::expectExitCode(int code)
{
    QTimer::singleShot(5000, [] {
        QCoreApplication::exit(99);
    });
    QCOMPARE(QCoreApplication::exec(), code);
}

void TestMainWindowTray::withoutTray_noIconAndCloseEndsTheProgram()
{
    startWindow();
    QVERIFY(!window->findChild<QSystemTrayIcon *>());
    // The menu still exists, so its entries work the same; it is just never shown.
    QVERIFY(window->findChild<QMenu *>(QStringLiteral("trayMenu")));
    QTimer::singleShot(0, window, &QWidget::close);
    expectExitCode(0);
}

void TestMainWindowTray::trayGone_closeEndsTheProgram()
{
    MainWindow::systemTrayAvailable = trayPresent;
    startWindow();
    // The tray's host went away after start: hiding now would lose the window.
    MainWindow::systemTrayAvailable = trayAbsent;
    QTimer::singleShot(0, window->findChild<QPushButton *>(QStringLiteral("pushButton_close")), &QPushButton::click);
    expectExitCode(0);
}

void TestMainWindowTray::activation_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<bool>("restores");
    QTest::newRow("single click") << QSystemTrayIcon::Trigger << true;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << true;
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << true;
    QTest::newRow("right click: menu only") << QSystemTrayIcon::Context << false;
    QTest::newRow("unknown") << QSystemTrayIcon::Unknown << false;
}

void TestMainWindowTray::activation()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(bool, restores);
    MainWindow::systemTrayAvailable = trayPresent;
    startWindow();
    QSystemTrayIcon *icon = window->findChild<QSystemTrayIcon *>();

    window->hide();
    emit icon->activated(reason);
    QCOMPARE(window->isVisible(), restores);

    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    emit icon->activated(reason);
    if (restores)
        QTRY_VERIFY(!window->isMinimized());
    else
        QVERIFY(window->isMinimized());
}

void TestMainWindowTray::everyWayBack_restoresNormalNeverMinimised_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("history"); // 0: closed to the tray; 1: minimised first; 2: also restored first
    const QByteArray histories[] = {"closed to the tray", "minimised, closed to the tray",
                                    "minimised, restored from the taskbar, closed to the tray"};
    for (const QByteArray way : {"tray icon", "show entry", "another start"}) {
        for (int history = 0; history < 3; ++history) {
            const QByteArray name = way + " after " + histories[history];
            QTest::newRow(name.constData()) << QString::fromLatin1(way) << history;
        }
    }
}

void TestMainWindowTray::everyWayBack_restoresNormalNeverMinimised()
{
    QFETCH(QString, way);
    QFETCH(int, history);
    MainWindow::systemTrayAvailable = trayPresent;
    startWindow();
    if (history >= 1) {
        window->findChild<QPushButton *>(QStringLiteral("pushButton_min"))->click();
        QTRY_VERIFY(window->isMinimized());
    }
    if (history == 2) // the taskbar's restore reaches the native window, not the widget
        window->windowHandle()->setWindowStates(Qt::WindowNoState);
    window->close();
    QVERIFY(window->isHidden());

    if (way == QLatin1String("tray icon"))
        emit window->findChild<QSystemTrayIcon *>()->activated(QSystemTrayIcon::Trigger);
    else if (way == QLatin1String("show entry"))
        action("actionShow")->trigger();
    else
        window->receiveMessage(QStringLiteral("client"));
    QVERIFY(window->isVisible());
    QTRY_VERIFY(!(window->windowHandle()->windowStates() & Qt::WindowMinimized));
    QVERIFY(!window->isMinimized());
}

void TestMainWindowTray::menu_entriesInOrder()
{
    startWindow();
    auto *menu = window->findChild<QMenu *>(QStringLiteral("trayMenu"));
    QCOMPARE(menu->styleSheet(), QStringLiteral("border-image: url(\":/img/img/tray.jpg\");"));
    QVERIFY(!QImage(QStringLiteral(":/img/img/tray.jpg")).isNull());
    QStringList entries;
    for (QAction *entry : menu->actions()) {
        if (entry->isSeparator()) {
            entries << QStringLiteral("-");
            continue;
        }
        QVERIFY2(!entry->icon().isNull(), qPrintable(entry->text()));
        entries << entry->objectName() + QLatin1Char('=') + entry->text();
    }
    QCOMPARE(entries, (QStringList{QStringLiteral("actionShow= 显示窗口"), QStringLiteral("-"),
                                   QStringLiteral("actionUrl1= 官方网站"), QStringLiteral("actionUrl2= 意见反馈"),
                                   QStringLiteral("-"), QStringLiteral("actionAbout= 关于我们"), QStringLiteral("-"),
                                   QStringLiteral("actionClose= 退出程序")}));
    for (const char *image : {":/img/img/net.png", ":/img/img/books.png", ":/img/img/abtus.png", ":/img/img/outs.png"})
        QVERIFY2(!QImage(QLatin1String(image)).isNull(), image);
}

void TestMainWindowTray::showEntry_bringsBackAHiddenWindow()
{
    startWindow();
    window->hide();
    action("actionShow")->trigger();
    QVERIFY(window->isVisible());
    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    action("actionShow")->trigger();
    QTRY_VERIFY(!window->isMinimized());
}

void TestMainWindowTray::webSiteEntriesAndButton_openTheSameHomePage()
{
    startWindow();
    action("actionUrl1")->trigger();
    action("actionUrl2")->trigger();
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("pushButton_book")), Qt::LeftButton);
    const QUrl home(QStringLiteral("http://127.0.0.1:9/"));
    QCOMPARE(catcher.urls, (QList<QUrl>{home, home, home}));
}

void TestMainWindowTray::aboutEntry_opensANewWindowEachTime()
{
    startWindow();
    action("actionAbout")->trigger();
    action("actionAbout")->trigger();
    const QList<AboutForm *> windows = aboutWindows();
    QCOMPARE(windows.size(), 2);
    for (AboutForm *about : windows) {
        QVERIFY(about->isVisible());
        QVERIFY(!about->parent());
    }
    QPointer<AboutForm> first(windows.first());
    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("pushButton_ok")), Qt::LeftButton);
    QTRY_VERIFY(!first);
    QCOMPARE(aboutWindows().size(), 1);
}

void TestMainWindowTray::aboutEntry_opensCentredOverTheWindowWithTheVersion()
{
    startWindow();
    window->move(window->screen()->availableGeometry().topLeft() + QPoint(-200, 0));
    action("actionAbout")->trigger();
    AboutForm *about = aboutWindows().value(0);
    QVERIFY(about);
    const QPoint offset = about->frameGeometry().center() - window->frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    QVERIFY(about->findChild<QLabel *>(QStringLiteral("label"))->text().contains(clientConfig->appVersion));
}

void TestMainWindowTray::ownWindows_carryTheProductTitleAndIcon_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("pop-up") << "pop-up";
    QTest::newRow("skin chooser") << "skin chooser";
    QTest::newRow("about") << "about";
}

void TestMainWindowTray::ownWindows_carryTheProductTitleAndIcon()
{
    QFETCH(QString, window);
    startWindow();
    std::unique_ptr<PopForm> pop;
    QWidget *shown = nullptr;
    if (window == QLatin1String("pop-up")) {
        pop = std::make_unique<PopForm>();
        shown = pop.get();
    } else if (window == QLatin1String("skin chooser")) {
        shown = this->window->findChild<SkinForm *>();
    } else {
        action("actionAbout")->trigger();
        shown = aboutWindows().value(0);
    }
    QVERIFY(shown);
    QVERIFY2(shown->windowTitle().contains(clientConfig->productName), qPrintable(shown->windowTitle()));
    QVERIFY(!shown->windowIcon().isNull());
}

void TestMainWindowTray::accessibilityTree_everyControlHasANameAndARole_data()
{
    ownWindows_carryTheProductTitleAndIcon_data();
    QTest::newRow("main window") << "main window";
}

void TestMainWindowTray::accessibilityTree_everyControlHasANameAndARole()
{
    QFETCH(QString, window);
    startWindow();
    std::unique_ptr<PopForm> pop;
    QWidget *root = this->window;
    if (window == QLatin1String("pop-up")) {
        pop = std::make_unique<PopForm>();
        root = pop.get();
    } else if (window == QLatin1String("skin chooser")) {
        root = this->window->findChild<SkinForm *>();
    } else if (window == QLatin1String("about")) {
        action("actionAbout")->trigger();
        root = aboutWindows().value(0);
    }
    QVERIFY(root);
    root->show();

    // Every button and label a screen reader can reach; the pages inside the web views speak for
    // themselves.
    int controls = 0;
    QList<QAccessibleInterface *> pending{QAccessible::queryAccessibleInterface(root)};
    while (!pending.isEmpty()) {
        QAccessibleInterface *node = pending.takeFirst();
        QVERIFY(node && node->isValid());
        QObject *object = node->object();
        if (qobject_cast<QWebEngineView *>(object))
            continue;
        for (int i = 0; i < node->childCount(); ++i)
            pending << node->child(i);
        if (!qobject_cast<QAbstractButton *>(object) && !qobject_cast<QLabel *>(object))
            continue;
        ++controls;
        const QString where = object->objectName();
        QVERIFY2(node->role() != QAccessible::NoRole, qPrintable(where));
        QVERIFY2(!node->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(where + QStringLiteral(": no name")));
        if (auto *button = qobject_cast<QAbstractButton *>(object); button && button->text().isEmpty())
            QVERIFY2(!button->toolTip().isEmpty(), qPrintable(where + QStringLiteral(": no tooltip")));
    }
    QVERIFY(controls > 0);
}

void TestMainWindowTray::tab_movesThroughTheWindowsOwnButtons()
{
    startWindow();
    // The chain of widgets that Tab visits, from the first page button round to itself.
    auto *first = window->findChild<QPushButton *>(QStringLiteral("pushButton_page1"));
    QStringList visited;
    for (QWidget *next = first->nextInFocusChain(); next != first && visited.size() < 200;
         next = next->nextInFocusChain()) {
        if (qobject_cast<QPushButton *>(next) && next->isVisibleTo(window) && (next->focusPolicy() & Qt::TabFocus))
            visited << next->objectName();
    }
    QCOMPARE(visited, (QStringList{QStringLiteral("pushButton_page2"), QStringLiteral("pushButton_book"),
                                   QStringLiteral("pushButton_skin"), QStringLiteral("pushButton_min"),
                                   QStringLiteral("pushButton_close")}));
}

void TestMainWindowTray::exitEntry_endsTheEventLoopWithZero()
{
    startWindow();
    // Exit must work while other windows are open, and although the main window refuses to close.
    action("actionAbout")->trigger();
    window->findChild<QPushButton *>(QStringLiteral("pushButton_skin"))->click();
    QTimer::singleShot(0, action("actionClose"), &QAction::trigger);
    QTimer::singleShot(5000, [] {
        QCoreApplication::exit(99);
    });
    QCOMPARE(QCoreApplication::exec(), 0);
}

void TestMainWindowTray::startSkin_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name4");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("mark");
    const QString builtIn = QStringLiteral("border-image: url(:/img/img/blue.gif);");
    QTest::newRow("skin 3") << 3 << "yishu.gif"
                            << "skin/"
                            << "border-image: url(skin/black.gif);"
                            << "label_black";
    QTest::newRow("skin 4 renamed to another shipped file") << 4 << "love.gif"
                                                            << "skin/"
                                                            << "border-image: url(skin/love.gif);"
                                                            << "label_muwen";
    QTest::newRow("index 0") << 0 << "yishu.gif"
                             << "skin/" << builtIn << "";
    QTest::newRow("index 10") << 10 << "yishu.gif"
                              << "skin/" << builtIn << "";
    QTest::newRow("index -3") << -3 << "yishu.gif"
                              << "skin/" << builtIn << "";
    QTest::newRow("file missing") << 4 << "gone.gif"
                                  << "skin/" << builtIn << "label_muwen";
    QTest::newRow("folder missing") << 4 << "yishu.gif"
                                    << "nowhere/" << builtIn << "label_muwen";
}

void TestMainWindowTray::startSkin()
{
    QFETCH(int, index);
    QFETCH(QString, name4);
    QFETCH(QString, folder);
    QFETCH(QString, sheet);
    QFETCH(QString, mark);
    writeConfig(index, name4, folder);
    startWindow();
    QCOMPARE(window->styleSheet(), sheet);
    QStringList marks;
    for (QLabel *label : window->findChild<SkinForm *>()->findChildren<QLabel *>())
        if (label->objectName() != QLatin1String("label_note") && !label->isHidden())
            marks << label->objectName();
    QCOMPARE(marks.join(QLatin1Char(',')), mark);
}

void TestMainWindowTray::pickRoundTrip_survivesARestart()
{
    startWindow();
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("pushButton_skin")), Qt::LeftButton);
    auto *chooser = window->findChild<SkinForm *>();
    QVERIFY(chooser->isVisible());
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("pushButton_black")), Qt::LeftButton);
    QCOMPARE(window->styleSheet(), QStringLiteral("border-image: url(skin/black.gif);"));

    delete window; // a restart: everything is read back from config.ini
    window = nullptr;
    startWindow();
    QCOMPARE(clientConfig->currentSkinIndex, 3);
    QCOMPARE(window->styleSheet(), QStringLiteral("border-image: url(skin/black.gif);"));
    QVERIFY(!window->findChild<SkinForm *>()->findChild<QLabel *>(QStringLiteral("label_black"))->isHidden());
    QVERIFY(window->findChild<SkinForm *>()->findChild<QLabel *>(QStringLiteral("label_blue"))->isHidden());
}

void TestMainWindowTray::skinButton_placesTheChooserBelowIt_data()
{
    QTest::addColumn<QPoint>("windowPos");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("middle of the screen") << QPoint(100, 100) << QPoint(519, 127);
    QTest::newRow("near the left edge: partly off screen") << QPoint(-500, 10) << QPoint(-81, 37);
}

void TestMainWindowTray::skinButton_placesTheChooserBelowIt()
{
    QFETCH(QPoint, windowPos);
    QFETCH(QPoint, expected);
    startWindow();
    window->move(windowPos);
    QTRY_COMPARE(window->mapToGlobal(QPoint(0, 0)), windowPos);
    auto *skin = window->findChild<QPushButton *>(QStringLiteral("pushButton_skin"));
    QTest::mouseClick(skin, Qt::LeftButton);
    auto *chooser = window->findChild<SkinForm *>();
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->pos(), expected);

    // Closed by its own button, shown again by the skin button.
    QTest::mouseClick(chooser->findChild<QPushButton *>(QStringLiteral("pushButton_close")), Qt::LeftButton);
    QVERIFY(chooser->isHidden());
    QTest::mouseClick(skin, Qt::LeftButton);
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->pos(), expected);
}

void TestMainWindowTray::readOnlyConfig_pickStillChangesTheSkinSilently()
{
    writeConfig(5);
    QFile file(configPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QVERIFY(QFile::setPermissions(configPath, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    // The ordinary user below may read the skins, but not write the folder or config.ini.
    for (const QString &folder : {dir.path(), dir.filePath(QStringLiteral("skin"))})
        QVERIFY(QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadGroup | QFile::ExeGroup |
                                                  QFile::ReadOther | QFile::ExeOther));
    QVERIFY(
        QFile::setPermissions(QStringLiteral("skin/love.gif"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    startWindow();
    const int windowsBefore = QApplication::topLevelWidgets().size();

    // Root writes anywhere; let the file system judge this thread as an ordinary user for the pick.
    const bool root = geteuid() == 0;
    if (root)
        setfsuid(65534);
    window->findChild<SkinForm *>()->findChild<QPushButton *>(QStringLiteral("pushButton_love"))->click();
    if (root)
        setfsuid(0);

    QCOMPARE(window->styleSheet(), QStringLiteral("border-image: url(skin/love.gif);"));
    QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    file.close();
    QVERIFY(QFile::setPermissions(configPath, QFile::ReadOwner | QFile::WriteOwner));
}

ORVANE_WEB_TEST_MAIN(TestMainWindowTray)
#include "tst_mainwindow_tray.moc"
