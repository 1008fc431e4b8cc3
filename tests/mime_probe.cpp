// Prints the file type the desktop's shared MIME database gives a file name (XDG_DATA_DIRS
// chooses the database), as file managers see it.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    std::printf("%s\n", qPrintable(QMimeDatabase().mimeTypeForFile(QString::fromLocal8Bit(argv[1]),
                                                                   QMimeDatabase::MatchExtension).name()));
    return 0;
}
