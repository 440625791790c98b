#pragma once

class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QTextBrowser;
class QWidget;

namespace Ui {

// The update window's widget tree. The widgets belong to the window; this record only points to them.
class MainWindow
{
public:
    QWidget *centralWidget = nullptr;
    QPushButton *pushButton_update = nullptr;
    QProgressBar *progressBar_download = nullptr;
    QPushButton *pushButton_cancel = nullptr;
    QTextBrowser *textBrowser_newVersion = nullptr;
    QLabel *label_title = nullptr;
    QLabel *label_newVersion = nullptr;
    QLabel *label_logo = nullptr;
    QLabel *label_note = nullptr;

    // Builds the tree on `window`, sets its texts and connects the on_<object>_<signal> slots by name.
    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);
};

} // namespace Ui
