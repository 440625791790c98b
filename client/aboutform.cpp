#include "aboutform.h"

#include "ui_aboutform.h"

#include <QMouseEvent>

namespace {
const QPoint NoDrag(-1, -1);
}

AboutForm::AboutForm(QWidget *parent) : QWidget(parent), ui(new Ui::AboutForm)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    // Every request makes a new window, so a closed one would otherwise linger until exit.
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing it while the main window sits hidden in the tray must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
}

AboutForm::~AboutForm()
{
    delete ui;
}

void AboutForm::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
    }
}

void AboutForm::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        if (dragOffset != NoDrag)
            move(event->globalPosition().toPoint() - dragOffset);
        event->accept();
    }
}

void AboutForm::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragOffset = NoDrag;
        event->accept();
    }
}

void AboutForm::on_pushButton_close_clicked()
{
    close();
}

void AboutForm::on_pushButton_ok_clicked()
{
    close();
}
