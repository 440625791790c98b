#include "enginerefusal.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace EngineRefusal {

QString text()
{
    return QCoreApplication::translate("EngineRefusal",
                                       "Orvane网络电视不能以 root 身份运行：网页引擎在 root 下不能启用沙箱。"
                                       "请以普通用户身份启动；如确需以 root 运行，请设置环境变量 "
                                       "QTWEBENGINE_DISABLE_SANDBOX=1，网页将在没有沙箱的情况下运行。");
}

int report()
{
    const QString message = text();
    std::fprintf(stderr, "ORVN: %s\n", qPrintable(message));
    std::fflush(stderr);
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("EngineRefusal", "Orvane网络电视"), message,
                        QMessageBox::Ok);
        box.exec();
    }
    return 1;
}

} // namespace EngineRefusal
