#include "skins.h"

#include "clientconfig.h"

#include <QFileInfo>

namespace Skins {

QString imagePath(const ClientConfig &config, int index)
{
    const QString *const names[Count] = {&config.skinFName1, &config.skinFName2, &config.skinFName3,
                                         &config.skinFName4, &config.skinFName5, &config.skinFName6,
                                         &config.skinFName7, &config.skinFName8, &config.skinFName9};
    if (index < 1 || index > Count)
        return QString();
    return config.skinPicFolder + *names[index - 1];
}

QString pictureStyleSheet(const QString &imagePath)
{
    const QFileInfo image(imagePath);
    if (!image.fileName().isEmpty()) {
        const QString thumb =
            image.path() + QStringLiteral("/thumbs/") + image.completeBaseName() + QStringLiteral(".png");
        if (QFileInfo(thumb).isFile())
            return QStringLiteral("border-image: url(") + thumb + QStringLiteral("); padding: -1;");
    }
    return QStringLiteral("border-image: url(") + imagePath + QStringLiteral(") 50 50 50 50; padding: -1;");
}

QString windowStyleSheet(const QString &path)
{
    // A folder or an empty name is no image either; QFile::exists would accept a folder.
    if (!path.isEmpty() && QFileInfo(path).isFile())
        return QStringLiteral("border-image: url(") + path + QStringLiteral(");");
    return QStringLiteral("border-image: url(:/img/img/blue.gif);");
}

} // namespace Skins
