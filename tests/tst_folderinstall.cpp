// Installing a program-folder archive over a live folder: what is refused before anything moves, and
// what a start finds after an install killed between any two steps.
#include "fixture.h"
#include "folderinstall.h"
#include "testarchive.h"
#include "testfiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <unistd.h>

namespace {

using TestFiles::contentOf;

using Step = FolderInstall::Step;
using Problem = FolderInstall::Problem;

// A program that answers --version like the real ones; enough for the installer's check.
QByteArray program(const char *version)
{
    return QByteArray("#!/bin/sh\necho ") + version + '\n';
}

// The files that make up each version: a folder holding all of one version's and none of the other's
// is complete.
const QStringList Shipped = {QStringLiteral("ORVN"),        QStringLiteral("Renovo"),
                             QStringLiteral("release.txt"), QStringLiteral("html/a.html"),
                             QStringLiteral("html/b.html"), QStringLiteral("skin/blue.gif"),
                             QStringLiteral("skin/red.gif")};

QList<TestArchive::Entry> releaseB(const QString &top = QStringLiteral("orvane-2.0-Linux"))
{
    QList<TestArchive::Entry> entries{{top, AE_IFDIR, {}, 0755}};
    for (const QString &name : Shipped) {
        const QByteArray data =
            name == QLatin1String("ORVN") || name == QLatin1String("Renovo") ? program("2.0") : "B " + name.toUtf8();
        entries.append({top + QLatin1Char('/') + name, AE_IFREG, data, mode_t(data.startsWith("#!") ? 0755 : 0644)});
    }
    entries.append({top + QStringLiteral("/config.ini"), AE_IFREG, "[Skin]\ncurrentSkinIndex=1\nnewKey=new\n"});
    return entries;
}

bool writeFile(const QString &path, const QByteArray &data, QFile::Permissions extra = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() &&
           file.setPermissions(file.permissions() | extra);
}

struct Installation
{
    QTemporaryDir root;
    QString folder = root.filePath(QStringLiteral("orvane"));
    QString archive = root.filePath(QStringLiteral("package.tar.gz"));

    // Version "1.0" in place, with the user's settings and web profile.
    bool make(const QList<TestArchive::Entry> &release = releaseB())
    {
        bool ok = TestArchive::write(archive, release);
        for (const QString &name : Shipped) {
            const bool exe = name == QLatin1String("ORVN") || name == QLatin1String("Renovo");
            ok = ok && writeFile(folder + QLatin1Char('/') + name, exe ? program("1.0") : "A " + name.toUtf8(),
                                 exe ? QFile::ExeOwner : QFile::Permissions());
        }
        return ok && writeFile(folder + QStringLiteral("/config.ini"), "[Skin]\ncurrentSkinIndex=7\n") &&
               writeFile(folder + QStringLiteral("/profile/Cookies"), "session");
    }

    // "1.0" or "2.0" when the folder holds exactly that version's files and, unless only the programs
    // count, the user's settings and profile; what is wrong otherwise.
    QString version(bool programsOnly = false) const
    {
        const QByteArray release = contentOf(folder + QStringLiteral("/release.txt"));
        const QByteArray letter = release.left(1);
        for (const QString &name : Shipped) {
            const QByteArray data = contentOf(folder + QLatin1Char('/') + name);
            if (!data.startsWith(letter) && !data.contains(letter == "A" ? "1.0" : "2.0"))
                return QStringLiteral("mixed at ") + name;
        }
        if (programsOnly)
            return letter == "A" ? QStringLiteral("1.0") : QStringLiteral("2.0");
        if (contentOf(folder + QStringLiteral("/profile/Cookies")) != "session")
            return QStringLiteral("profile lost");
        if (!contentOf(folder + QStringLiteral("/config.ini")).contains("currentSkinIndex=7"))
            return QStringLiteral("settings lost");
        return letter == "A" ? QStringLiteral("1.0") : letter == "B" ? QStringLiteral("2.0") : QStringLiteral("none");
    }

    // Nothing of an install is left beside the folder.
    bool clean() const
    {
        return QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) ==
               QStringList({QStringLiteral("orvane"), QStringLiteral("package.tar.gz")});
    }
};

} // namespace

class TestFolderInstall : public QObject
{
    Q_OBJECT

private slots:
    void badArchive_isRefusedBeforeAnythingMoves_data();
    void badArchive_isRefusedBeforeAnythingMoves();
    void killedBetweenSteps_nextStartFindsOneCompleteVersion_data();
    void killedBetweenSteps_nextStartFindsOneCompleteVersion();
    void diskFull_leavesTheOldVersion();
    void startedTwice_theSecondWaits();
    void parentNotWritable_namesTheOwnerAndMovesNothing();
    void parentOpenToOthers_isRefusedAndWhatLiesThereLeftAlone();
};

void TestFolderInstall::badArchive_isRefusedBeforeAnythingMoves_data()
{
    using E = TestArchive::Entry;
    const QString top = QStringLiteral("orvane-2.0-Linux");
    QTest::addColumn<QString>("change"); // add, replace or drop the entries; truncate; garbage
    QTest::addColumn<QList<E>>("entries");
    QTest::addColumn<int>("problem");
    const auto add = [&](const char *name, const QList<E> &entries, Problem problem = Problem::Unsafe) {
        QTest::newRow(name) << QStringLiteral("add") << entries << int(problem);
    };
    add("absolute path", {{QStringLiteral("/tmp/x"), AE_IFREG, "x"}});
    add("parent in path", {{top + QStringLiteral("/html/../../x"), AE_IFREG, "x"}});
    add("symbolic link out", {{top + QStringLiteral("/html/l"), AE_IFLNK, "../../x", 0777}});
    add("absolute symbolic link", {{top + QStringLiteral("/l"), AE_IFLNK, "/etc/passwd", 0777}});
    add("hard link out", {{top + QStringLiteral("/h"), AE_IFREG, "/etc/passwd", 0644, true}});
    add("device", {{top + QStringLiteral("/dev"), AE_IFCHR, {}, 0666}});
    add("set-user-id", {{top + QStringLiteral("/suid"), AE_IFREG, "x", 04755}});
    add("beside the top folder", {{QStringLiteral("other/x"), AE_IFREG, "x"}});
    add("file through a link",
        {{top + QStringLiteral("/skin/l"), AE_IFLNK, ".", 0777}, {top + QStringLiteral("/skin/l/x"), AE_IFREG, "x"}});
    add("a program given twice", {{top + QStringLiteral("/ORVN"), AE_IFLNK, "Renovo", 0777}});
    QTest::newRow("no Renovo") << QStringLiteral("drop") << QList<E>{{top + QStringLiteral("/Renovo"), AE_IFREG, {}}}
                               << int(Problem::NotAnArchive);
    QTest::newRow("not an archive") << QStringLiteral("garbage") << QList<E>{} << int(Problem::NotAnArchive);
    QTest::newRow("truncated") << QStringLiteral("truncate") << QList<E>{} << int(Problem::NotAnArchive);
    QTest::newRow("wrong version") << QStringLiteral("replace")
                                   << QList<E>{{top + QStringLiteral("/Renovo"), AE_IFREG, program("1.9"), 0755}}
                                   << int(Problem::WrongVersion);
}

void TestFolderInstall::badArchive_isRefusedBeforeAnythingMoves()
{
    QFETCH(QString, change);
    QFETCH(QList<TestArchive::Entry>, entries);
    QFETCH(int, problem);
    Installation installation;
    QList<TestArchive::Entry> release = releaseB();
    for (const TestArchive::Entry &entry : entries) {
        if (change == QLatin1String("add"))
            release.append(entry);
        for (TestArchive::Entry &shipped : release) {
            if (shipped.path == entry.path && change == QLatin1String("replace"))
                shipped = entry;
        }
        if (change == QLatin1String("drop"))
            release.removeIf([&](const TestArchive::Entry &shipped) {
                return shipped.path == entry.path;
            });
    }
    QVERIFY(installation.make(release));
    if (change == QLatin1String("truncate")) {
        QFile file(installation.archive);
        QVERIFY(file.resize(file.size() / 2));
    } else if (change == QLatin1String("garbage")) {
        QFile::remove(installation.archive);
        QVERIFY(writeFile(installation.archive, "#!/bin/sh\necho installer\n"));
    }

    FolderInstall install(installation.folder);
    const FolderInstall::Result result = install.prepare(installation.archive, QStringLiteral("2.0"));
    QCOMPARE(int(result.problem), problem);
    QVERIFY(!installProblemText(result).isEmpty());
    QCOMPARE(installation.version(), QStringLiteral("1.0"));
    QVERIFY(installation.clean());
}

void TestFolderInstall::killedBetweenSteps_nextStartFindsOneCompleteVersion_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("version");
    const QStringList none, back = {QStringLiteral("rollback")}, renames = {QStringLiteral("renames")};
    QTest::newRow("journal started") << int(Step::JournalStarted) << none << "1.0";
    QTest::newRow("half unpacked") << int(Step::HalfUnpacked) << none << "1.0";
    QTest::newRow("unpacked") << int(Step::Unpacked) << none << "1.0";
    QTest::newRow("carrying") << int(Step::Carrying) << none << "1.0";
    QTest::newRow("user's files carried") << int(Step::Carried) << none << "1.0";
    QTest::newRow("about to exchange") << int(Step::Swapping) << none << "1.0";
    QTest::newRow("exchanged, client not confirmed") << int(Step::Exchanged) << none << "1.0";
    QTest::newRow("exchanged by renames") << int(Step::Exchanged) << renames << "1.0";
    QTest::newRow("confirmed") << int(Step::Confirming) << none << "2.0";
    QTest::newRow("old folder removed") << int(Step::OldRemoved) << none << "2.0";
    QTest::newRow("rolling back") << int(Step::RollingBack) << back << "1.0";
    QTest::newRow("rolled back") << int(Step::SwappedBack) << back << "1.0";
}

void TestFolderInstall::killedBetweenSteps_nextStartFindsOneCompleteVersion()
{
    QFETCH(int, step);
    QFETCH(QStringList, options);
    QFETCH(QString, version);
    Installation installation;
    QVERIFY(installation.make());

    QProcess killed;
    killed.start(QStringLiteral(INSTALLSTEP_PATH),
                 QStringList{installation.folder, installation.archive, QStringLiteral("2.0"), QString::number(step)} +
                     options);
    QVERIFY(killed.waitForFinished(30000));
    QCOMPARE(killed.exitStatus(), QProcess::CrashExit);

    // Whatever is live right after the kill is one whole version of the programs; the user's files may
    // still lie in the other folder until the next start, which settles that before anything reads them.
    QVERIFY(QStringList({"1.0", "2.0"}).contains(installation.version(true)));
    QProcess start;
    start.start(QStringLiteral(INSTALLSTEP_PATH), {QStringLiteral("recover"), installation.folder});
    QVERIFY(start.waitForFinished(30000));
    QCOMPARE(installation.version(), version);
    QVERIFY2(installation.clean(), start.readAll().constData());
}

void TestFolderInstall::diskFull_leavesTheOldVersion()
{
    Installation installation;
    QVERIFY(installation.make());
    FolderInstall install(installation.folder);
    qint64 room = 40;
    install.setWriteFunction([&room](int fd, const void *data, size_t size) -> ssize_t {
        if (room <= 0) {
            errno = ENOSPC;
            return -1;
        }
        const size_t now = qMin<size_t>(size, size_t(room));
        room -= qint64(now);
        return ::write(fd, data, now);
    });
    const FolderInstall::Result result = install.prepare(installation.archive, QStringLiteral("2.0"));
    QCOMPARE(result.problem, Problem::DiskFull);
    QCOMPARE(installation.version(), QStringLiteral("1.0"));
    QVERIFY(installation.clean());
}

void TestFolderInstall::startedTwice_theSecondWaits()
{
    Installation installation;
    QVERIFY(installation.make());
    FolderInstall first(installation.folder);
    QVERIFY(first.prepare(installation.archive, QStringLiteral("2.0")).ok());
    FolderInstall second(installation.folder);
    QCOMPARE(second.prepare(installation.archive, QStringLiteral("2.0")).problem, Problem::Busy);
    // Nor does a program's start undo what the running install is doing.
    QCOMPARE(FolderInstall::recover(installation.folder), Recovery::Action::Nothing);
    first.abandon();
    QCOMPARE(installation.version(), QStringLiteral("1.0"));
    QVERIFY(installation.clean());
}

void TestFolderInstall::parentNotWritable_namesTheOwnerAndMovesNothing()
{
    Installation installation;
    QVERIFY(installation.make());
    QStringList command = {QStringLiteral(INSTALLSTEP_PATH), installation.folder, installation.archive,
                           QStringLiteral("2.0"), QStringLiteral("-")};
    QString owner = QString::fromLocal8Bit(qgetenv("USER"));
    if (::geteuid() == 0) {
        // Root writes anywhere: the install runs as another user, as a viewer would beside a root-owned tarball.
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        ORVANE_REQUIRE_FIXTURE(!setpriv.isEmpty(), "setpriv (util-linux)");
        QVERIFY(QFile::setPermissions(installation.root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                                    QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(installation.archive, QFile::ReadOwner | QFile::ReadOther));
        command = QStringList{setpriv, QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups"), QStringLiteral("--")} +
                  command;
        owner = QStringLiteral("root");
    } else {
        QVERIFY(QFile::setPermissions(installation.root.path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    QProcess process;
    process.start(command.takeFirst(), command);
    QVERIFY(process.waitForFinished(30000));
    QFile::setPermissions(installation.root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString said = QString::fromLocal8Bit(process.readAllStandardOutput());
    QCOMPARE(said.trimmed(), QStringLiteral("problem %1 %2").arg(int(Problem::NotWritable)).arg(owner));
    QCOMPARE(installation.version(), QStringLiteral("1.0"));
    QVERIFY(installation.clean());
}

void TestFolderInstall::parentOpenToOthers_isRefusedAndWhatLiesThereLeftAlone()
{
    Installation installation;
    QVERIFY(installation.make());
    const QString parent = installation.root.path();
    for (const QFile::Permissions openTo : {QFile::WriteGroup, QFile::WriteOther}) {
        QVERIFY(QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | openTo));
        const FolderInstall::Result refused =
            FolderInstall(installation.folder).prepare(installation.archive, QStringLiteral("2.0"));
        QCOMPARE(refused.problem, Problem::SharedParent);
        QCOMPARE(installation.version(), QStringLiteral("1.0"));
        QVERIFY(installation.clean());
        // A journal that someone else may have written is not obeyed at the next start.
        QVERIFY(QDir(parent).mkdir(QFileInfo(FolderInstall::stagingName(installation.folder)).fileName()));
        QCOMPARE(FolderInstall::recover(installation.folder), Recovery::Action::Nothing);
        QVERIFY(QFileInfo::exists(FolderInstall::stagingName(installation.folder)));
        QVERIFY(QDir(FolderInstall::stagingName(installation.folder)).removeRecursively());
    }
}

QTEST_GUILESS_MAIN(TestFolderInstall)
#include "tst_folderinstall.moc"
