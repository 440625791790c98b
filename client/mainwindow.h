#pragma once

#include <QMainWindow>
#include <QPoint>

class AxWidgetThread;
class QPushButton;
class QSystemTrayIcon;

namespace Ui {
class MainWindow;
}

// The client's skinned, frameless main window. Closing it only hides it while a tray icon can bring
// it back; the program ends through the tray menu or the updater's request.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Q_DISABLE_COPY_MOVE(MainWindow)

    // Frame corner of a window of `window` size centred on an available area of `available` size,
    // lifted by 30 pixels. The area's origin is deliberately not added.
    static QPoint startPosition(const QSize &available, const QSize &window);

public slots:
    // Messages from later starts: "client" brings the window back, "updator" ends the program.
    void receiveMessage(QString msg);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_close_clicked();
    void on_pushButton_min_clicked();
    void on_pushButton_page1_clicked();
    void on_pushButton_page2_clicked();
    void on_pushButton_page3_clicked();
    void on_pushButton_page4_clicked();
    void onBannerShow(bool noError);
    void onPageShow(bool noError);

private:
    void hideToTray();
    // The channel page area and the banner area, with their three web page hosts.
    void setUpPageArea();
    void tearDownPageArea();
    void selectPage(int page);
    void switchPage(int page);
    QPushButton *pageButton(int page) const;
    QString pageUrl(int page) const;
    void showFallbackPage();

    QSystemTrayIcon *trayIcon = nullptr;
    // Offset of the mouse from the frame corner at the last left press; (-1, -1) while no drag is under way.
    QPoint dragOffset{0, 0};
    AxWidgetThread *bannerHost = nullptr;
    AxWidgetThread *loadingHost = nullptr;
    AxWidgetThread *pageHost = nullptr;
    int currentPage = 0;
    // Failed loads of a local error page in a row; bounded so that a broken install cannot keep
    // the area loading for ever.
    int pageErrorRounds = 0;
    int bannerErrorRounds = 0;
    Ui::MainWindow *ui = nullptr;

    friend class TestPageArea;
};
