#include "folderinstall.h"

#include "archivecheck.h"
#include "archivereader.h"
#include "usersfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstall, "orvane.install", QtWarningMsg)

using FolderOps::Fd;

namespace {

constexpr qint64 JournalCap = 64 * 1024;
constexpr qint64 SettingsCap = 1024 * 1024;
constexpr int VersionCheckMs = 10000;

QByteArray encoded(const QString &name)
{
    return QFile::encodeName(name);
}

// Opens (and, with `create`, makes) the folder `parts` below `root`, one component at a time, never
// through a link.
Fd openPath(int root, const QStringList &parts, bool create)
{
    Fd current(::dup(root));
    for (const QString &part : parts) {
        if (create && ::mkdirat(current.get(), encoded(part).constData(), 0755) != 0 && errno != EEXIST)
            return Fd();
        current = FolderOps::openFolderAt(current.get(), part);
        if (!current.valid())
            return Fd();
    }
    return current;
}

void moveEntries(int from, int to, const QStringList &names)
{
    for (const QString &name : names) {
        if (FolderOps::existsAt(from, name) && !FolderOps::existsAt(to, name) &&
            ::renameat(from, encoded(name).constData(), to, encoded(name).constData()) != 0)
            qCWarning(lcInstall) << "could not move" << name << std::strerror(errno);
    }
}

bool lockParent(int parent, bool *busy)
{
    if (::flock(parent, LOCK_EX | LOCK_NB) == 0)
        return true;
    *busy = errno == EWOULDBLOCK;
    return false;
}

} // namespace

FolderInstall::FolderInstall(const QString &programFolder)
{
    const QFileInfo folder(QDir::cleanPath(QDir(programFolder).absolutePath()));
    parentPath = folder.path();
    live = folder.fileName();
    staging = QFileInfo(stagingName(folder.filePath())).fileName();
    journalFile = QFileInfo(journalName(folder.filePath())).fileName();
    spare = QLatin1Char('.') + live + QStringLiteral(".old");
}

FolderInstall::~FolderInstall()
{
    if (locked)
        ::flock(parent.get(), LOCK_UN);
}

QString FolderInstall::stagingName(const QString &programFolder)
{
    const QFileInfo folder(QDir::cleanPath(programFolder));
    return folder.path() + QStringLiteral("/.") + folder.fileName() + QStringLiteral(".new");
}

QString FolderInstall::journalName(const QString &programFolder)
{
    const QFileInfo folder(QDir::cleanPath(programFolder));
    return folder.path() + QStringLiteral("/.") + folder.fileName() + QStringLiteral(".journal");
}

void FolderInstall::setWriteFunction(const FolderOps::WriteFunction &function)
{
    write = function;
}

void FolderInstall::setStepHook(const std::function<void(Step)> &function)
{
    hook = function;
}

void FolderInstall::setAtomicExchange(bool value)
{
    atomic = value;
}

void FolderInstall::step(Step at) const
{
    if (hook)
        hook(at);
}

bool FolderInstall::writeJournal(Journal::State state)
{
    journal.state = state;
    return FolderOps::replaceFileAt(parent.get(), journalFile, journal.toText());
}

FolderInstall::Result FolderInstall::prepare(const QString &archive, const QString &version)
{
    parent = FolderOps::openFolder(parentPath);
    if (!parent.valid())
        return {Problem::NotWritable, FolderOps::ownerOf(parentPath)};
    // Beside the folder, another user could plant the staging folder or the journal, or swap them
    // between two steps, and so have their own files moved into the program folder.
    if (!FolderOps::closedToOthers(parent.get()))
        return {Problem::SharedParent, parentPath};
    bool busy = false;
    if (!lockParent(parent.get(), &busy))
        return {busy ? Problem::Busy : Problem::WriteFailed, QString()};
    locked = true;

    // Nothing moves where the user could not put it back: both the folder and its parent must be ours to write.
    const QString folderPath = parentPath + QLatin1Char('/') + live;
    for (const QString &path : {parentPath, folderPath}) {
        if (::access(encoded(path).constData(), W_OK) != 0)
            return {Problem::NotWritable, FolderOps::ownerOf(path)};
    }

    // Whatever an earlier, killed run left is settled before this one starts.
    ::flock(parent.get(), LOCK_UN);
    locked = false;
    recover(folderPath);
    if (!lockParent(parent.get(), &busy))
        return {busy ? Problem::Busy : Problem::WriteFailed, QString()};
    locked = true;

    QList<ArchiveCheck::Entry> entries;
    QString error;
    if (!ArchiveReader::list(archive, &entries, &error))
        return {Problem::NotAnArchive, error};
    const ArchiveCheck::Verdict verdict = ArchiveCheck::judge(entries);
    if (verdict == ArchiveCheck::Verdict::NotAProgramFolder || verdict == ArchiveCheck::Verdict::Empty)
        return {Problem::NotAnArchive, QString::fromLatin1(ArchiveCheck::reason(verdict))};
    if (verdict != ArchiveCheck::Verdict::Good)
        return {Problem::Unsafe, QString::fromLatin1(ArchiveCheck::reason(verdict))};

    journal = Journal();
    journal.version = version;
    if (::mkdirat(parent.get(), encoded(staging).constData(), 0755) != 0 ||
        !FolderOps::identityAt(parent.get(), staging, &journal.newDevice, &journal.newInode))
        return {errno == ENOSPC ? Problem::DiskFull : Problem::WriteFailed,
                QString::fromLocal8Bit(std::strerror(errno))};
    if (!writeJournal(Journal::State::Unpacking)) {
        FolderOps::removeTreeAt(parent.get(), staging);
        return {Problem::WriteFailed, QString::fromLocal8Bit(std::strerror(errno))};
    }
    step(Step::JournalStarted);

    Result result = unpack(archive);
    if (result.ok()) {
        step(Step::Unpacked);
        const QString newFolder = parentPath + QLatin1Char('/') + staging;
        for (const char *program : {"ORVN", "Renovo"}) {
            result = checkVersion(newFolder + QLatin1Char('/') + QLatin1String(program), version);
            if (!result.ok())
                break;
        }
    }
    if (!result.ok())
        abandon();
    return result;
}

FolderInstall::Result FolderInstall::unpack(const QString &archivePath)
{
    QString error;
    const ArchiveReader::Ptr reader = ArchiveReader::open(archivePath, &error);
    if (!reader)
        return {Problem::NotAnArchive, error};
    const Fd root = FolderOps::openFolderAt(parent.get(), staging);
    if (!root.valid())
        return {Problem::WriteFailed, QString::fromLocal8Bit(std::strerror(errno))};

    const auto failed = [](int code) {
        return Result{code == ENOSPC || code == EDQUOT ? Problem::DiskFull : Problem::WriteFailed,
                      QString::fromLocal8Bit(std::strerror(code))};
    };
    archive_entry *header = nullptr;
    int count = 0;
    for (;;) {
        const int status = archive_read_next_header(reader.get(), &header);
        if (status == ARCHIVE_EOF)
            return {};
        if (status != ARCHIVE_OK)
            return {Problem::NotAnArchive, QString::fromLocal8Bit(archive_error_string(reader.get()))};
        if (++count == 8)
            step(Step::HalfUnpacked);
        const ArchiveCheck::Entry entry = ArchiveReader::entryOf(header);
        // The top folder becomes the staging folder itself; the listing has been judged already.
        const QStringList parts = ArchiveCheck::components(entry.path).mid(1);
        if (parts.isEmpty())
            continue;
        const QByteArray name = encoded(parts.last());
        const Fd dir = openPath(root.get(), parts.mid(0, parts.size() - 1), true);
        if (!dir.valid())
            return failed(errno);
        // Never the archive's owner or set-id bits: the user's own files, readable as shipped.
        const mode_t mode = (entry.mode & 0777) | S_IRUSR | S_IWUSR;
        switch (entry.type) {
        case ArchiveCheck::Entry::Type::Folder:
            if (::mkdirat(dir.get(), name.constData(), mode | S_IXUSR) != 0 && errno != EEXIST)
                return failed(errno);
            break;
        case ArchiveCheck::Entry::Type::SymbolicLink:
            if (::symlinkat(encoded(entry.target).constData(), dir.get(), name.constData()) != 0)
                return failed(errno);
            break;
        case ArchiveCheck::Entry::Type::HardLink: {
            const QStringList target = ArchiveCheck::components(entry.target).mid(1);
            const Fd targetDir = openPath(root.get(), target.mid(0, target.size() - 1), false);
            if (!targetDir.valid() ||
                ::linkat(targetDir.get(), encoded(target.last()).constData(), dir.get(), name.constData(), 0) != 0)
                return failed(errno);
            break;
        }
        case ArchiveCheck::Entry::Type::File: {
            const Fd file(
                ::openat(dir.get(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
            if (!file.valid())
                return failed(errno);
            const void *block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            for (;;) {
                const int read = archive_read_data_block(reader.get(), &block, &size, &offset);
                if (read == ARCHIVE_EOF)
                    break;
                if (read != ARCHIVE_OK)
                    return {Problem::NotAnArchive, QString::fromLocal8Bit(archive_error_string(reader.get()))};
                if (::lseek(file.get(), off_t(offset), SEEK_SET) < 0)
                    return failed(errno);
                const char *data = static_cast<const char *>(block);
                while (size > 0) {
                    const ssize_t written = write ? write(file.get(), data, size) : ::write(file.get(), data, size);
                    if (written < 0 && errno == EINTR)
                        continue;
                    if (written <= 0)
                        return failed(written < 0 ? errno : ENOSPC);
                    data += written;
                    size -= size_t(written);
                }
            }
            // A sparse file's last hole.
            if (::ftruncate(file.get(), off_t(archive_entry_size(header))) != 0)
                return failed(errno);
            break;
        }
        case ArchiveCheck::Entry::Type::Other:
            return {Problem::Unsafe, QString::fromLatin1(ArchiveCheck::reason(ArchiveCheck::Verdict::Device))};
        }
    }
}

FolderInstall::Result FolderInstall::checkVersion(const QString &program, const QString &version) const
{
    QProcess process;
    process.setProgram(program);
    process.setArguments({QStringLiteral("--version")});
    process.start();
    if (!process.waitForFinished(VersionCheckMs)) {
        process.kill();
        process.waitForFinished(1000);
        return {Problem::WrongVersion, QFileInfo(program).fileName() + QStringLiteral(": no answer")};
    }
    const QByteArray said = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || said != version.toUtf8() + '\n')
        return {Problem::WrongVersion,
                QFileInfo(program).fileName() + QStringLiteral(": ") + QString::fromUtf8(said.left(80)).trimmed()};
    return {};
}

FolderInstall::Result FolderInstall::swapIn(const QString &packageName)
{
    const Fd liveFd = FolderOps::openFolderAt(parent.get(), live);
    const Fd newFd = FolderOps::openFolderAt(parent.get(), staging);
    if (!liveFd.valid() || !newFd.valid())
        return {Problem::SwapFailed, QString::fromLocal8Bit(std::strerror(errno))};

    journal.carried =
        UsersFiles::carried(FolderOps::namesIn(liveFd.get()), FolderOps::namesIn(newFd.get()), packageName);
    if (!writeJournal(Journal::State::Carrying))
        return {Problem::WriteFailed, QString::fromLocal8Bit(std::strerror(errno))};
    step(Step::Carrying);

    QByteArray user, shipped;
    if (FolderOps::readFileAt(liveFd.get(), UsersFiles::Settings, SettingsCap, &user) &&
        FolderOps::readFileAt(newFd.get(), UsersFiles::Settings, SettingsCap, &shipped)) {
        const QByteArray merged = UsersFiles::mergedSettings(user, shipped);
        if (!merged.isEmpty() && !FolderOps::replaceFileAt(newFd.get(), UsersFiles::Settings, merged)) {
            abandon();
            return {Problem::WriteFailed, QString::fromLocal8Bit(std::strerror(errno))};
        }
    }
    moveEntries(liveFd.get(), newFd.get(), journal.carried);
    step(Step::Carried);

    // What the exchange makes live must be on disk before it is, not only in the page cache.
    ::syncfs(parent.get());
    if (!writeJournal(Journal::State::Swapping)) {
        abandon();
        return {Problem::WriteFailed, QString::fromLocal8Bit(std::strerror(errno))};
    }
    step(Step::Swapping);
    if (!FolderOps::exchangeAt(parent.get(), live, staging, spare, atomic)) {
        const int code = errno;
        abandon();
        return {Problem::SwapFailed, QString::fromLocal8Bit(std::strerror(code))};
    }
    ::fsync(parent.get());
    step(Step::Exchanged);
    return {};
}

FolderInstall::Result FolderInstall::confirm()
{
    if (!writeJournal(Journal::State::Confirmed))
        return {Problem::WriteFailed, QString::fromLocal8Bit(std::strerror(errno))};
    step(Step::Confirming);
    FolderOps::removeTreeAt(parent.get(), staging);
    step(Step::OldRemoved);
    ::unlinkat(parent.get(), encoded(journalFile).constData(), 0);
    ::flock(parent.get(), LOCK_UN);
    locked = false;
    return {};
}

FolderInstall::Result FolderInstall::rollBack()
{
    writeJournal(Journal::State::RollingBack);
    step(Step::RollingBack);
    if (!FolderOps::exchangeAt(parent.get(), live, staging, spare, atomic))
        return {Problem::SwapFailed, QString::fromLocal8Bit(std::strerror(errno))};
    ::fsync(parent.get());
    step(Step::SwappedBack);
    undo(parent.get(), live, staging, journal.carried);
    ::unlinkat(parent.get(), encoded(journalFile).constData(), 0);
    ::flock(parent.get(), LOCK_UN);
    locked = false;
    return {};
}

void FolderInstall::abandon()
{
    if (!parent.valid())
        return;
    undo(parent.get(), live, staging, journal.carried);
    ::unlinkat(parent.get(), encoded(journalFile).constData(), 0);
    if (locked)
        ::flock(parent.get(), LOCK_UN);
    locked = false;
}

void FolderInstall::undo(int parent, const QString &live, const QString &staging, const QStringList &carried)
{
    const Fd liveFd = FolderOps::openFolderAt(parent, live);
    const Fd newFd = FolderOps::openFolderAt(parent, staging);
    if (liveFd.valid() && newFd.valid())
        moveEntries(newFd.get(), liveFd.get(), carried);
    FolderOps::removeTreeAt(parent, staging);
}

Recovery::Action FolderInstall::recover(const QString &programFolder)
{
    const FolderInstall names(programFolder);
    const Fd parent = FolderOps::openFolder(names.parentPath);
    if (!parent.valid())
        return Recovery::Action::Nothing;
    const bool leftovers = FolderOps::existsAt(parent.get(), names.journalFile) ||
                           FolderOps::existsAt(parent.get(), names.staging) ||
                           FolderOps::existsAt(parent.get(), names.spare);
    bool busy = false;
    // A running install holds the lock: what it left is not left over.
    if (!leftovers || !lockParent(parent.get(), &busy))
        return Recovery::Action::Nothing;
    // No install of ours ever works beside a folder others may write to: what lies there is theirs.
    if (!FolderOps::closedToOthers(parent.get())) {
        ::flock(parent.get(), LOCK_UN);
        qCWarning(lcInstall) << "leaving what lies beside" << programFolder << "alone: others may write to"
                             << names.parentPath;
        return Recovery::Action::Nothing;
    }

    // A two-rename exchange cut short: the name that was set aside goes back where it is missing.
    if (FolderOps::existsAt(parent.get(), names.spare)) {
        const QString &back = FolderOps::existsAt(parent.get(), names.live) ? names.staging : names.live;
        ::renameat(parent.get(), encoded(names.spare).constData(), parent.get(), encoded(back).constData());
    }

    Recovery::Facts facts;
    QByteArray text;
    facts.journalPresent = FolderOps::existsAt(parent.get(), names.journalFile);
    if (facts.journalPresent && FolderOps::readFileAt(parent.get(), names.journalFile, JournalCap, &text))
        facts.journal = Journal::fromText(text);
    facts.stagingPresent = FolderOps::existsAt(parent.get(), names.staging);
    dev_t device = 0;
    ino_t inode = 0;
    facts.newIsLive = facts.journal && FolderOps::identityAt(parent.get(), names.live, &device, &inode) &&
                      device == facts.journal->newDevice && inode == facts.journal->newInode;

    const Recovery::Action action = Recovery::decide(facts);
    const QStringList carried = facts.journal ? facts.journal->carried : QStringList();
    switch (action) {
    case Recovery::Action::Nothing:
        break;
    case Recovery::Action::SwapBack:
        if (!FolderOps::exchangeAt(parent.get(), names.live, names.staging, names.spare)) {
            qCWarning(lcInstall) << "could not exchange the folders back:" << std::strerror(errno);
            ::flock(parent.get(), LOCK_UN);
            return Recovery::Action::Nothing;
        }
        ::fsync(parent.get());
        undo(parent.get(), names.live, names.staging, carried);
        break;
    case Recovery::Action::Undo:
        undo(parent.get(), names.live, names.staging, carried);
        break;
    case Recovery::Action::Finish:
        FolderOps::removeTreeAt(parent.get(), names.staging);
        break;
    }
    ::unlinkat(parent.get(), encoded(names.journalFile).constData(), 0);
    ::unlinkat(parent.get(), encoded(names.journalFile + QStringLiteral(".tmp")).constData(), 0);
    ::flock(parent.get(), LOCK_UN);
    qCInfo(lcInstall) << "settled an install cut short beside" << programFolder << "action" << int(action);
    return action;
}

void FolderInstall::settleAtStart(char **argv)
{
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return;
    self[length] = '\0';
    if (recover(QFileInfo(QFile::decodeName(self)).path()) == Recovery::Action::SwapBack) {
        ::execv(self, argv);
        qCWarning(lcInstall) << "could not start the restored program:" << std::strerror(errno);
    }
}

QString installProblemText(const FolderInstall::Result &result)
{
    switch (result.problem) {
    case FolderInstall::Problem::None:
        return QString();
    case FolderInstall::Problem::Busy:
        return QCoreApplication::translate("FolderInstall", "另一个更新正在安装，请稍后再试。");
    case FolderInstall::Problem::NotWritable:
        return QCoreApplication::translate(
                   "FolderInstall", "程序文件夹属于用户 %1，当前用户无法写入，无法安装更新。请联系 %1 或管理员更新。")
            .arg(result.detail);
    case FolderInstall::Problem::NotAnArchive:
        return QCoreApplication::translate("FolderInstall", "更新包已损坏或不是程序安装包，未做任何更改。");
    case FolderInstall::Problem::Unsafe:
        return QCoreApplication::translate("FolderInstall", "更新包含有不安全的内容，已拒绝安装。");
    case FolderInstall::Problem::DiskFull:
        return QCoreApplication::translate("FolderInstall", "磁盘空间不足，无法安装更新，未做任何更改。");
    case FolderInstall::Problem::WriteFailed:
        return QCoreApplication::translate("FolderInstall", "无法写入程序文件夹，未做任何更改。");
    case FolderInstall::Problem::WrongVersion:
        return QCoreApplication::translate("FolderInstall", "更新包中的程序版本与发布的版本不符，已拒绝安装。");
    case FolderInstall::Problem::SwapFailed:
        return QCoreApplication::translate("FolderInstall", "无法替换程序文件夹，未做任何更改。");
    case FolderInstall::Problem::SharedParent:
        return QCoreApplication::translate("FolderInstall",
                                           "其他用户也可以写入程序所在的文件夹 %1，无法安全地安装更新。"
                                           "请把程序移到只有您能写入的文件夹中。")
            .arg(result.detail);
    }
    return QString();
}
