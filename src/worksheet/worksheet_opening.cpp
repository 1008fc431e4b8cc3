#include "worksheet_opening.h"

#include "document/drawing_state.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>

namespace velmora {

namespace {

constexpr double MmPerPoint = 25.4 / 72;
constexpr double A4ShortMm = 210, A4LongMm = 297;

// The resolution a picture states in its own header (PNG pHYs in dots per metre, JPEG JFIF
// in dots per inch or per centimetre), when it is a scan's: 72 and 96 dpi are what cameras and
// screens write when they know none, and a scan has at least 100.
std::optional<double> StatedDpi(const QByteArray &bytes)
{
    auto sane = [](double dpi) -> std::optional<double> {
        if (dpi >= 99.5 && dpi <= 2400)
            return dpi;
        return std::nullopt;
    };
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (bytes.startsWith("\x89PNG\r\n\x1a\n")) {
        // Chunks: length, type, data, CRC; pHYs comes before the image data.
        for (qsizetype at = 8; at + 12 <= n;) {
            const quint32 length = qFromBigEndian<quint32>(b + at);
            const QByteArray type = bytes.mid(at + 4, 4);
            if (type == "pHYs" && length == 9 && at + 8 + 9 <= n) {
                const quint32 x = qFromBigEndian<quint32>(b + at + 8), y = qFromBigEndian<quint32>(b + at + 12);
                if (b[at + 16] == 1 && x == y) // unit: the metre
                    return sane(x * 0.0254);
                return std::nullopt;
            }
            if (type == "IDAT" || type == "IEND" || length > quint32(n))
                break;
            at += 12 + qsizetype(length);
        }
        return std::nullopt;
    }
    if (n >= 18 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF && b[3] == 0xE0 && bytes.mid(6, 5) == QByteArray("JFIF", 5)) {
        const int unit = b[13];
        const quint16 x = qFromBigEndian<quint16>(b + 14), y = qFromBigEndian<quint16>(b + 16);
        if (x != y)
            return std::nullopt;
        if (unit == 1)
            return sane(x);
        if (unit == 2)
            return sane(x * 2.54);
    }
    return std::nullopt;
}

bool PageFits(const WorksheetPage &page)
{
    return page.WidthMm >= MinSheetSideMm && page.HeightMm >= MinSheetSideMm && page.WidthMm <= MaxSheetSideMm &&
           page.HeightMm <= MaxSheetSideMm;
}

WorksheetOpening OpenPicture(const QByteArray &bytes)
{
    WorksheetOpening opening;
    opening.Document.Kind = WorksheetKind::Picture;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true); // the EXIF orientation
    if (!reader.canRead()) {
        opening.Problem = WorksheetProblem::NotAWorksheet;
        return opening;
    }
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        opening.Problem = WorksheetProblem::Damaged;
        return opening;
    }
    if (int64_t(size.width()) * size.height() > MaxPicturePixels) {
        opening.Problem = WorksheetProblem::PictureTooLarge;
        return opening;
    }
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    double widthMm, heightMm;
    if (const auto dpi = StatedDpi(bytes)) {
        widthMm = size.width() * 25.4 / *dpi;
        heightMm = size.height() * 25.4 / *dpi;
    } else {
        // No resolution: fitted into A4, upright or across as the picture is.
        const bool across = size.width() > size.height();
        const double boxW = across ? A4LongMm : A4ShortMm, boxH = across ? A4ShortMm : A4LongMm;
        const double scale = std::min(boxW / size.width(), boxH / size.height());
        widthMm = size.width() * scale;
        heightMm = size.height() * scale;
    }
    const WorksheetPage page{1, widthMm, heightMm};
    if (!PageFits(page)) {
        opening.Problem = WorksheetProblem::PageTooLarge;
        return opening;
    }
    opening.Document.Bytes = bytes;
    opening.Document.Pages.push_back(page);
    return opening;
}

WorksheetOpening OpenPdfWith(const QByteArray &bytes, const QByteArray &password)
{
    WorksheetOpening opening;
    opening.Document.Kind = WorksheetKind::Pdf;
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes, password, password);
    if (!document) {
        // poppler refuses a wrong password as it refuses a damaged file: the first load
        // without one tells them apart.
        std::unique_ptr<Poppler::Document> bare = password.isEmpty() ? nullptr : Poppler::Document::loadFromData(bytes);
        opening.Problem = bare && bare->isLocked() ? WorksheetProblem::WrongPassword : WorksheetProblem::Damaged;
        return opening;
    }
    if (document->isLocked()) {
        opening.Problem = password.isEmpty() ? WorksheetProblem::NeedsPassword : WorksheetProblem::WrongPassword;
        return opening;
    }
    const int pages = document->numPages();
    if (pages <= 0) {
        opening.Problem = WorksheetProblem::NoPages;
        return opening;
    }
    for (int i = 0; i < pages; ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        if (!page) {
            opening.Problem = WorksheetProblem::Damaged;
            return opening;
        }
        const QSizeF points = page->pageSizeF(); // the crop box, turned by the page's rotation
        const WorksheetPage sheetPage{i + 1, points.width() * MmPerPoint, points.height() * MmPerPoint};
        if (!PageFits(sheetPage)) {
            opening.Problem = sheetPage.WidthMm > MaxSheetSideMm || sheetPage.HeightMm > MaxSheetSideMm
                                  ? WorksheetProblem::PageTooLarge
                                  : WorksheetProblem::Damaged;
            return opening;
        }
        opening.Document.Pages.push_back(sheetPage);
    }
    opening.Document.Bytes = bytes;
    opening.Document.Password = password;
    return opening;
}

// The password as typed comes in UTF-8, which the newer PDF encryption takes; the older one
// takes the characters one byte each, so a password with umlauts is tried that way too.
WorksheetOpening OpenPdf(const QByteArray &bytes, const QByteArray &password)
{
    WorksheetOpening opening = OpenPdfWith(bytes, password);
    if (opening.Problem != WorksheetProblem::WrongPassword)
        return opening;
    const QString typed = QString::fromUtf8(password);
    const QByteArray oneByteEach = typed.toLatin1();
    if (oneByteEach == password || QString::fromLatin1(oneByteEach) != typed)
        return opening;
    WorksheetOpening older = OpenPdfWith(bytes, oneByteEach);
    return older.Problem == WorksheetProblem::WrongPassword ? opening : older;
}

} // namespace

QString WorksheetProblemText(WorksheetProblem problem)
{
    switch (problem) {
    case WorksheetProblem::None: break;
    case WorksheetProblem::CannotRead: return QStringLiteral("die Datei kann nicht gelesen werden");
    case WorksheetProblem::FileTooLarge: return QStringLiteral("die Datei ist größer als 256 MB");
    case WorksheetProblem::NotAWorksheet: return QStringLiteral("die Datei ist weder ein PDF noch ein PNG- oder JPEG-Bild");
    case WorksheetProblem::Damaged: return QStringLiteral("die Datei ist beschädigt");
    case WorksheetProblem::NeedsPassword: return QStringLiteral("das PDF ist mit einem Kennwort geschützt");
    case WorksheetProblem::WrongPassword: return QStringLiteral("das Kennwort ist falsch");
    case WorksheetProblem::NoPages: return QStringLiteral("das PDF hat keine Seiten");
    case WorksheetProblem::PageTooLarge: return QStringLiteral("eine Seite ist größer als das größte Blatt (5080 mm)");
    case WorksheetProblem::PictureTooLarge:
        return QStringLiteral("das Bild hat mehr als 120 Millionen Bildpunkte");
    case WorksheetProblem::OutOfMemory: return QStringLiteral("nicht genug Arbeitsspeicher");
    }
    return {};
}

bool IsWorksheetName(const QString &path)
{
    for (const char *extension : {".pdf", ".png", ".jpg", ".jpeg"})
        if (path.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return true;
    return false;
}

WorksheetOpening OpenWorksheetBytes(const QByteArray &bytes, const QByteArray &password)
{
    try {
        if (bytes.size() > MaxWorksheetBytes)
            return {WorksheetProblem::FileTooLarge, {}};
        // A PDF's header may follow some bytes of other matter; readers look in the first KiB.
        if (bytes.left(1024).contains("%PDF-"))
            return OpenPdf(bytes, password);
        return OpenPicture(bytes);
    } catch (const std::bad_alloc &) {
        return {WorksheetProblem::OutOfMemory, {}};
    }
}

WorksheetOpening OpenWorksheetFile(const QString &path, const QByteArray &password)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return {WorksheetProblem::CannotRead, {}};
    if (file.size() > MaxWorksheetBytes)
        return {WorksheetProblem::FileTooLarge, {}};
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc &) {
        return {WorksheetProblem::OutOfMemory, {}};
    }
    if (bytes.size() != file.size())
        return {WorksheetProblem::CannotRead, {}};
    return OpenWorksheetBytes(bytes, password);
}

Worksheet ChooseWorksheetPages(const Worksheet &document, int first, int count)
{
    Worksheet chosen = document;
    chosen.Pages.clear();
    const int total = int(document.Pages.size());
    first = std::clamp(first, 1, std::max(1, total));
    count = std::clamp(count, 1, MaxWorksheetPages);
    for (int i = first - 1; i < total && int(chosen.Pages.size()) < count; ++i)
        chosen.Pages.push_back(document.Pages[size_t(i)]);
    return chosen;
}

QSizeF WorksheetSheetSizeMm(const Worksheet &worksheet)
{
    QSizeF size;
    for (const WorksheetPage &page : worksheet.Pages)
        size = size.expandedTo(QSizeF(page.WidthMm, page.HeightMm));
    return size;
}

} // namespace velmora
