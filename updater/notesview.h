#pragma once

#include <QTextBrowser>

// The box that shows the new version's notes. The notes are the one part of the configuration that is
// not signed, so the box fetches nothing they name: no image, style sheet or page, from a file, the
// program's resources or the network.
class NotesView final : public QTextBrowser
{
    Q_OBJECT

public:
    explicit NotesView(QWidget *parent = nullptr);

    QVariant loadResource(int type, const QUrl &name) override;
};
