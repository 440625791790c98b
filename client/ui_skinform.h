#pragma once

#include <QtGlobal>

class QLabel;
class QPushButton;
class QWidget;

namespace Ui {

// The skin chooser's widget tree: a bordered panel with a title image, nine skin cells in three rows
// and a close button. The widgets belong to the panel; this record only points to them.
class SkinForm
{
public:
    QWidget *widget = nullptr;
    QLabel *label_note = nullptr;
    QWidget *widget_blue = nullptr;
    QPushButton *pushButton_blue = nullptr;
    QLabel *label_blue = nullptr;
    QWidget *widget_jinshu = nullptr;
    QPushButton *pushButton_jinshu = nullptr;
    QLabel *label_jinshu = nullptr;
    QWidget *widget_black = nullptr;
    QPushButton *pushButton_black = nullptr;
    QLabel *label_black = nullptr;
    QWidget *widget_muwen = nullptr;
    QPushButton *pushButton_muwen = nullptr;
    QLabel *label_muwen = nullptr;
    QWidget *widget_huihei = nullptr;
    QPushButton *pushButton_huihei = nullptr;
    QLabel *label_huihei = nullptr;
    QWidget *widget_xiangyun = nullptr;
    QPushButton *pushButton_xiangyun = nullptr;
    QLabel *label_xiangyun = nullptr;
    QWidget *widget_shuidi = nullptr;
    QPushButton *pushButton_shuidi = nullptr;
    QLabel *label_shuidi = nullptr;
    QWidget *widget_green = nullptr;
    QPushButton *pushButton_green = nullptr;
    QLabel *label_green = nullptr;
    QWidget *widget_love = nullptr;
    QPushButton *pushButton_love = nullptr;
    QLabel *label_love = nullptr;
    QPushButton *pushButton_close = nullptr;

    // Builds the tree on `form`, sets its texts and connects the on_<object>_<signal> slots by name.
    void setupUi(QWidget *form);
    void retranslateUi(QWidget *form);
};

} // namespace Ui
