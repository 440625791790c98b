#include "updator.h"

#include "clientconfig.h"
#include "iniencoding.h"
#include "programfolder.h"
#include "safefolder.h"
#include "updaterlauncher.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <memory>

Q_LOGGING_CATEGORY(lcFetch, "orvane.fetch", QtWarningMsg)

namespace {
const QString TempFileName = QStringLiteral("SConfig.ini");
constexpr int MaxTextADSpeed = 3600;

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

void Updator::setDeadline(int milliseconds)
{
    deadline = milliseconds;
}

QString Updator::addressProblem(const QString &address)
{
    // A control character would be cut, dropped or encoded somewhere between here and the page, so the
    // address shown in a log is not the one loaded.
    if (std::any_of(address.cbegin(), address.cend(), [](QChar c) {
            return c.category() == QChar::Other_Control;
        }))
        return QStringLiteral("it holds a control character");
    const QUrl parsed(address);
    const QString scheme = parsed.scheme(); // QUrl keeps schemes in lower case
    if (!parsed.isValid() || parsed.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QStringLiteral("it is not a web address");
    // A page must not log in anywhere with what the configuration's author typed into it.
    if (!parsed.userInfo().isEmpty())
        return QStringLiteral("it carries a user name or password");
    return QString();
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
    // A byte now and then is no stall, yet the fetch must end: the whole request has a deadline too.
    QTimer late;
    late.setSingleShot(true);
    connect(
        &late, &QTimer::timeout, &manager,
        [this] {
            qCInfo(lcFetch) << "the server configuration did not arrive within" << deadline << "ms";
            reply->abort();
        },
        Qt::DirectConnection);
    late.start(deadline);
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

    // The file is kept beside the program for the moment it takes to read it: there only when that
    // folder is the user's own and closed to others, otherwise in the user's private cache. It is
    // written without following a link, and one planted in its place is refused.
    SafeFolder folder(SafeFolder::choose(QDir::currentPath(), ProgramFolder::userCacheFolder()));
    QFile file;
    if (!folder.open(&file, TempFileName, SafeFolder::Mode::Replace)) {
        qCWarning(lcFetch) << "打开文件失败" << folder.errorString();
        endFetch();
        return;
    }
    // The settings class reads UTF-8 only; a server file saved in GBK is converted first.
    const QByteArray text = IniEncoding::toUtf8(received);
    const bool written = file.write(text) == text.size() && file.flush();
    file.close();
    success = written;
    const QString announced = written ? applyServerFile(QDir(folder.path()).filePath(TempFileName)) : QString();
    folder.remove(TempFileName);

    // Only a version the server actually announces, and that differs from ours, is worth a question.
    if (!announced.isEmpty() && announced != clientConfig->appVersion)
        askToUpdate();
    endFetch();
}

QString Updator::applyServerFile(const QString &path)
{
    QSettings settings(path, QSettings::IniFormat);
    ClientConfig &config = *clientConfig;
    auto positive = [&settings](const char *key, int &field) {
        const int value = settings.value(QLatin1String(key)).toInt();
        if (value > 0)
            field = value;
    };
    auto textOf = [&settings, &path](const char *key) {
        return IniEncoding::exactValue(settings, path, QLatin1String(key));
    };
    auto text = [&textOf](const char *key, QString &field) {
        const QString value = textOf(key);
        if (!value.isEmpty())
            field = value;
    };
    // Page addresses are only taken when they are web addresses: a page host must never be sent to a
    // local file or a script.
    auto address = [&textOf](const char *key, QString &field) {
        const QString value = textOf(key);
        if (value.isEmpty())
            return;
        const QString problem = addressProblem(value);
        if (problem.isEmpty())
            field = value;
        else // the value itself may hold a password, or bytes that would garble the log
            qCWarning(lcFetch, "refusing %s from the server: %s; keeping %s", key, qPrintable(problem),
                      field.isEmpty() ? "none" : "the local page");
    };
    positive("textADSpeed", config.textADSpeed);
    // The rest between texts grows with the speed value; an hour is more than any text needs, and far
    // below where the label's tick arithmetic would overflow and stop it for good.
    config.textADSpeed = qMin(config.textADSpeed, MaxTextADSpeed);
    text("textADStr", config.textADStr);
    text("textADLink", config.textADLink);
    address("bannerADUrl", config.bannerADUrl);
    address("popUrl", config.popUrl);
    positive("popDelayTime", config.popDelayTime);
    positive("popstayTime", config.popstayTime);
    positive("popPeriod", config.popPeriod);
    return settings.value(QStringLiteral("AppVersion")).toString().trimmed();
}

void Updator::askToUpdate()
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
