// Folders written without following links: what is planted in them is refused and left alone, and
// only a folder of the user's own, closed to others, is used.
#include "safefolder.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(SafeFolder::Mode)
Q_DECLARE_METATYPE(SafeFolder::Error)

namespace {

using TestFiles::contentOf;

bool setMode(const QString &path, int mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

int modeOf(const QString &path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class TestSafeFolder : public QObject
{
    Q_OBJECT

private slots:
    void plantedEntries_areRefusedAndLeftAlone_data();
    void plantedEntries_areRefusedAndLeftAlone();
    void choose_takesOnlyAFolderOfTheUsersOwnClosedToOthers_data();
    void choose_takesOnlyAFolderOfTheUsersOwnClosedToOthers();
};

void TestSafeFolder::plantedEntries_areRefusedAndLeftAlone_data()
{
    QTest::addColumn<QString>("planted"); // what lies at the name before the call
    QTest::addColumn<SafeFolder::Mode>("mode");
    QTest::addColumn<SafeFolder::Error>("error");
    using M = SafeFolder::Mode;
    using E = SafeFolder::Error;
    QTest::newRow("read through a link") << "link" << M::Read << E::Link;
    QTest::newRow("read a link to /dev/zero") << "zero" << M::Read << E::Link;
    QTest::newRow("read a pipe") << "fifo" << M::Read << E::NotAFile;
    QTest::newRow("read more than the cap") << "large" << M::Read << E::TooLarge;
    QTest::newRow("read a file at the cap") << "file" << M::Read << E::None;
    QTest::newRow("continue through a link") << "link" << M::Update << E::Link;
    QTest::newRow("continue a folder") << "folder" << M::Update << E::NotAFile;
    QTest::newRow("create over a dangling link") << "dangling" << M::Create << E::Link;
    QTest::newRow("create over a file") << "file" << M::Create << E::Exists;
    QTest::newRow("replace a link") << "link" << M::Replace << E::Link;
    QTest::newRow("replace a file") << "file" << M::Replace << E::None;
    // Through write(): a new file renamed over the name.
    QTest::newRow("write whole over a link") << "link" << M::Replace << E::Link;
    QTest::newRow("write whole beside a link at .new") << "new-link" << M::Replace << E::Link;
    QTest::newRow("remove a link") << "link" << M::Update << E::Link; // through remove()
}

void TestSafeFolder::plantedEntries_areRefusedAndLeftAlone()
{
    QFETCH(QString, planted);
    QFETCH(SafeFolder::Mode, mode);
    QFETCH(SafeFolder::Error, error);
    constexpr qint64 Cap = 16;
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("target"));
    QFile targetFile(target);
    QVERIFY(targetFile.open(QIODevice::WriteOnly) && targetFile.write("keep") == 4);
    targetFile.close();
    const QString name = QStringLiteral("entry");
    const QString at = dir.filePath(planted == QLatin1String("new-link") ? name + QStringLiteral(".new") : name);
    if (planted == QLatin1String("link") || planted == QLatin1String("new-link"))
        QVERIFY(QFile::link(target, at));
    if (planted == QLatin1String("zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), at));
    if (planted == QLatin1String("dangling"))
        QVERIFY(QFile::link(outside.filePath(QStringLiteral("new")), at));
    if (planted == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(at).constData(), 0600), 0);
    if (planted == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(at));
    if (planted == QLatin1String("file") || planted == QLatin1String("large")) {
        QFile file(at);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(planted == QLatin1String("large") ? Cap + 1 : Cap, 'x'));
    }

    SafeFolder folder(dir.path());
    QVERIFY(folder.isOpen());
    bool done = false;
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    if (row.startsWith(QLatin1String("write whole"))) {
        done = folder.write(name, "new");
    } else if (row.startsWith(QLatin1String("remove"))) {
        done = folder.remove(name);
        QVERIFY(QFileInfo(at).isSymLink());
    } else if (mode == SafeFolder::Mode::Read) {
        QByteArray data;
        done = folder.read(name, Cap, &data);
        QCOMPARE(data.size(), done ? int(Cap) : 0);
    } else {
        QFile file;
        done = folder.open(&file, name, mode);
        QCOMPARE(file.isOpen(), done);
        if (done)
            QCOMPARE(file.write("new"), qint64(3));
    }
    QCOMPARE(folder.error(), error);
    QCOMPARE(done, error == SafeFolder::Error::None);
    QVERIFY(done || folder.errorString().contains(name));
    // Nothing outside the folder was touched, and nothing new appeared there.
    QCOMPARE(contentOf(target), QByteArray("keep"));
    QCOMPARE(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList{QStringLiteral("target")});
    if (done && mode == SafeFolder::Mode::Replace) {
        QCOMPARE(modeOf(dir.filePath(name)) & 0777, 0600);
        QCOMPARE(contentOf(dir.filePath(name)), QByteArray("new"));
    }
}

void TestSafeFolder::choose_takesOnlyAFolderOfTheUsersOwnClosedToOthers_data()
{
    QTest::addColumn<QString>("program"); // how the preferred folder is found
    QTest::addColumn<QString>("cache");   // how the fallback is found
    QTest::addColumn<QString>("chosen");  // program, cache or none
    QTest::newRow("own program folder") << "0755"
                                        << "absent"
                                        << "program";
    QTest::newRow("group may write: private cache, created") << "0775"
                                                             << "absent"
                                                             << "cache";
    QTest::newRow("anyone may write: private cache") << "1777"
                                                     << "absent"
                                                     << "cache";
    QTest::newRow("another user's folder: private cache") << "foreign"
                                                          << "absent"
                                                          << "cache";
    QTest::newRow("a link to a folder of ours: private cache") << "link"
                                                               << "absent"
                                                               << "cache";
    QTest::newRow("cache readable by others: closed again") << "0775"
                                                            << "0755"
                                                            << "cache";
    QTest::newRow("cache others may write: none") << "0775"
                                                  << "0777"
                                                  << "none";
    QTest::newRow("cache a link: none") << "0775"
                                        << "link"
                                        << "none";
}

void TestSafeFolder::choose_takesOnlyAFolderOfTheUsersOwnClosedToOthers()
{
    QFETCH(QString, program);
    QFETCH(QString, cache);
    QFETCH(QString, chosen);
    if (program == QLatin1String("foreign") && ::geteuid() != 0)
        QSKIP("needs root to give a folder to another user");
    QTemporaryDir dir;
    const QString preferred = dir.filePath(QStringLiteral("program"));
    const QString fallback = dir.filePath(QStringLiteral("cache/orvane/update"));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkdir(elsewhere));
    QVERIFY(setMode(elsewhere, 0700));
    if (program == QLatin1String("link")) {
        QVERIFY(QFile::link(elsewhere, preferred));
    } else {
        QVERIFY(QDir().mkdir(preferred));
        if (program == QLatin1String("foreign"))
            QCOMPARE(::chown(QFile::encodeName(preferred).constData(), 65534, 65534), 0);
        else
            QVERIFY(setMode(preferred, program.toInt(nullptr, 8)));
    }
    if (cache == QLatin1String("link")) {
        QVERIFY(QDir().mkpath(QFileInfo(fallback).path()));
        QVERIFY(QFile::link(elsewhere, fallback));
    } else if (cache != QLatin1String("absent")) {
        QVERIFY(QDir().mkpath(fallback));
        QVERIFY(setMode(fallback, cache.toInt(nullptr, 8)));
    }

    const QString result = SafeFolder::choose(preferred, fallback);
    const QString expected = chosen == QLatin1String("program") ? preferred
                             : chosen == QLatin1String("cache") ? fallback
                                                                : QString();
    QCOMPARE(result, expected);
    if (chosen == QLatin1String("cache"))
        QCOMPARE(modeOf(fallback), 0700);
    // The program's own folder above it, made here too, lists what it keeps to nobody else.
    if (chosen == QLatin1String("cache") && cache == QLatin1String("absent"))
        QCOMPARE(modeOf(QFileInfo(fallback).path()), 0700);
    QVERIFY(QDir(elsewhere).isEmpty());
    setMode(preferred, 0755);
}

QTEST_GUILESS_MAIN(TestSafeFolder)
#include "tst_safefolder.moc"
