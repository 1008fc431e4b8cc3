#include "user_settings.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

namespace {

const QString RecentKey = QStringLiteral("recent/drawings");

QStringList Cleaned(const QStringList &paths)
{
    QStringList list;
    for (const QString &path : paths)
        if (!path.isEmpty() && !list.contains(path) && list.size() < RecentLimit)
            list << path;
    return list;
}

} // namespace

std::unique_ptr<QSettings> UserSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                                       QStringLiteral("velmora"));
}

QStringList RecentDrawings()
{
    return Cleaned(UserSettings()->value(RecentKey).toStringList());
}

void AddRecentDrawing(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    auto settings = UserSettings();
    QStringList list = settings->value(RecentKey).toStringList();
    list.removeAll(absolute);
    list.prepend(absolute);
    settings->setValue(RecentKey, Cleaned(list));
}

void RemoveRecentDrawing(const QString &path)
{
    auto settings = UserSettings();
    QStringList list = settings->value(RecentKey).toStringList();
    list.removeAll(path);
    settings->setValue(RecentKey, Cleaned(list));
}

int RecoveryIntervalSeconds()
{
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("VELMORA_RECOVERY_SECONDS", &ok);
    if (ok && fromEnvironment > 0)
        return fromEnvironment;
    const int fromSettings = UserSettings()->value(QStringLiteral("recovery/intervalSeconds"), 120).toInt(&ok);
    return ok && fromSettings > 0 ? fromSettings : 120;
}

} // namespace velmora
