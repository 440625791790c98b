#include "packagefile.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace PackageFile {

QString outputName(const QUrl &url, const QString &saveName)
{
    if (!saveName.isEmpty())
        return saveName;
    const QString fallback = QStringLiteral("updatePack.exe");
    // The last segment as sent, decoded only afterwards, so that an encoded "/" stays visible.
    const QString encodedPath = url.path(QUrl::FullyEncoded);
    const QString name =
        QUrl::fromPercentEncoding(encodedPath.mid(encodedPath.lastIndexOf(QLatin1Char('/')) + 1).toLatin1());
    // The package lands beside the programs: it must never take the name of one of their own files.
    static const QStringList ownFiles = {QStringLiteral("ORVN"),
                                         QStringLiteral("ORVN.exe"),
                                         QStringLiteral("Renovo"),
                                         QStringLiteral("Renovo.exe"),
                                         QStringLiteral("config.ini"),
                                         QStringLiteral("SConfig.ini"),
                                         QStringLiteral("ServerConfig.ini"),
                                         QStringLiteral("update.ico"),
                                         QStringLiteral("html"),
                                         QStringLiteral("skin")};
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        ownFiles.contains(name, Qt::CaseInsensitive))
        return fallback;
    // A name the file system would cut short (NUL), refuse (too long) or that would be run with a line
    // break in it keeps only its extension, when that is plain.
    const bool unsafe =
        name.toUtf8().size() > 200 || std::any_of(name.cbegin(), name.cend(), [](QChar c) {
            return c.unicode() < 0x20 || c.unicode() == 0x7f || c == QLatin1Char('/') || c == QLatin1Char('\\');
        });
    if (!unsafe)
        return name;
    static const QRegularExpression plainExtension(QStringLiteral("\\.([A-Za-z0-9]{1,16})$"));
    const QRegularExpressionMatch match = plainExtension.match(name);
    return match.hasMatch() ? QStringLiteral("updatePack.") + match.captured(1) : fallback;
}

bool isFetchableUrl(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

} // namespace PackageFile
