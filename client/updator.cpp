#include "updator.h"

#include "clientconfig.h"
#include "iniencoding.h"
#include "serverconfig.h"
#include "updaterlauncher.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QTemporaryFile>
#include <QUrl>

#include <memory>

Q_LOGGING_CATEGORY(lcFetch, "orvane.fetch", QtWarningMsg)

namespace {
const QString TempFileName = QStringLiteral("SConfig.ini");
} // namespace

Updator::Updator(const QString &url, QWidget *noticeParent) : url(url), noticeParent(noticeParent)
{
}

Updator::~Updator()
{
    quit();
    wait();
}

void Updator::fetchAgain()
{
    if (success || !finished || isRunning())
        return;
    finished = false;
    body.clear();
    start(QThread::InheritPriority);
}

void Updator::setTransferTimeout(int milliseconds)
{
    transferTimeout = milliseconds;
}

void Updator::run()
{
    // Only a lower-case http or https address is fetched; anything else ends the fetch at once.
    const QUrl address(url);
    if (url.isEmpty() || !address.isValid() ||
        !(url.startsWith(QLatin1String("http://")) || url.startsWith(QLatin1String("https://")))) {
        qCInfo(lcFetch) << "no usable server configuration address:" << url;
        QMetaObject::invokeMethod(
            this,
            [this] {
                finish(QByteArray(), QStringLiteral("no address"));
            },
            Qt::QueuedConnection);
        return;
    }

    // The manager and the reply live and die on this thread.
    QNetworkAccessManager manager;
    QNetworkRequest request(address);
    request.setTransferTimeout(transferTimeout);
    reply = manager.get(request);
    connect(reply, &QNetworkReply::readyRead, this, &Updator::httpReadyRead, Qt::DirectConnection);
    connect(reply, &QNetworkReply::finished, this, &Updator::httpFinished, Qt::DirectConnection);
    exec();
    // Leaving early (the client quits) drops the request; the reply goes with the manager.
    reply = nullptr;
}

void Updator::httpReadyRead()
{
    // Fetch thread.
    body += reply->readAll();
    if (body.size() > MaxBodySize)
        reply->abort();
}

void Updator::httpFinished()
{
    // Fetch thread: settle everything about the reply here, then hand plain values to the GUI thread.
    if (reply->isOpen())
        body += reply->readAll();
    QString error;
    if (reply->error() != QNetworkReply::NoError)
        error = reply->errorString();
    else if (body.size() > MaxBodySize)
        error = QStringLiteral("the server configuration is too large");
    reply->close();
    const QByteArray received = error.isEmpty() ? body : QByteArray();
    QMetaObject::invokeMethod(
        this,
        [this, received, error] {
            finish(received, error);
        },
        Qt::QueuedConnection);
    // The one request is over, so the thread has nothing left to do.
    exit(0);
}

void Updator::finish(const QByteArray &received, const QString &error)
{
    // GUI thread.
    if (finished)
        return;
    if (!error.isEmpty()) {
        qCInfo(lcFetch) << "server configuration not read:" << error;
        endFetch();
        return;
    }

    // The file is kept beside the program for the moment it takes to read it; an installation folder
    // the user cannot write to falls back to a temporary file.
    QFile file(QDir::currentPath() + QLatin1Char('/') + TempFileName);
    QTemporaryFile fallback;
    QFile *target = &file;
    if (!file.open(QIODevice::WriteOnly)) {
        target = &fallback;
        if (!fallback.open()) {
            qCInfo(lcFetch) << "打开文件失败";
            endFetch();
            return;
        }
    }
    // The settings class reads UTF-8 only; a server file saved in GBK is converted first.
    const QByteArray text = IniEncoding::toUtf8(received);
    const bool written = target->write(text) == text.size() && target->flush();
    target->close();
    success = written;
    const QString announced = written ? ServerConfig::apply(target->fileName(), *clientConfig) : QString();
    if (target == &file)
        file.remove();

    // Only a version the server actually announces, and that differs from ours, is worth a question.
    if (!announced.isEmpty() && announced != clientConfig->appVersion)
        askToUpdate(announced);
    endFetch();
}

void Updator::askToUpdate(const QString &announced)
{
    if (!noticeParent)
        return;
    noticeParent->show();
    // For scripted runs (the demo, the end-to-end test): the question is taken as answered yes.
    if (qEnvironmentVariableIntValue("ORVANE_UPDATER_UNATTENDED") == 1) {
        UpdaterLauncher::start();
        return;
    }
    QMessageBox box(QMessageBox::Question, tr("提示"), tr("检查到新的版本，是否立即升级?"), QMessageBox::NoButton,
                    noticeParent);
    box.setInformativeText(tr("当前版本：%1\n新版本：%2").arg(clientConfig->appVersion, announced));
    QPushButton *accept = box.addButton(tr("确定"), QMessageBox::AcceptRole);
    box.addButton(tr("取消"), QMessageBox::RejectRole);
    box.setStyleSheet(QStringLiteral("border-image: none; color: rgb(0,0,0)"));
    box.exec();
    if (box.clickedButton() == accept)
        UpdaterLauncher::start();
}

void Updator::endFetch()
{
    finished = true;
    clientConfig->serverInfoReady = true;
    emit getInfoFinished();
}
