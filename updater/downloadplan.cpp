#include "downloadplan.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace DownloadPlan {

namespace {

// floor(size * k / n) without overflow: size = q*n + r, so size*k/n = q*k + r*k/n with r*k < n*n.
qint64 scaledBoundary(qint64 size, qint64 k, qint64 n)
{
    return (size / n) * k + (size % n) * k / n;
}

bool parseNumber(const QString &text, qint64 *value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && *value >= 0;
}

} // namespace

QList<ByteRange> partition(qint64 size, int parts)
{
    QList<ByteRange> ranges;
    if (size <= 0 || parts <= 0)
        return ranges;
    ranges.reserve(parts);
    for (int k = 1; k <= parts; ++k)
        ranges.append({scaledBoundary(size, k - 1, parts), scaledBoundary(size, k, parts) - 1});
    return ranges;
}

QByteArray rangeHeader(const ByteRange &range)
{
    return "Bytes=" + QByteArray::number(range.first) + '-' + QByteArray::number(range.last);
}

ContentRange parseContentRange(const QByteArray &value)
{
    static const QRegularExpression form(QStringLiteral(R"(^\s*bytes\s+(\d{1,19})-(\d{1,19})/(\d{1,19}|\*)\s*$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    ContentRange result;
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(value));
    if (!match.hasMatch())
        return result;
    if (!parseNumber(match.captured(1), &result.first) || !parseNumber(match.captured(2), &result.last))
        return result;
    if (match.captured(3) != QLatin1String("*") && !parseNumber(match.captured(3), &result.total))
        return result;
    result.valid = result.first <= result.last && (result.total < 0 || result.last < result.total);
    return result;
}

QString rejectPartAnswer(int status, const QByteArray &contentRange, const ByteRange &asked, qint64 total)
{
    if (status != 206)
        return QStringLiteral("the server answered %1 instead of 206 Partial Content").arg(status);
    const ContentRange range = parseContentRange(contentRange);
    if (!range.valid)
        return QStringLiteral("unusable Content-Range \"%1\"").arg(QString::fromLatin1(contentRange));
    if (range.first != asked.first || range.last != asked.last)
        return QStringLiteral("the server sent bytes %1-%2 for %3-%4")
            .arg(range.first)
            .arg(range.last)
            .arg(asked.first)
            .arg(asked.last);
    if (range.total != total)
        return QStringLiteral("the package is %1 bytes now, not %2").arg(range.total).arg(total);
    return QString();
}

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

} // namespace DownloadPlan
