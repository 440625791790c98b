#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

class AxWidgetThread;
class QTimer;

namespace Ui {
class PopForm;
}

// The advertisement window in the bottom-right corner of the desktop. It loads its page unseen,
// shows itself only when the page is the expected one, and closes itself after the configured stay.
class PopForm final : public QWidget
{
    Q_OBJECT

public:
    explicit PopForm(QWidget *parent = nullptr);
    ~PopForm() override;

    Q_DISABLE_COPY_MOVE(PopForm)

    void setUrl(QString url);
    // Places the window and starts loading its page; the window stays hidden until the page is in.
    void startPop();

    // Top-left corner for a window of `window` size on an available area of `available` size. The
    // area's origin is deliberately not added.
    static QPoint placement(const QSize &available, const QSize &window);

    int secondsLeft() const
    {
        return stayCount;
    }
    bool isCountingDown() const;

private slots:
    void loadFinish(bool noError);
    void myStay();
    void on_pushButton_close_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    int popX = 0;
    int popY = 0;
    QRect availRect;
    int stayCount = 0;
    QTimer *stayTimer = nullptr;
    AxWidgetThread *pageHost = nullptr;
    QString url;
    Ui::PopForm *ui = nullptr;
};
