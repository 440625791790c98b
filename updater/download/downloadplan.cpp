#include "downloadplan.h"

#include <QRegularExpression>

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
    return "bytes=" + QByteArray::number(range.first) + '-' + QByteArray::number(range.last);
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

} // namespace DownloadPlan
