#include "main_form.h"

#include "document/file_names.h"
#include "i18n/terminal_texts.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstring>

namespace {

// The terminal's texts in the program's language (translated through its table).
int Fail(const QString &german, const QString &argument = {})
{
    velmora::TerminalTexts texts(velmora::TerminalTexts::ExecutableDir());
    std::fputs(texts.Wrong(german, argument).toLocal8Bit().constData(), stderr);
    return 2;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/velmora/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before any window system is needed, so they work on a plain terminal.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            QCoreApplication::setApplicationName(QStringLiteral("Velmora")); // where the user's files are
            velmora::TerminalTexts texts(velmora::TerminalTexts::ExecutableDir());
            std::fputs(texts.Usage().toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("velmora %s\n", VELMORA_VERSION);
            return 0;
        }
    }

    // Screens at 125 % or 150 % get their own ratio, not one rounded to a whole number: the
    // surface is drawn in device pixels at any ratio.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setWindowIcon(ProgramIcon());

    // What is left after Qt took its own options (-platform, -display, ...), from the bytes
    // given: a drawing's name need not be UTF-8 (a Latin-1 "\xdcbung.vlm").
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << velmora::FileNameFromBytes(QByteArray(argv[i]));
    QString drawing;
    bool options = true;
    for (const QString &argument : std::as_const(arguments)) {
        if (options && argument == QStringLiteral("--")) {
            options = false;
        } else if (options && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            return Fail(QStringLiteral("unbekannte Option „%1“"), velmora::ReadableFileName(argument));
        } else if (!drawing.isEmpty()) {
            return Fail(QStringLiteral("es kann nur eine Zeichnung auf einmal geöffnet werden"));
        } else {
            // File managers may hand over a file URL instead of a path.
            const QUrl url(argument);
            drawing = url.isLocalFile() ? url.toLocalFile() : argument;
        }
    }

    velmora::TMainForm form;
    form.KeepPlacementBetweenRuns();
    form.show();
    form.activateWindow(); // without a window manager nobody else gives it the keyboard
    // Once the window is up: first a drawing a crashed run left behind, then the one named.
    QTimer::singleShot(0, &form, [&form, drawing] {
        form.Session().Recovery.Offer();
        if (!drawing.isEmpty())
            form.OpenFromOutside(drawing);
    });
    return app.exec();
}
