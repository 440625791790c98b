#include "releasenotes.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocument>

namespace ReleaseNotes {

namespace {

bool isBlock(const QString &tag)
{
    static const QStringList blocks = {
        QStringLiteral("p"),  QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"), QStringLiteral("h4"),
        QStringLiteral("h5"), QStringLiteral("h6"), QStringLiteral("ul"), QStringLiteral("ol"), QStringLiteral("li")};
    return blocks.contains(tag);
}

bool isInline(const QString &tag)
{
    static const QStringList inlines = {QStringLiteral("b"), QStringLiteral("strong"), QStringLiteral("i"),
                                        QStringLiteral("em"), QStringLiteral("a")};
    return inlines.contains(tag);
}

QString linkTarget(const QString &tagText)
{
    static const QRegularExpression href(QStringLiteral("\\bhref\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = href.match(tagText);
    if (!match.hasMatch())
        return QString();
    for (int group = 1; group <= 3; ++group) {
        if (match.capturedLength(group) > 0)
            return match.captured(group);
    }
    return QString();
}

// The entities notes are written with become their characters, to be escaped again on the way out;
// anything else that starts with "&" is text as it stands.
QString decodeEntities(QStringView text)
{
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[a-zA-Z]{2,6});"));
    static const QHash<QString, QChar> named = {
        {QStringLiteral("amp"), QLatin1Char('&')},   {QStringLiteral("lt"), QLatin1Char('<')},
        {QStringLiteral("gt"), QLatin1Char('>')},    {QStringLiteral("quot"), QLatin1Char('"')},
        {QStringLiteral("apos"), QLatin1Char('\'')}, {QStringLiteral("nbsp"), QChar(0xA0)}};
    QString out;
    qsizetype pos = 0;
    for (const QRegularExpressionMatch &match : entity.globalMatch(text)) {
        out += text.mid(pos, match.capturedStart() - pos);
        pos = match.capturedEnd();
        const QString name = match.captured(1);
        if (!name.startsWith(QLatin1Char('#'))) {
            const auto found = named.constFind(name);
            out += found != named.cend() ? QString(*found) : match.captured();
            continue;
        }
        bool ok = false;
        const bool hex = name.size() > 1 && (name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X'));
        const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
        // Control characters and what is no character at all stay as written.
        if (ok && code >= 0x20 && code != 0x7f && code <= 0x10FFFF && !QChar::isSurrogate(code))
            out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        else
            out += match.captured();
    }
    out += text.mid(pos);
    return out;
}

// Beyond these the notes are cut short: no release needs more, and the rich-text import and layout
// cost grows with both.
constexpr qsizetype MaxChars = 16 * 1024;
constexpr int MaxElements = 1000;
// Tags read, kept or not: reading stops there, so dropped markup cannot make it slow either.
constexpr int MaxTags = 10000;
constexpr int MaxRun = 64;

// Reads the markup tag by tag and writes back only what the subset allows, always balanced and
// within the budgets.
class Reducer
{
public:
    explicit Reducer(const QString &notes) : in(notes)
    {
    }

    QString plain()
    {
        qsizetype pos = 0;
        while (pos <= in.size() && !full()) {
            qsizetype end = in.indexOf(QLatin1Char('\n'), pos);
            if (end < 0)
                end = in.size();
            if (pos > 0)
                lineBreak();
            QString line = in.mid(pos, qMin(end - pos, MaxChars));
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            emitText(line);
            pos = end + 1;
        }
        return finish();
    }

    QString markup()
    {
        qsizetype pos = 0;
        while (pos < in.size() && !full()) {
            const qsizetype open = in.indexOf(QLatin1Char('<'), pos);
            if (open < 0) {
                text(pos, in.size());
                break;
            }
            text(pos, open);
            if (in.mid(open, 4) == QLatin1String("<!--")) {
                const qsizetype end = in.indexOf(QLatin1String("-->"), open + 4);
                pos = end < 0 ? in.size() : end + 3;
                continue;
            }
            // As in HTML, only "<" followed by a letter, "/" or "!" starts a tag; any other is text.
            if (!startsTag(open)) {
                text(open, open + 1);
                pos = open + 1;
                continue;
            }
            // A tag still open at the end is dropped, as a browser drops it: it never closes.
            const qsizetype close = in.indexOf(QLatin1Char('>'), open + 1);
            if (close < 0)
                break;
            pos = tag(QStringView(in).mid(open + 1, qMin(close - open - 1, MaxChars)), close + 1);
        }
        return finish();
    }

private:
    bool full() const
    {
        return chars >= MaxChars || elements >= MaxElements || tags >= MaxTags;
    }

    QString finish()
    {
        if (full())
            out += QStringLiteral(" …");
        while (!open.isEmpty())
            closeTop();
        return out;
    }

    // Appends text, every character that could start markup or an entity escaped.
    void emitText(const QString &chunk)
    {
        const QString kept = chunk.left(MaxChars - chars);
        chars += kept.size();
        for (const QChar c : kept) {
            // Wrapping a long run without spaces is costly: it gets a break opportunity every so often.
            if (c.isSpace()) {
                run = 0;
            } else if (++run >= MaxRun) {
                out += QChar(0x200B);
                run = 0;
            }
            switch (c.unicode()) {
            case '<':
                out += QLatin1String("&lt;");
                break;
            case '>':
                out += QLatin1String("&gt;");
                break;
            case '&':
                out += QLatin1String("&amp;");
                break;
            case '"':
                out += QLatin1String("&quot;");
                break;
            default:
                out += c;
            }
        }
    }

    void lineBreak()
    {
        ++elements;
        out += QLatin1String("<br>");
    }

    bool startsTag(qsizetype open) const
    {
        if (open + 1 >= in.size())
            return false;
        const QChar next = in.at(open + 1);
        return next == QLatin1Char('/') || next == QLatin1Char('!') || (next.unicode() < 0x80 && next.isLetter());
    }

    void text(qsizetype from, qsizetype to)
    {
        if (to <= from)
            return;
        emitText(decodeEntities(QStringView(in).mid(from, qMin(to - from, 2 * (MaxChars - chars) + 16))));
    }

    // Handles one tag; returns where reading goes on.
    qsizetype tag(QStringView body, qsizetype next)
    {
        ++tags;
        const bool closing = body.startsWith(QLatin1Char('/'));
        qsizetype end = closing ? 1 : 0;
        while (end < body.size() && end < 16 && body.at(end).isLetterOrNumber() && body.at(end).unicode() < 0x80)
            ++end;
        const QString name = body.mid(closing ? 1 : 0, end - (closing ? 1 : 0)).toString().toLower();
        if (name.isEmpty() || !name.at(0).isLetter())
            return next;

        if (!closing && (name == QLatin1String("script") || name == QLatin1String("style"))) {
            const qsizetype end = in.indexOf(QLatin1String("</") + name, next, Qt::CaseInsensitive);
            if (end < 0)
                return in.size();
            const qsizetype endClose = in.indexOf(QLatin1Char('>'), end);
            return endClose < 0 ? in.size() : endClose + 1;
        }
        if (name == QLatin1String("br")) {
            lineBreak();
            return next;
        }
        if (!isBlock(name) && !isInline(name))
            return next;
        if (closing) {
            // Closes up to the matching open tag; a close without one is dropped.
            if (open.contains(name)) {
                while (open.last() != name)
                    closeTop();
                closeTop();
            }
            return next;
        }
        if (open.size() >= MaxDepth * 2)
            return next;
        if ((name == QLatin1String("ul") || name == QLatin1String("ol")) && lists >= MaxDepth)
            return next;
        // As in HTML, an item or a paragraph ends where the next one starts instead of nesting.
        if ((name == QLatin1String("li") || name == QLatin1String("p")) && !open.isEmpty() && open.last() == name)
            closeTop();
        if (name == QLatin1String("a")) {
            const QString target = decodeEntities(linkTarget(body.toString()));
            if (!opensInBrowser(QUrl(target)))
                return next;
            out += QLatin1String("<a href=\"") + target.toHtmlEscaped() + QLatin1String("\">");
        } else {
            out += QLatin1Char('<') + name + QLatin1Char('>');
        }
        if (name == QLatin1String("ul") || name == QLatin1String("ol"))
            ++lists;
        ++elements;
        open.append(name);
        return next;
    }

    void closeTop()
    {
        const QString name = open.takeLast();
        if (name == QLatin1String("ul") || name == QLatin1String("ol"))
            --lists;
        out += QLatin1String("</") + name + QLatin1Char('>');
    }

    const QString &in;
    QString out;
    QStringList open;
    int lists = 0;
    qsizetype chars = 0;
    int elements = 0;
    int tags = 0;
    int run = 0;
};

} // namespace

QString toSafeHtml(const QString &notes)
{
    Reducer reducer(notes);
    return Qt::mightBeRichText(notes) ? reducer.markup() : reducer.plain();
}

bool opensInBrowser(const QUrl &link)
{
    const QString scheme = link.scheme();
    return link.isValid() && !link.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace ReleaseNotes
