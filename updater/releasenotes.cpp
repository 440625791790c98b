#include "releasenotes.h"

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
            emitText(line.toHtmlEscaped());
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
            const qsizetype close = in.indexOf(QLatin1Char('>'), open + 1);
            if (close < 0) {
                text(open, in.size());
                break;
            }
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

    void emitText(const QString &chunk)
    {
        const QString kept = chunk.left(MaxChars - chars);
        chars += kept.size();
        // Wrapping a long run without spaces is costly: it gets a break opportunity every so often,
        // outside entities.
        for (const QChar c : kept) {
            if (c.isSpace()) {
                run = 0;
                entity = false;
            } else if (c == QLatin1Char('&')) {
                entity = true;
            } else if (c == QLatin1Char(';')) {
                entity = false;
            } else if (++run >= MaxRun && !entity) {
                out += QChar(0x200B);
                run = 0;
            }
            out += c;
        }
    }

    void lineBreak()
    {
        ++elements;
        out += QLatin1String("<br>");
    }

    void text(qsizetype from, qsizetype to)
    {
        if (to <= from)
            return;
        // Entities pass; a stray '>' cannot start anything but is escaped all the same. An entity cut
        // at the end of the budget shows as text, harmlessly.
        QString chunk = in.mid(from, qMin(to - from, MaxChars - chars));
        chunk.replace(QLatin1Char('>'), QLatin1String("&gt;"));
        emitText(chunk);
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
            const QString target = linkTarget(body.toString());
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
    bool entity = false;
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
