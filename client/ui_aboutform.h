#pragma once

#include <QtGlobal>

class QLabel;
class QPushButton;
class QWidget;

namespace Ui {

// The about window's widget tree: picture background, product name, four description lines, the
// web site line and two buttons. The widgets belong to the window; this record only points to them.
class AboutForm
{
public:
    QWidget *widget = nullptr;
    QPushButton *pushButton_ok = nullptr;
    QPushButton *pushButton_close = nullptr;
    QLabel *label = nullptr;
    QLabel *label_2 = nullptr;
    QLabel *label_3 = nullptr;
    QLabel *label_4 = nullptr;
    QLabel *label_5 = nullptr;
    QLabel *label_6 = nullptr;

    // Builds the tree on `form`, sets its texts and connects the on_<object>_<signal> slots by name.
    void setupUi(QWidget *form);
    void retranslateUi(QWidget *form);
};

} // namespace Ui
