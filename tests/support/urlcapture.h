#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Captures every address handed to the desktop for the given schemes, so no real browser starts.
class UrlCapture final : public QObject
{
    Q_OBJECT

public:
    explicit UrlCapture(const QStringList &schemes = {QStringLiteral("http"), QStringLiteral("https"),
                                                      QStringLiteral("file"), QStringLiteral("javascript"),
                                                      QStringLiteral("ftp")})
        : schemes(schemes)
    {
        for (const QString &scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCapture() override
    {
        for (const QString &scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> opened;

public slots:
    void open(const QUrl &url)
    {
        opened << url;
    }

private:
    QStringList schemes;
};
