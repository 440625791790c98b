#pragma once

#include <QtGlobal>

class QHBoxLayout;
class QLabel;
class QMainWindow;
class QPushButton;
class QWidget;
class ScrollLabel;

namespace Ui {

// The main window's widget tree. The widgets belong to the window; this record only points to them.
class MainWindow
{
public:
    QWidget *centralWidget = nullptr;
    QWidget *widget_main = nullptr;
    QWidget *horizontalLayoutWidget_6 = nullptr;
    QHBoxLayout *hLayout_main = nullptr;
    QPushButton *pushButton_close = nullptr;
    QLabel *label_update = nullptr;
    ScrollLabel *label_ad = nullptr;
    QPushButton *pushButton_skin = nullptr;
    QPushButton *pushButton_min = nullptr;
    QWidget *widget_ad = nullptr;
    QWidget *horizontalLayoutWidget_5 = nullptr;
    QHBoxLayout *hLayout_ad = nullptr;
    QLabel *label_version = nullptr;
    QLabel *label_logo = nullptr;
    QPushButton *pushButton_page4 = nullptr;
    QPushButton *pushButton_page1 = nullptr;
    QPushButton *pushButton_page2 = nullptr;
    QPushButton *pushButton_page3 = nullptr;
    QPushButton *pushButton_book = nullptr;

    // Builds the tree on `window`, sets its texts and connects the on_<object>_<signal> slots by name.
    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);
};

} // namespace Ui
