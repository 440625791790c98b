#include "ui_aboutform.h"

#include "deployment.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const QRect &geometry, const QString &sheet)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setStyleSheet(sheet);
    return label;
}

} // namespace

namespace Ui {

void AboutForm::setupUi(QWidget *form)
{
    if (form->objectName().isEmpty())
        form->setObjectName(QStringLiteral("AboutForm"));
    form->resize(300, 200);
    form->setStyleSheet(QString());

    widget = new QWidget(form);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setGeometry(0, 0, 300, 200);
    widget->setStyleSheet(QStringLiteral("border-image: url(:/img/img/abouts.png);"));

    pushButton_ok = new QPushButton(widget);
    pushButton_ok->setObjectName(QStringLiteral("pushButton_ok"));
    pushButton_ok->setGeometry(112, 165, 75, 25);
    pushButton_ok->setCursor(QCursor(Qt::PointingHandCursor));
    pushButton_ok->setStyleSheet(QStringLiteral("QPushButton{\n\tborder-image: url(:/img/img/abt1.png);\n}\n"
                                                "QPushButton:hover{\n\tborder-image: url(:/img/img/abt2.png);\n}\n"
                                                "QPushButton:pressed{\n\tborder-image: url(:/img/img/abt2.png);\n}"));

    pushButton_close = new QPushButton(widget);
    pushButton_close->setObjectName(QStringLiteral("pushButton_close"));
    pushButton_close->setGeometry(272, 4, 25, 22);
    pushButton_close->setCursor(QCursor(Qt::PointingHandCursor));
    pushButton_close->setStyleSheet(
        QStringLiteral("QPushButton{\n\tborder-image: url(:/img/img/winClose.png);\n}\n"
                       "QPushButton:hover{\n\tborder-image: url(:/img/img/winClose_h.png);\n}\n"
                       "QPushButton:pressed{\n\tborder-image: url(:/img/img/winClose_p.png);\n}\n"
                       "QPushButton:focus{\n\tpadding: -1;\n}\n"
                       "QPushButton{border-radius: 0px;}"));

    // Wider than first drawn (81 and 211): the Linux fonts clip the name and the first line at those widths.
    label = makeLabel(widget, "label", QRect(70, 45, 222, 16),
                      QStringLiteral("border-image: none;\nfont: 10pt \"微软雅黑\";\ncolor: rgb(255, 255, 255);"));
    label_2 = makeLabel(widget, "label_2", QRect(70, 65, 222, 16),
                        QStringLiteral("border-image: none;\ncolor: rgb(255, 255, 255);\nfont: 9pt \"微软雅黑\";"));
    label_3 = makeLabel(widget, "label_3", QRect(70, 82, 222, 16),
                        QStringLiteral("border-image: none;\nfont: 9pt \"微软雅黑\";\ncolor: rgb(255, 255, 255);"));
    label_4 = makeLabel(widget, "label_4", QRect(70, 102, 222, 16),
                        QStringLiteral("border-image:none;\nfont: 9pt \"微软雅黑\";\ncolor: rgb(255, 255, 255);"));
    label_5 = makeLabel(widget, "label_5", QRect(70, 122, 222, 16),
                        QStringLiteral("border-image: none;\ncolor: rgb(255, 255, 255);\nfont: 9pt \"微软雅黑\";"));
    label_6 = makeLabel(widget, "label_6", QRect(70, 142, 222, 16),
                        QStringLiteral("border-image: none;\ncolor: rgb(255, 255, 255);\nfont: 9pt \"微软雅黑\";"));

    retranslateUi(form);
    QMetaObject::connectSlotsByName(form);
}

void AboutForm::retranslateUi(QWidget *form)
{
    form->setWindowTitle(QCoreApplication::translate("AboutForm", "关于-Orvane网络电视"));
    pushButton_ok->setText(QString());
    pushButton_close->setText(QString());
    label->setText(QCoreApplication::translate("AboutForm", "Orvane网络电视"));
    label_2->setText(QCoreApplication::translate("AboutForm", "本程序是一款免费的网络电视直播软件，"));
    label_3->setText(QCoreApplication::translate("AboutForm", "提供国内卫视、央视、地方台、数字频"));
    label_4->setText(QCoreApplication::translate("AboutForm", "道、港澳台以及国外频道在线直播，感"));
    label_5->setText(QCoreApplication::translate("AboutForm", "谢您的使用！"));
    label_6->setText(QCoreApplication::translate("AboutForm", "官方网站：") + Deployment::serverUrl());
}

} // namespace Ui
