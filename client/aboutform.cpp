#include "aboutform.h"

#include "deployment.h"
#include "producticon.h"
#include "ui_aboutform.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

AboutForm::AboutForm(QWidget *parent) : QWidget(parent), ui(new Ui::AboutForm)
{
    ui->setupUi(this);
    ui->label_6->setText(ui->label_6->text() + Deployment::serverUrl());
    setWindowFlags(Qt::FramelessWindowHint);
    setWindowIcon(ProductIcon::forWindows());
    if (const QString version = QCoreApplication::applicationVersion(); !version.isEmpty())
        ui->label->setText(ui->label->text() + QLatin1Char(' ') + version);
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
    drag.press(this, event);
}

void AboutForm::mouseMoveEvent(QMouseEvent *event)
{
    drag.move(this, event);
}

void AboutForm::mouseReleaseEvent(QMouseEvent *event)
{
    drag.release(event);
}

void AboutForm::on_pushButton_close_clicked()
{
    close();
}

void AboutForm::on_pushButton_ok_clicked()
{
    close();
}
