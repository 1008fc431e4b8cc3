#include "terminal_texts.h"

#include "options_file.h"

#include <QFileInfo>

namespace velmora {

TerminalTexts::TerminalTexts(const QString &programDir)
{
    const int stored = ReadOptionsFile(ExistingDataFilePath(programDir, QStringLiteral("options.dat")));
    translator_.LanguageColumn = stored < 0 ? LanguageItalian : stored; // as the window starts
    const QString table = ExistingDataFilePath(programDir, QStringLiteral("translate.dbf"));
    if (!table.isEmpty() && QFileInfo::exists(table))
        table_.Open(table, true);
    translator_.LoadTranslationIndex();
}

QString TerminalTexts::Usage()
{
    return Text(QStringLiteral("Aufruf: velmora [ZEICHNUNG.vlm]")) + QStringLiteral("\n\n") +
           Text(QStringLiteral("Velmora zeichnet Schulgeometrie mit Lineal, Winkelmesser und Zirkel auf Papierbogen.")) +
           QLatin1Char('\n') + Text(QStringLiteral("Mit einer Zeichnung als Argument öffnet es diese beim Start.")) +
           QLatin1Char('\n') +
           Text(QStringLiteral("Mit einem Arbeitsblatt (PDF, PNG oder JPEG) als Argument öffnet es eine neue Zeichnung auf dessen Seiten.")) +
           QStringLiteral("\n  --help      ") + Text(QStringLiteral("diese Hilfe")) + QStringLiteral("\n  --version   ") +
           Text(QStringLiteral("die Version des Programms")) + QLatin1Char('\n');
}

QString TerminalTexts::Wrong(const QString &german, const QString &argument)
{
    const QString sentence = Text(german);
    return QStringLiteral("velmora: ") + (sentence.contains(QLatin1String("%1")) ? sentence.arg(argument) : sentence) +
           QLatin1Char('\n') +
           Text(QStringLiteral("„velmora --help“ liefert weitere Informationen.")) + QLatin1Char('\n');
}

QString TerminalTexts::ExecutableDir()
{
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return program.isEmpty() ? QStringLiteral("./") : QFileInfo(program).absolutePath() + QLatin1Char('/');
}

} // namespace velmora
