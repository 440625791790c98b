#pragma once

#include "windowdrag.h"

#include <QPoint>
#include <QWidget>

namespace Ui {
class AboutForm;
}

// The frameless "about" window. Dragged with the left button anywhere on its background; either
// button closes it, and a closed window deletes itself (each request opens a new one).
class AboutForm final : public QWidget
{
    Q_OBJECT

public:
    explicit AboutForm(QWidget *parent = nullptr);
    ~AboutForm() override;

    Q_DISABLE_COPY_MOVE(AboutForm)

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private slots:
    void on_pushButton_close_clicked();
    void on_pushButton_ok_clicked();

private:
    Ui::AboutForm *ui = nullptr;
    WindowDrag drag;
};
