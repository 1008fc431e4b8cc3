// Preferences kept for the user between runs (recently opened drawings, the window's place,
// the recovery interval): an INI file in the user's config folder, never options.dat, which holds only
// the language.
#pragma once

#include <QSettings>
#include <QStringList>

#include <memory>

namespace velmora {

// $XDG_CONFIG_HOME/Velmora/velmora.ini
std::unique_ptr<QSettings> UserSettings();

// The last drawings opened or saved, newest first, at most RecentLimit. Read from the
// settings at every use, so two programs running side by side keep one list.
inline constexpr int RecentLimit = 8;
QStringList RecentDrawings();
void AddRecentDrawing(const QString &path);    // moves it to the front
void RemoveRecentDrawing(const QString &path);

// The main window's size and place as the last run left them (QWidget::saveGeometry), empty
// before the first run ends.
QByteArray WindowPlacement();
void KeepWindowPlacement(const QByteArray &placement);

// Seconds between two recovery copies: VELMORA_RECOVERY_SECONDS when it is a whole number
// from 1 to MaxRecoverySeconds, else the setting recovery/intervalSeconds when it is, else two
// minutes. A value outside those bounds is refused with a warning on stderr (the timer counts
// milliseconds in 32 bits: 2147484 seconds would overflow it).
inline constexpr int MaxRecoverySeconds = 24 * 60 * 60;
int RecoveryIntervalSeconds();

} // namespace velmora
