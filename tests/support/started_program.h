// The real program started as a user starts it, on a drawing written into a temporary folder
// whose data and settings folders it then uses; it is up when the drawing's lock lies beside
// the drawing. Ended (killed) with the object.
#pragma once

#include "document/drawing_file.h"
#include "session/document_session.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#ifdef VELMORA

namespace velmora {

class StartedProgram {
public:
    QTemporaryDir Dir;
    QProcess Process;

    QString Drawing() const { return Dir.filePath(QStringLiteral("Aufgabe.vlm")); }

    // Writes the session's drawing, starts the program on it with these entries added to the
    // test's environment and waits for it to be up. Empty when it is, else what went wrong.
    QString Start(const DocumentSession &session, const QList<std::pair<QString, QString>> &environment = {})
    {
        QFile file(Drawing());
        if (!file.open(QIODevice::WriteOnly) || !WriteDrawingFile(file, session.Drawing(), session.FileSettings()))
            return QStringLiteral("the drawing could not be written");
        file.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), Dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Dir.filePath(QStringLiteral("config")));
        for (const auto &[name, value] : environment)
            env.insert(name, value);
        Process.setProcessEnvironment(env);
        Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Process.start(QStringLiteral(VELMORA), {Drawing()});
        if (!Process.waitForStarted())
            return QStringLiteral("the program did not start: ") + Process.errorString();
        const QString lock = Dir.filePath(QStringLiteral(".Aufgabe.vlm.lock"));
        for (int waited = 0; waited < 15000 && !QFile::exists(lock); waited += 50) {
            if (Process.state() != QProcess::Running)
                return QStringLiteral("the program ended at start with %1").arg(Process.exitCode());
            QTest::qWait(50);
        }
        return QFile::exists(lock) ? QString() : QStringLiteral("the program did not open the drawing within 15 s");
    }

    ~StartedProgram()
    {
        Process.kill();
        Process.waitForFinished();
    }
};

} // namespace velmora

#endif
