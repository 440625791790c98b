#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>

namespace {

template <typename T> T *make(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

namespace Ui {

void MainWindow::setupUi(QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(515, 336);
    // The labels are laid out for a compact Chinese UI font; a wide Latin default would clip the title.
    QFont font = window->font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
    font.setPixelSize(12);
    window->setFont(font);
    QIcon icon;
    icon.addFile(QStringLiteral("update.ico"), QSize(), QIcon::Normal, QIcon::Off);
    window->setWindowIcon(icon);

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    pushButton_update = make<QPushButton>(centralWidget, "pushButton_update", QRect(340, 300, 75, 23));
    pushButton_update->setCursor(QCursor(Qt::PointingHandCursor));
    progressBar_download = make<QProgressBar>(centralWidget, "progressBar_download", QRect(180, 260, 321, 23));
    progressBar_download->setValue(0);
    progressBar_download->setTextVisible(false);
    pushButton_cancel = make<QPushButton>(centralWidget, "pushButton_cancel", QRect(430, 300, 75, 23));
    pushButton_cancel->setCursor(QCursor(Qt::PointingHandCursor));
    textBrowser_newVersion = make<QTextBrowser>(centralWidget, "textBrowser_newVersion", QRect(180, 50, 321, 191));
    label_title = make<QLabel>(centralWidget, "label_title", QRect(180, 10, 181, 16));
    label_newVersion = make<QLabel>(centralWidget, "label_newVersion", QRect(180, 30, 61, 16));
    label_logo = make<QLabel>(centralWidget, "label_logo", QRect(0, 0, 171, 341));
    label_logo->setStyleSheet(QStringLiteral("border-image: url(:/img/update.png);"));
    label_note = make<QLabel>(centralWidget, "label_note", QRect(180, 300, 171, 16));
    window->setCentralWidget(centralWidget);

    retranslateUi(window);
    QMetaObject::connectSlotsByName(window);
}

void MainWindow::retranslateUi(QMainWindow *window)
{
    window->setWindowTitle(QCoreApplication::translate("MainWindow", "MainWindow"));
    pushButton_update->setText(QCoreApplication::translate("MainWindow", "立即升级"));
    pushButton_cancel->setText(QCoreApplication::translate("MainWindow", "取消"));
    label_title->setText(QCoreApplication::translate("MainWindow", "Orvane网络电视 有新的版本可用！"));
    label_newVersion->setText(QCoreApplication::translate("MainWindow", "新版特性："));
    label_logo->setText(QString());
    label_note->setText(QCoreApplication::translate("MainWindow", "是否更新到最新版本？"));
}

} // namespace Ui
