#include "ui_skinform.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace {

// One skin cell: framed background, the skin's picture button and its check mark above it.
void makeCell(QWidget *parent, const QString &suffix, int row, int column, QWidget **cell, QPushButton **button,
              QLabel **mark)
{
    *cell = new QWidget(parent);
    (*cell)->setObjectName(QStringLiteral("widget_") + suffix);
    (*cell)->setGeometry(15 + 120 * column, 35 + 81 * row, 110, 71);
    (*cell)->setStyleSheet(QStringLiteral("border-radius: 0px;\nborder-image: url(:/img/img/skin_background.png);"));

    *button = new QPushButton(*cell);
    (*button)->setObjectName(QStringLiteral("pushButton_") + suffix);
    (*button)->setGeometry(5, 5, 100, 61);
    (*button)->setCursor(QCursor(Qt::PointingHandCursor));

    *mark = new QLabel(*cell);
    (*mark)->setObjectName(QStringLiteral("label_") + suffix);
    (*mark)->setGeometry(75, 10, 24, 24);
    (*mark)->setStyleSheet(QStringLiteral("image: url(:/img/img/skinOK.png);\nborder-image: none;"));
    (*mark)->raise();
}

} // namespace

namespace Ui {

void SkinForm::setupUi(QWidget *form)
{
    if (form->objectName().isEmpty())
        form->setObjectName(QStringLiteral("SkinForm"));
    form->resize(376, 278);
    form->setStyleSheet(QString());

    widget = new QWidget(form);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setGeometry(0, 0, 376, 280);
    widget->setStyleSheet(QStringLiteral("border-image: url(:/img/img/skin_border.png);"));

    label_note = new QLabel(widget);
    label_note->setObjectName(QStringLiteral("label_note"));
    label_note->setGeometry(0, 0, 381, 27);
    QFont font;
    font.setPointSize(11);
    label_note->setFont(font);
    label_note->setStyleSheet(
        QStringLiteral("border-image: url(:/img/img/skin_title.png);\ncolor: rgb(255, 255, 255);"));

    makeCell(widget, QStringLiteral("blue"), 0, 0, &widget_blue, &pushButton_blue, &label_blue);
    makeCell(widget, QStringLiteral("jinshu"), 0, 1, &widget_jinshu, &pushButton_jinshu, &label_jinshu);
    makeCell(widget, QStringLiteral("black"), 0, 2, &widget_black, &pushButton_black, &label_black);
    makeCell(widget, QStringLiteral("muwen"), 1, 0, &widget_muwen, &pushButton_muwen, &label_muwen);
    makeCell(widget, QStringLiteral("huihei"), 1, 1, &widget_huihei, &pushButton_huihei, &label_huihei);
    makeCell(widget, QStringLiteral("xiangyun"), 1, 2, &widget_xiangyun, &pushButton_xiangyun, &label_xiangyun);
    makeCell(widget, QStringLiteral("shuidi"), 2, 0, &widget_shuidi, &pushButton_shuidi, &label_shuidi);
    makeCell(widget, QStringLiteral("green"), 2, 1, &widget_green, &pushButton_green, &label_green);
    makeCell(widget, QStringLiteral("love"), 2, 2, &widget_love, &pushButton_love, &label_love);

    pushButton_close = new QPushButton(widget);
    pushButton_close->setObjectName(QStringLiteral("pushButton_close"));
    pushButton_close->setGeometry(350, 2, 25, 22);
    pushButton_close->setCursor(QCursor(Qt::PointingHandCursor));
    pushButton_close->setStyleSheet(
        QStringLiteral("QPushButton{\n\tborder-image: url(:/img/img/winClose.png);\n}\n"
                       "QPushButton:hover{\n\tborder-image: url(:/img/img/winClose_h.png);\n}\n"
                       "QPushButton:pressed{\n\tborder-image: url(:/img/img/winClose_p.png);\n}\n"
                       "QPushButton:focus{\n\tpadding: -1;\n}\n"
                       "QPushButton{border-radius: 0px;}"));

    retranslateUi(form);
    QMetaObject::connectSlotsByName(form);
}

void SkinForm::retranslateUi(QWidget *form)
{
    form->setWindowTitle(QCoreApplication::translate("SkinForm", "Form"));
    label_note->setText(QString());
    for (QPushButton *button :
         {pushButton_blue, pushButton_jinshu, pushButton_black, pushButton_muwen, pushButton_huihei,
          pushButton_xiangyun, pushButton_shuidi, pushButton_green, pushButton_love, pushButton_close})
        button->setText(QString());
    for (QLabel *mark : {label_blue, label_jinshu, label_black, label_muwen, label_huihei, label_xiangyun, label_shuidi,
                         label_green, label_love})
        mark->setText(QString());
}

} // namespace Ui
