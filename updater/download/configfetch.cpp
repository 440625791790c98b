#include "configfetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace ConfigFetch {

Result get(const QUrl &url, const Limits &limits)
{
    QNetworkAccessManager manager;
    QEventLoop loop;
    QNetworkRequest request(url);
    request.setTransferTimeout(limits.stallMs);
    QNetworkReply *reply = manager.get(request);
    // Taken as it arrives and no faster, so the cap bounds what is held, not what the server has sent.
    reply->setReadBufferSize(64 * 1024);
    Result result;
    Outcome cut = Outcome::Fetched;
    const auto stop = [reply, &cut](Outcome why) {
        if (cut == Outcome::Fetched) {
            cut = why;
            reply->abort();
        }
    };
    const auto take = [reply, &result, &stop, &limits] {
        result.body += reply->read(limits.maxBytes + 1 - result.body.size());
        if (result.body.size() > limits.maxBytes)
            stop(Outcome::TooLarge);
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [reply, &stop, &limits] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > limits.maxBytes)
            stop(Outcome::TooLarge);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit, Qt::DirectConnection);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&stop] {
        stop(Outcome::Late);
    });
    deadline.start(limits.deadlineMs);
    if (!reply->isFinished())
        loop.exec();
    if (cut == Outcome::Fetched && reply->error() == QNetworkReply::NoError)
        take();

    result.outcome = cut;
    if (cut == Outcome::Fetched && reply->error() != QNetworkReply::NoError) {
        result.outcome = Outcome::Failed;
        result.error = reply->errorString();
    }
    if (result.outcome != Outcome::Fetched)
        result.body.clear();
    delete reply;
    return result;
}

} // namespace ConfigFetch
