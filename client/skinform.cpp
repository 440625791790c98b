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

namespace {

int skinIndex(const QPushButton *button)
{
    return button->property("skinIndex").toInt();
}

QLabel *checkMark(const QPushButton *button)
{
    return button->parentWidget()->findChild<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

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
    for (QPushButton *button : skinButtons())
        button->setStyleSheet(Skins::pictureStyleSheet(Skins::imagePath(*clientConfig, skinIndex(button))));

    connect(this, &SkinForm::changeSkin, this, &SkinForm::onChangeSkin);
}

SkinForm::~SkinForm()
{
    delete ui;
}

QList<QPushButton *> SkinForm::skinButtons() const
{
    QList<QPushButton *> buttons = findChildren<QPushButton *>();
    buttons.removeIf([](QPushButton *button) {
        return skinIndex(button) == 0;
    });
    return buttons;
}

void SkinForm::markSelectedSkin(int index)
{
    for (QPushButton *button : skinButtons())
        checkMark(button)->setVisible(skinIndex(button) == index);
}

void SkinForm::pickSkin(QPushButton *button)
{
    const int index = skinIndex(button);
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
    pickSkin(ui->pushButton_blue);
}

void SkinForm::on_pushButton_black_clicked()
{
    pickSkin(ui->pushButton_black);
}

void SkinForm::on_pushButton_jinshu_clicked()
{
    pickSkin(ui->pushButton_jinshu);
}

void SkinForm::on_pushButton_muwen_clicked()
{
    pickSkin(ui->pushButton_muwen);
}

void SkinForm::on_pushButton_huihei_clicked()
{
    pickSkin(ui->pushButton_huihei);
}

void SkinForm::on_pushButton_xiangyun_clicked()
{
    pickSkin(ui->pushButton_xiangyun);
}

void SkinForm::on_pushButton_shuidi_clicked()
{
    pickSkin(ui->pushButton_shuidi);
}

void SkinForm::on_pushButton_green_clicked()
{
    pickSkin(ui->pushButton_green);
}

void SkinForm::on_pushButton_love_clicked()
{
    pickSkin(ui->pushButton_love);
}

void SkinForm::on_pushButton_close_clicked()
{
    hide();
}
