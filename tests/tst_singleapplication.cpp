#include "fixture.h"
#include "instancelock.h"
#include "processtest.h"
#include "singleapplication.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SingleApplication *self = nullptr;

QString selfKey()
{
    return QStringLiteral("tst-self-%1").arg(::getpid());
}

QString uniqueKey(const char *name)
{
    return QStringLiteral("tst-%1-%2").arg(QLatin1String(name)).arg(QCoreApplication::applicationPid());
}

QStringList messagesOf(QProcess *probe)
{
    QStringList messages;
    for (const QString &line : ProcessTest::output(probe).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("message:")))
            messages << QString::fromUtf8(QByteArray::fromHex(line.mid(8).toLatin1()));
    }
    return messages;
}

} // namespace

class TestSingleApplication : public QObject
{
    Q_OBJECT

private slots:
    // This process is itself a primary instance under a key of its own.
    void primary_isNotRunningAndListens();
    void primary_sendMessageFailsWithoutTouchingTheNetwork();
    void primary_receivesRawUtf8UpToAZeroByte();
    void primary_dropsASilentConnectionAndServesTheNextAtOnce();
    void messageRunningInstance_sendsWithoutAnApplicationOrLeavesTheKeyFree();

    // Real processes.
    void secondStart_deliversItsMessageAndExits();
    void killedPrimary_nextStartTakesOverAndIsReachable();
    void primaryGone_lingeringSecondaryDoesNotBlockANewPrimary();
    void stoppedPrimary_isNotRobbed();
    void simultaneousStarts_leaveExactlyOnePrimary();
    void otherUser_getsAnInstanceOfTheirOwn();
    void noRuntimeFolder_privateTmpFolderOrNoServer_data();
    void noRuntimeFolder_privateTmpFolderOrNoServer();

private:
    // Sends `bytes` to this process's own server, as another process would.
    static void send(const QByteArray &bytes);

    const QString probe = QStringLiteral(INSTANCEPROBE_PATH);
};

void TestSingleApplication::send(const QByteArray &bytes)
{
    QLocalSocket socket;
    socket.connectToServer(self->serverName());
    QVERIFY(socket.waitForConnected(1000));
    socket.write(bytes);
    QVERIFY(socket.waitForBytesWritten(1000));
    socket.disconnectFromServer();
}

void TestSingleApplication::primary_isNotRunningAndListens()
{
    QVERIFY(!self->isRunning());
    QVERIFY(self->isListening());
    QVERIFY(self->serverName().startsWith(InstanceLock::privateRuntimeDir()));
    QVERIFY(self->serverName().contains(QString::number(::geteuid())));
}

void TestSingleApplication::primary_sendMessageFailsWithoutTouchingTheNetwork()
{
    QSignalSpy received(self, &SingleApplication::messageAvailable);
    QSignalSpy connections(self->findChild<QLocalServer *>(), &QLocalServer::newConnection);
    QVERIFY(!self->sendMessage(QStringLiteral("client")));
    // Had it gone out, it would reach this very process ahead of the next one.
    send(QByteArray("next"));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("next"));
    QCOMPARE(connections.count(), 1);
}

void TestSingleApplication::primary_receivesRawUtf8UpToAZeroByte()
{
    QSignalSpy received(self, &SingleApplication::messageAvailable);
    send(QStringLiteral("频道 ✓ client").toUtf8() + QByteArray("\0tail", 5));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("频道 ✓ client"));
}

void TestSingleApplication::primary_dropsASilentConnectionAndServesTheNextAtOnce()
{
    QSignalSpy received(self, &SingleApplication::messageAvailable);
    QLocalSocket silent;
    silent.connectToServer(self->serverName());
    QVERIFY(silent.waitForConnected(1000));

    QElapsedTimer timer;
    timer.start();
    // Whether the primary still holds the silent connection open when the next message arrives.
    bool silentStillOpen = false;
    QObject watch;
    connect(self, &SingleApplication::messageAvailable, &watch, [&silentStillOpen] {
        const auto held = self->findChild<QLocalServer *>()->findChildren<QLocalSocket *>();
        silentStillOpen = std::any_of(held.cbegin(), held.cend(), [](QLocalSocket *connection) {
            return connection->state() == QLocalSocket::ConnectedState;
        });
    });
    send("updator");
    QTRY_COMPARE(received.count(), 1);
    QVERIFY2(silentStillOpen, "the silent connection must not hold up the next one");
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("updator"));

    // The silent one is closed by the primary after its one-second wait (a busy machine only makes
    // that later).
    QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 10000);
    QVERIFY(timer.elapsed() >= 900);
    QCOMPARE(received.count(), 1);
}

void TestSingleApplication::messageRunningInstance_sendsWithoutAnApplicationOrLeavesTheKeyFree()
{
    // This process holds its own key: the static call reaches it like a second start would.
    QSignalSpy received(self, &SingleApplication::messageAvailable);
    QVERIFY(SingleApplication::messageRunningInstance(selfKey(), QStringLiteral("quick")));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("quick"));

    // A free key is reported free and left free for the next start.
    ProcessTest test;
    const QString key = uniqueKey("free");
    QVERIFY(!SingleApplication::messageRunningInstance(key, QStringLiteral("lost")));
    QProcess *next = test.start(probe, {key});
    QVERIFY(ProcessTest::waitForOutput(next, QStringLiteral("primary listening=1")));
}

void TestSingleApplication::secondStart_deliversItsMessageAndExits()
{
    ProcessTest test;
    const QString key = uniqueKey("second");
    QProcess *first = test.start(probe, {key});
    QVERIFY2(ProcessTest::waitForOutput(first, QStringLiteral("primary listening=1")),
             qPrintable(ProcessTest::output(first)));

    const QString text = QStringLiteral("client 频道");
    QProcess *second = test.start(probe, {key, text});
    QVERIFY(second->waitForFinished(5000));
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(ProcessTest::output(second).contains(QLatin1String("secondary sent=1")));
    QTRY_COMPARE(messagesOf(first), QStringList{text});

    QProcess *quitter = test.start(probe, {key, QStringLiteral("quit")});
    QVERIFY(quitter->waitForFinished(5000));
    QVERIFY(first->waitForFinished(5000));
    QCOMPARE(first->exitCode(), 0);

    // Once the primary has ended cleanly, the next start is primary again.
    QProcess *third = test.start(probe, {key});
    QVERIFY(ProcessTest::waitForOutput(third, QStringLiteral("primary listening=1")));
}

void TestSingleApplication::killedPrimary_nextStartTakesOverAndIsReachable()
{
    ProcessTest test;
    const QString key = uniqueKey("killed");
    QProcess *first = test.start(probe, {key});
    QVERIFY2(ProcessTest::waitForOutput(first, QStringLiteral("primary listening=1")),
             qPrintable(ProcessTest::output(first)));
    first->kill(); // SIGKILL: the lock file and the socket file stay behind (the kernel drops the lock)
    QVERIFY(first->waitForFinished(5000));
    const QString socketFile = test.runtimeDir() + QLatin1Char('/') + key + QLatin1Char('-') +
                               QString::number(::geteuid()) + QStringLiteral(".sock");
    QVERIFY2(QFile::exists(socketFile), "a killed primary leaves its socket behind");

    QProcess *second = test.start(probe, {key});
    QVERIFY(ProcessTest::waitForOutput(second, QStringLiteral("primary listening=1")));

    QProcess *third = test.start(probe, {key, QStringLiteral("hello")});
    QVERIFY(third->waitForFinished(5000));
    QVERIFY(ProcessTest::output(third).contains(QLatin1String("secondary sent=1")));
    QTRY_COMPARE(messagesOf(second), QStringList{QStringLiteral("hello")});
}

void TestSingleApplication::primaryGone_lingeringSecondaryDoesNotBlockANewPrimary()
{
    ProcessTest test;
    const QString key = uniqueKey("linger");
    QProcess *first = test.start(probe, {key});
    QVERIFY2(ProcessTest::waitForOutput(first, QStringLiteral("primary listening=1")),
             qPrintable(ProcessTest::output(first)));
    QProcess *lingering = test.start(probe, {key, QStringLiteral("client"), QStringLiteral("--linger")});
    QVERIFY(ProcessTest::waitForOutput(lingering, QStringLiteral("secondary sent=1")));
    first->kill();
    QVERIFY(first->waitForFinished(5000));

    QProcess *next = test.start(probe, {key});
    QVERIFY(ProcessTest::waitForOutput(next, QStringLiteral("primary listening=1")));
    QProcess *sender = test.start(probe, {key, QStringLiteral("after")});
    QVERIFY(sender->waitForFinished(5000));
    QTRY_COMPARE(messagesOf(next), QStringList{QStringLiteral("after")});
}

void TestSingleApplication::stoppedPrimary_isNotRobbed()
{
    ProcessTest test;
    const QString key = uniqueKey("stopped");
    QProcess *first = test.start(probe, {key});
    QVERIFY2(ProcessTest::waitForOutput(first, QStringLiteral("primary listening=1")),
             qPrintable(ProcessTest::output(first)));
    ::kill(pid_t(first->processId()), SIGSTOP);

    QElapsedTimer timer;
    timer.start();
    QProcess *second = test.start(probe, {key, QStringLiteral("while-stopped")});
    QVERIFY(second->waitForFinished(5000));
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(timer.elapsed() < 3000);
    QVERIFY(ProcessTest::output(second).contains(QLatin1String("secondary")));

    ::kill(pid_t(first->processId()), SIGCONT);
    QProcess *third = test.start(probe, {key, QStringLiteral("after-continue")});
    QVERIFY(third->waitForFinished(5000));
    QVERIFY(ProcessTest::output(third).contains(QLatin1String("secondary sent=1")));
    QTRY_VERIFY(messagesOf(first).contains(QStringLiteral("after-continue")));
    QCOMPARE(first->state(), QProcess::Running);
}

void TestSingleApplication::simultaneousStarts_leaveExactlyOnePrimary()
{
    ProcessTest test;
    const QString key = uniqueKey("race");
    QList<QProcess *> starts;
    for (int i = 0; i < 10; ++i)
        starts << test.start(probe, {key});

    QList<QProcess *> primaries;
    for (QProcess *start : starts) {
        QVERIFY(ProcessTest::waitForOutput(start, QStringLiteral("=")));
        if (ProcessTest::output(start).contains(QLatin1String("primary")))
            primaries << start;
        else
            QVERIFY(start->waitForFinished(5000));
    }
    QCOMPARE(primaries.size(), 1);
    QVERIFY(ProcessTest::output(primaries.first()).contains(QLatin1String("primary listening=1")));
    QTRY_COMPARE(messagesOf(primaries.first()).size(), 9);
}

void TestSingleApplication::otherUser_getsAnInstanceOfTheirOwn()
{
    if (::geteuid() != 0)
        QSKIP("needs root to start a process under another user");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    ORVANE_REQUIRE_FIXTURE(!setpriv.isEmpty(), "setpriv (util-linux)");

    ProcessTest test;
    const QString key = uniqueKey("users");
    QProcess *mine = test.start(probe, {key});
    QVERIFY(ProcessTest::waitForOutput(mine, QStringLiteral("primary listening=1")));

    QProcessEnvironment env = test.environment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // ours is closed to them
    QProcess *theirs = test.start(setpriv,
                                  {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                   QStringLiteral("--clear-groups"), probe, key},
                                  env);
    QVERIFY2(ProcessTest::waitForOutput(theirs, QStringLiteral("primary listening=1")),
             qPrintable(ProcessTest::output(theirs)));
    QCOMPARE(messagesOf(mine), QStringList());
    theirs->kill();
    theirs->waitForFinished(5000);
    QDir(QDir::tempPath() + QStringLiteral("/orvane-65534")).removeRecursively();
}

void TestSingleApplication::noRuntimeFolder_privateTmpFolderOrNoServer_data()
{
    QTest::addColumn<QString>("found"); // what already has the name orvane-<uid> in the temporary folder
    QTest::addColumn<bool>("listens");
    QTest::newRow("nothing: created private") << "" << true;
    QTest::newRow("our private folder: used") << "private" << true;
    QTest::newRow("a folder open to others: refused") << "open" << false;
    QTest::newRow("a link to a private folder: refused") << "link" << false;
    QTest::newRow("a file: refused") << "file" << false;
}

void TestSingleApplication::noRuntimeFolder_privateTmpFolderOrNoServer()
{
    QFETCH(QString, found);
    QFETCH(bool, listens);
    QTemporaryDir tmp;
    const QString ours = tmp.filePath(QStringLiteral("orvane-%1").arg(::geteuid()));
    const QString elsewhere = tmp.filePath(QStringLiteral("elsewhere"));
    if (found == QLatin1String("private") || found == QLatin1String("open"))
        QVERIFY(QDir().mkdir(ours));
    if (found == QLatin1String("open"))
        QVERIFY(QFile::setPermissions(ours, QFile::Permissions(0x7777)));
    if (found == QLatin1String("private"))
        QVERIFY(QFile::setPermissions(ours, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (found == QLatin1String("link")) {
        QVERIFY(QDir().mkdir(elsewhere));
        QVERIFY(QFile::setPermissions(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::link(elsewhere, ours));
    }
    if (found == QLatin1String("file")) {
        QFile file(ours);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    ProcessTest test;
    QProcessEnvironment env = test.environment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    QProcess *probe1 = test.start(probe, {uniqueKey("tmp")}, env);
    QVERIFY2(ProcessTest::waitForOutput(probe1, QStringLiteral("primary listening=")),
             qPrintable(ProcessTest::output(probe1)));
    QVERIFY2(ProcessTest::output(probe1).contains(QStringLiteral("primary listening=%1").arg(int(listens))),
             qPrintable(ProcessTest::output(probe1)));
    // Whatever happened, nothing of ours lies in the shared folder itself or in someone else's (Qt keeps
    // a private runtime-<user> folder of its own there).
    const QDir shared(tmp.path());
    for (const QString &entry : shared.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)) {
        QVERIFY2(entry == QFileInfo(ours).fileName() || entry == QLatin1String("elsewhere") ||
                     entry.startsWith(QLatin1String("runtime-")),
                 qPrintable(entry));
    }
    QVERIFY(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).isEmpty());
    if (listens) {
        struct stat st
        {
        };
        QCOMPARE(::lstat(QFile::encodeName(ours).constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(st.st_mode & 0777, mode_t(0700));
        QCOMPARE(st.st_uid, ::geteuid());
        QVERIFY(!QDir(ours).entryList(QDir::System | QDir::Files).isEmpty());
    }
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleApplication app(argc, argv, selfKey());
    self = &app;
    TestSingleApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleapplication.moc"
