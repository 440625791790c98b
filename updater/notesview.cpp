#include "notesview.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextObjectInterface>

namespace {

// The document asks its widget first and, given nothing, would read a local file itself; this one
// never does.
class InertDocument final : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl &) override
    {
        return QVariant();
    }
};

// Images take no room and draw nothing: the stock handler, given no data, reads the image's name from
// the disk itself.
class NoImages final : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument *, int, const QTextFormat &) override
    {
        return QSizeF();
    }
    void drawObject(QPainter *, const QRectF &, QTextDocument *, int, const QTextFormat &) override
    {
    }
};

} // namespace

NotesView::NotesView(QWidget *parent) : QTextBrowser(parent)
{
    auto *document = new InertDocument(this);
    document->documentLayout()->registerHandler(QTextFormat::ImageObject, new NoImages(document));
    setDocument(document);
}

QVariant NotesView::loadResource(int, const QUrl &)
{
    return QVariant();
}

#include "notesview.moc"
