#pragma once

#include <QList>
#include <QWidget>

class QPushButton;

namespace Ui {
class SkinForm;
}

// Drop-down panel with the nine skins. A pick takes effect at once: the check mark moves, config.ini
// is rewritten and changeSkin() carries the image path to the main window. Clicking outside closes it.
class SkinForm final : public QWidget
{
    Q_OBJECT

public:
    explicit SkinForm(QWidget *parent = nullptr);
    ~SkinForm() override;

    Q_DISABLE_COPY_MOVE(SkinForm)

    // Shows the check mark of skin `index` only; an index outside 1..9 shows none.
    void markSelectedSkin(int index);

signals:
    void changeSkin(QString skinPath);

private slots:
    void onChangeSkin(QString skinPath);
    void on_pushButton_blue_clicked();
    void on_pushButton_black_clicked();
    void on_pushButton_jinshu_clicked();
    void on_pushButton_muwen_clicked();
    void on_pushButton_huihei_clicked();
    void on_pushButton_xiangyun_clicked();
    void on_pushButton_shuidi_clicked();
    void on_pushButton_green_clicked();
    void on_pushButton_love_clicked();
    void on_pushButton_close_clicked();

private:
    void pickSkin(QPushButton *button);

    // The nine skin buttons. Each carries its skin's index in the form (property skinIndex): the index,
    // not the name, ties a button to its file (pushButton_jinshu shows skin 2). Its check mark shares
    // its cell.
    QList<QPushButton *> skinButtons() const;

    Ui::SkinForm *ui = nullptr;
};
