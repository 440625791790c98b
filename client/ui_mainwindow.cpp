#include "ui_mainwindow.h"

#include "scrolllabel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

namespace {

// Title-bar buttons: an image per state and square corners.
QString titleButtonSheet(const QString &normal, const QString &hover, const QString &pressed,
                         const QString &focusRule = QStringLiteral("QPushButton:focus{\n\tpadding: -1;\n}"))
{
    return QStringLiteral("QPushButton{\n\tborder-image: url(:/img/img/%1);\n}\n"
                          "QPushButton:hover{\n\tborder-image: url(:/img/img/%2);\n}\n"
                          "QPushButton:pressed{\n\tborder-image: url(:/img/img/%3);\n}\n")
               .arg(normal, hover, pressed) +
           focusRule + QStringLiteral("\nQPushButton{border-radius: 0px;}");
}

// Page buttons: the pressed image also marks the selected page.
QString pageButtonSheet(const QString &normal, const QString &hover, const QString &pressed)
{
    return QStringLiteral("QPushButton{\n\tborder-image: url(:/img/img/%1);\n}\n"
                          "QPushButton:hover{\n\tborder-image: url(:/img/img/%2);\n}\n"
                          "QPushButton:pressed{\n\tborder-image: url(:/img/img/%3);\n}\n"
                          "QPushButton:checked{\n\tborder-image: url(:/img/img/%3);\n}\n"
                          "QPushButton:focus{\n\tpadding: -1;\n}")
        .arg(normal, hover, pressed);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QRect &geometry, const QString &sheet, bool checkable)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setStyleSheet(sheet);
    if (checkable)
        button->setCheckable(true);
    else
        button->setCursor(QCursor(Qt::PointingHandCursor));
    return button;
}

QWidget *makeLayoutHost(QWidget *parent, const char *name, const QRect &geometry, QHBoxLayout **layout,
                        const char *layoutName)
{
    auto *host = new QWidget(parent);
    host->setObjectName(QLatin1String(name));
    host->setGeometry(geometry);
    *layout = new QHBoxLayout(host);
    (*layout)->setSpacing(6);
    (*layout)->setContentsMargins(0, 0, 0, 0);
    (*layout)->setObjectName(QLatin1String(layoutName));
    return host;
}

// The bottom labels are sized for a compact Chinese UI font; a wide Latin default would clip the version.
QFont labelFont(QFont font)
{
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
    font.setPixelSize(12);
    return font;
}

} // namespace

namespace Ui {

void MainWindow::setupUi(QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(852, 600);
    window->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QFont font = window->font();
    font.setKerning(true);
    window->setFont(font);
    window->setWindowIcon(QIcon(QStringLiteral(":/img/img/ico.png")));
    window->setStyleSheet(QStringLiteral("border-image: url(:/img/img/blue.gif);\n"));

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    centralWidget->setStyleSheet(QString());

    widget_main = new QWidget(centralWidget);
    widget_main->setObjectName(QStringLiteral("widget_main"));
    widget_main->setGeometry(1, 98, 850, 470);
    horizontalLayoutWidget_6 =
        makeLayoutHost(widget_main, "horizontalLayoutWidget_6", QRect(-2, -2, 854, 474), &hLayout_main, "hLayout_main");

    pushButton_close = makeButton(centralWidget, "pushButton_close", QRect(824, 3, 25, 22),
                                  titleButtonSheet(QStringLiteral("winClose.png"), QStringLiteral("winClose_h.png"),
                                                   QStringLiteral("winClose_p.png")),
                                  false);

    label_update = new QLabel(centralWidget);
    label_update->setObjectName(QStringLiteral("label_update"));
    label_update->setGeometry(142, 573, 141, 20);
    label_update->setCursor(QCursor(Qt::PointingHandCursor));
    label_update->setStyleSheet(QStringLiteral("border-image: none;\ncolor: rgb(255, 255, 255);"));

    label_ad = new ScrollLabel(centralWidget);
    label_ad->setObjectName(QStringLiteral("label_ad"));
    label_ad->setGeometry(836, 574, 4, 20);
    label_ad->setStyleSheet(QString());
    label_ad->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_ad->setTextInteractionFlags(Qt::NoTextInteraction);

    pushButton_skin = makeButton(
        centralWidget, "pushButton_skin", QRect(772, 3, 25, 22),
        titleButtonSheet(QStringLiteral("skin.png"), QStringLiteral("skin_h.png"), QStringLiteral("skin_p.png")),
        false);
    pushButton_min =
        makeButton(centralWidget, "pushButton_min", QRect(799, 3, 25, 22),
                   titleButtonSheet(QStringLiteral("min.png"), QStringLiteral("min_h.png"), QStringLiteral("min_p.png"),
                                    QStringLiteral("QPushButton:focus{padding: -1;}")),
                   false);

    widget_ad = new QWidget(centralWidget);
    widget_ad->setObjectName(QStringLiteral("widget_ad"));
    widget_ad->setGeometry(376, 30, 466, 58);
    widget_ad->setStyleSheet(QStringLiteral("border-image: none;"));
    horizontalLayoutWidget_5 =
        makeLayoutHost(widget_ad, "horizontalLayoutWidget_5", QRect(-3, -3, 472, 64), &hLayout_ad, "hLayout_ad");

    label_version = new QLabel(centralWidget);
    label_version->setObjectName(QStringLiteral("label_version"));
    label_version->setGeometry(12, 574, 121, 20);
    label_version->setStyleSheet(QStringLiteral("border-image: none;\ncolor: rgb(255, 255, 255);"));
    label_version->setFont(labelFont(window->font()));

    label_logo = new QLabel(centralWidget);
    label_logo->setObjectName(QStringLiteral("label_logo"));
    label_logo->setGeometry(2, 2, 100, 22);
    label_logo->setStyleSheet(QStringLiteral("border-image: url(:/img/img/logos.png);"));

    const QString zb = pageButtonSheet(QStringLiteral("zb1.png"), QStringLiteral("zb2.png"), QStringLiteral("zb3.png"));
    const QString hks =
        pageButtonSheet(QStringLiteral("hks1.png"), QStringLiteral("hks2.png"), QStringLiteral("hks3.png"));
    // Pages 3 and 4 stay fully wired behind one-pixel buttons; only pages 1 and 2 are offered.
    pushButton_page4 = makeButton(centralWidget, "pushButton_page4", QRect(850, 98, 1, 1), hks, true);
    pushButton_page1 = makeButton(centralWidget, "pushButton_page1", QRect(10, 30, 60, 60), zb, true);
    pushButton_page2 = makeButton(centralWidget, "pushButton_page2", QRect(90, 30, 60, 60), hks, true);
    pushButton_page3 = makeButton(centralWidget, "pushButton_page3", QRect(850, 98, 1, 1), zb, true);

    pushButton_book = makeButton(
        centralWidget, "pushButton_book", QRect(743, 3, 25, 22),
        titleButtonSheet(QStringLiteral("fd1.png"), QStringLiteral("fd2.png"), QStringLiteral("fd3.png")), false);

    window->setCentralWidget(centralWidget);
    retranslateUi(window);
    QMetaObject::connectSlotsByName(window);
}

void MainWindow::retranslateUi(QMainWindow *window)
{
    window->setWindowTitle(QCoreApplication::translate("MainWindow", "MainWindow"));
    label_version->setText(QCoreApplication::translate("MainWindow", "当前版本:1.0.1.21121"));
    label_update->setText(QCoreApplication::translate(
        "MainWindow",
        "<html><head/><body style=\" font-family:'宋体'; font-size:9pt;\">"
        "<p style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px;\">"
        "<span style=\" color:#ffffff;\">发现新的版本，</span>"
        "<a href=\"update\"><span style=\" text-decoration: underline; color:#ffffff;\">点此升级</span></a>"
        "</p></body></html>"));
    label_ad->setText(QString());
    label_logo->setText(QString());
}

} // namespace Ui
