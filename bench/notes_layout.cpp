// Times the updater's notes box on the worst notes a 1 MiB configuration can carry: reduction to the
// safe subset, rich-text import and the complete layout, each shape on its own.
#include "notesview.h"
#include "releasenotes.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
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
    // Each shape several times: the fastest run is the cost, the slowest shows what a busy machine adds.
    constexpr int Runs = 5;
    qint64 worst = 0;
    for (const auto &shape : shapes) {
        QList<qint64> times;
        double height = 0;
        for (int run = 0; run < Runs; ++run) {
            NotesView browser;
            browser.resize(400, 200);
            browser.show();
            QElapsedTimer timer;
            timer.start();
            browser.setHtml(ReleaseNotes::toSafeHtml(shape.notes));
            // Forces the whole document to be laid out, not only what is visible, then lets it paint.
            QTextDocument *document = browser.document();
            document->documentLayout()->blockBoundingRect(document->lastBlock());
            QCoreApplication::processEvents();
            height = document->documentLayout()->documentSize().height();
            times << timer.elapsed();
        }
        std::sort(times.begin(), times.end());
        worst = qMax(worst, times.first());
        std::printf("%-16s %8lld chars  fastest %4lld ms  median %4lld ms  slowest %4lld ms  (%.0f px high)\n",
                    shape.name, qlonglong(shape.notes.size()), qlonglong(times.first()), qlonglong(times.at(Runs / 2)),
                    qlonglong(times.last()), height);
    }
    std::printf("slowest shape, fastest run: %lld ms\n", qlonglong(worst));
    return 0;
}
