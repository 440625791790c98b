#include "skinform.h"

#include "clientconfig.h"
#include "skins.h"
#include "ui_skinform.h"

#include <QBitmap>
#include <QLabel>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

Q_LOGGING_CATEGORY(lcSkins, "orvane.skins", QtWarningMsg)

SkinForm::SkinForm(QWidget *parent) : QWidget(parent), ui(new Ui::SkinForm)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(clientConfig->productName);

    // Rounded corners: only the bits inside the rounded rectangle stay visible.
    QBitmap mask(size());
    mask.fill(Qt::color0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(mask.rect()), 2.0, 2.0, Qt::AbsoluteSize);
        painter.setPen(Qt::color1);
        painter.setBrush(Qt::color1);
        painter.drawPath(path);
    }
    setMask(mask);

    markSelectedSkin(clientConfig->currentSkinIndex);

    QPushButton *const buttons[Skins::Count] = {ui->pushButton_blue,   ui->pushButton_jinshu, ui->pushButton_black,
                                                ui->pushButton_muwen,  ui->pushButton_huihei, ui->pushButton_xiangyun,
                                                ui->pushButton_shuidi, ui->pushButton_green,  ui->pushButton_love};
    for (int index = 1; index <= Skins::Count; ++index)
        buttons[index - 1]->setStyleSheet(Skins::pictureStyleSheet(Skins::imagePath(*clientConfig, index)));

    connect(this, &SkinForm::changeSkin, this, &SkinForm::onChangeSkin);
}

SkinForm::~SkinForm()
{
    delete ui;
}

void SkinForm::markSelectedSkin(int index)
{
    QLabel *const marks[Skins::Count] = {ui->label_blue,   ui->label_jinshu, ui->label_black,
                                         ui->label_muwen,  ui->label_huihei, ui->label_xiangyun,
                                         ui->label_shuidi, ui->label_green,  ui->label_love};
    for (QLabel *mark : marks)
        mark->hide();
    if (index >= 1 && index <= Skins::Count)
        marks[index - 1]->show();
}

void SkinForm::pickSkin(int index)
{
    clientConfig->currentSkinIndex = index;
    markSelectedSkin(index);
    // A config.ini that cannot be written still lets the skin change for this run.
    if (!clientConfig->save())
        qCWarning(lcSkins) << "could not store the skin choice in" << clientConfig->configPath;
    emit changeSkin(Skins::imagePath(*clientConfig, index));
}

void SkinForm::onChangeSkin(QString skinPath)
{
    Q_UNUSED(skinPath)
}

void SkinForm::on_pushButton_blue_clicked()
{
    pickSkin(1);
}

void SkinForm::on_pushButton_black_clicked()
{
    pickSkin(3);
}

void SkinForm::on_pushButton_jinshu_clicked()
{
    pickSkin(2);
}

void SkinForm::on_pushButton_muwen_clicked()
{
    pickSkin(4);
}

void SkinForm::on_pushButton_huihei_clicked()
{
    pickSkin(5);
}

void SkinForm::on_pushButton_xiangyun_clicked()
{
    pickSkin(6);
}

void SkinForm::on_pushButton_shuidi_clicked()
{
    pickSkin(7);
}

void SkinForm::on_pushButton_green_clicked()
{
    pickSkin(8);
}

void SkinForm::on_pushButton_love_clicked()
{
    pickSkin(9);
}

void SkinForm::on_pushButton_close_clicked()
{
    hide();
}
