// Reads the X clipboard as another program would (a word processor pasting): prints the
// offered types, one a line, and saves the PNG and the SVG offered into the given files.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return 1;
    for (const QString &format : data->formats())
        std::printf("%s\n", qPrintable(format));
    const std::pair<const char *, const char *> saved[] = {{"image/png", argv[1]}, {"image/svg+xml", argv[2]}};
    for (const auto &[type, path] : saved) {
        QFile file(QString::fromLocal8Bit(path));
        if (!file.open(QIODevice::WriteOnly) || file.write(data->data(QString::fromLatin1(type))) < 0)
            return 1;
    }
    return 0;
}
