#include "headprobe.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace HeadProbe {

namespace {

Answer read(const QNetworkReply &reply)
{
    Answer answer;
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    answer.reached = status.isValid();
    if (!answer.reached) {
        answer.error = reply.errorString();
    } else if (status.toInt() == 200) {
        bool ok = false;
        answer.size = reply.header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
        if (!ok || answer.size < 0)
            answer.size = 0;
        answer.acceptRanges = reply.rawHeader("Accept-Ranges");
        answer.etag = reply.rawHeader("ETag");
        answer.lastModified = reply.rawHeader("Last-Modified");
    }
    return answer;
}

} // namespace

Answer ask(const QUrl &url, int stallTimeoutMs)
{
    QNetworkAccessManager manager;
    QEventLoop loop;
    QNetworkRequest request(url);
    request.setRawHeader("Accept-Encoding", "identity");
    request.setTransferTimeout(stallTimeoutMs);
    QNetworkReply *reply = manager.head(request);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit, Qt::DirectConnection);
    if (!reply->isFinished())
        loop.exec();
    const Answer answer = read(*reply);
    delete reply;
    return answer;
}

} // namespace HeadProbe
