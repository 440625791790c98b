// Runs one install of a program-folder archive the way the updater does, and kills itself at a given
// step, so that tests can check what a start finds afterwards.
//   installstep FOLDER ARCHIVE VERSION STEP|- [rollback] [renames]   prints "ok" or "problem N"
//   installstep recover FOLDER                                         prints the recovery's action
#include "folderinstall.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args.at(0) == QLatin1String("recover")) {
        std::printf("action %d\n", int(FolderInstall::recover(args.at(1))));
        return 0;
    }
    if (args.size() < 4)
        return 2;
    FolderInstall install(args.at(0));
    bool stepOk = false;
    const int stopAt = args.at(3).toInt(&stepOk);
    if (stepOk) {
        install.setStepHook([stopAt](FolderInstall::Step step) {
            if (int(step) == stopAt)
                std::raise(SIGKILL);
        });
    }
    install.setAtomicExchange(!args.contains(QLatin1String("renames")));
    FolderInstall::Result result = install.prepare(args.at(1), args.at(2));
    if (result.ok())
        result = install.swapIn(QStringLiteral("package.tar.gz"));
    if (result.ok())
        result = args.contains(QLatin1String("rollback")) ? install.rollBack() : install.confirm();
    if (result.ok())
        std::printf("ok\n");
    else
        std::printf("problem %d %s\n", int(result.problem), qPrintable(result.detail));
    return result.ok() ? 0 : 3;
}
