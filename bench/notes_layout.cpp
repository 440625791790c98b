// Times the updater's notes box on the worst notes a 1 MiB configuration can carry: reduction to the
// safe subset, rich-text import and the complete layout, each shape on its own.
#include "releasenotes.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <cstdio>

namespace {

constexpr int Budget = 1024 * 1024;

QString repeated(const QString &unit, const QString &head = QString())
{
    QString notes = head;
    while (notes.size() + unit.size() <= Budget)
        notes += unit;
    return notes;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const struct
    {
        const char *name;
        QString notes;
    } shapes[] = {
        {"nested tables", repeated(QStringLiteral("<table><tr><td>"))},
        {"nested lists", repeated(QStringLiteral("<ul><li>x"))},
        {"nested bold", repeated(QStringLiteral("<b>x"))},
        {"list items", repeated(QStringLiteral("<li>x"), QStringLiteral("<ul>"))},
        {"paragraphs", repeated(QStringLiteral("<p>x"))},
        {"line breaks", repeated(QStringLiteral("<br>"))},
        {"links", repeated(QStringLiteral("<a href=\"http://h/\">x</a>"))},
        {"one long word", repeated(QStringLiteral("x"), QStringLiteral("<b>notes</b>"))},
        {"plain lines", repeated(QStringLiteral("x\n"))},
        {"plain text", repeated(QStringLiteral("更新 "))},
    };
    qint64 worst = 0;
    for (const auto &shape : shapes) {
        QTextBrowser browser;
        browser.resize(400, 200);
        browser.show();
        QElapsedTimer timer;
        timer.start();
        browser.setHtml(ReleaseNotes::toSafeHtml(shape.notes));
        // Forces the whole document to be laid out, not only what is visible, then lets the box paint.
        QTextDocument *document = browser.document();
        document->documentLayout()->blockBoundingRect(document->lastBlock());
        QCoreApplication::processEvents();
        const QSizeF size = document->documentLayout()->documentSize();
        const qint64 ms = timer.elapsed();
        worst = qMax(worst, ms);
        std::printf("%-16s %8lld chars %6lld ms (height %.0f px)\n", shape.name, qlonglong(shape.notes.size()),
                    qlonglong(ms), size.height());
    }
    std::printf("worst %lld ms\n", qlonglong(worst));
    return 0;
}
