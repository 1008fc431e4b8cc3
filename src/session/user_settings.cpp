#include "user_settings.h"

#include "document/file_names.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace velmora {

namespace {

const QString RecentKey = QStringLiteral("recent/drawings");
const QString PlacementKey = QStringLiteral("window/geometry");

QStringList Cleaned(const QStringList &paths)
{
    QStringList list;
    for (const QString &path : paths)
        if (!path.isEmpty() && !list.contains(path) && list.size() < RecentLimit)
            list << path;
    return list;
}

// The list as the settings file holds it: names as text, a name that is not UTF-8 (a
// Latin-1 "\xdcbung.vlm") as its bytes, which text in the file could not keep.
QStringList StoredDrawings(const QSettings &settings)
{
    // A list of one is held as that one entry.
    const QVariant value = settings.value(RecentKey);
    QVariantList entries;
    if (value.typeId() == QMetaType::QVariantList)
        entries = value.toList();
    else if (value.typeId() == QMetaType::QByteArray)
        entries << value;
    else
        for (const QString &path : value.toStringList())
            entries << path;
    QStringList paths;
    for (const QVariant &entry : std::as_const(entries))
        paths << (entry.typeId() == QMetaType::QByteArray ? FileNameFromBytes(entry.toByteArray()) : entry.toString());
    return paths;
}

void StoreDrawings(QSettings &settings, const QStringList &paths)
{
    if (std::all_of(paths.begin(), paths.end(), QtCanNameFile)) {
        settings.setValue(RecentKey, paths); // as it always was
        return;
    }
    QVariantList entries;
    for (const QString &path : paths)
        entries << (QtCanNameFile(path) ? QVariant(path) : QVariant(FileNameBytes(path)));
    settings.setValue(RecentKey, entries);
}

constexpr int DefaultRecoverySeconds = 120;

// The seconds a text names when they are a whole number within the bounds.
std::optional<int> RecoverySeconds(const QString &text)
{
    bool ok = false;
    const qlonglong seconds = text.trimmed().toLongLong(&ok);
    if (!ok || seconds < 1 || seconds > MaxRecoverySeconds)
        return std::nullopt;
    return int(seconds);
}

} // namespace

std::unique_ptr<QSettings> UserSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                                       QStringLiteral("velmora"));
}

QStringList RecentDrawings()
{
    return Cleaned(StoredDrawings(*UserSettings()));
}

void AddRecentDrawing(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    auto settings = UserSettings();
    QStringList list = StoredDrawings(*settings);
    list.removeAll(absolute);
    list.prepend(absolute);
    StoreDrawings(*settings, Cleaned(list));
}

void RemoveRecentDrawing(const QString &path)
{
    auto settings = UserSettings();
    QStringList list = StoredDrawings(*settings);
    list.removeAll(path);
    StoreDrawings(*settings, Cleaned(list));
}

QByteArray WindowPlacement()
{
    return UserSettings()->value(PlacementKey).toByteArray();
}

void KeepWindowPlacement(const QByteArray &placement)
{
    UserSettings()->setValue(PlacementKey, placement);
}

int RecoveryIntervalSeconds()
{
    const QByteArray variable = qgetenv("VELMORA_RECOVERY_SECONDS");
    if (!variable.isEmpty()) {
        if (const std::optional<int> seconds = RecoverySeconds(QString::fromLocal8Bit(variable)))
            return *seconds;
        qWarning("VELMORA_RECOVERY_SECONDS=%s is refused: it must be a whole number of seconds from 1 to %d",
                 variable.constData(), MaxRecoverySeconds);
    }
    const auto settings = UserSettings();
    const QVariant setting = settings->value(QStringLiteral("recovery/intervalSeconds"));
    if (setting.isValid()) {
        if (const std::optional<int> seconds = RecoverySeconds(setting.toString()))
            return *seconds;
        qWarning("recovery/intervalSeconds=%s in %s is refused: it must be a whole number of seconds from 1 to %d",
                 qPrintable(setting.toString()), qPrintable(settings->fileName()), MaxRecoverySeconds);
    }
    return DefaultRecoverySeconds;
}

} // namespace velmora
