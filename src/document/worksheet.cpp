#include "worksheet.h"

#include "drawing_state.h"

#include <cmath>

namespace velmora {

QByteArray WorksheetChunkData(const Worksheet &worksheet)
{
    ChunkWriter w;
    w.Int32(int32_t(worksheet.Kind));
    w.Int32(int32_t(worksheet.Pages.size()));
    for (const WorksheetPage &page : worksheet.Pages) {
        w.Int32(page.Number);
        w.Double(page.WidthMm);
        w.Double(page.HeightMm);
    }
    w.Int32(int32_t(worksheet.Password.size()));
    w.Bytes(worksheet.Password);
    w.Int32(int32_t(worksheet.Bytes.size()));
    w.Bytes(worksheet.Bytes);
    return w.Data();
}

std::optional<Worksheet> ReadWorksheetChunk(const QByteArray &data)
{
    ChunkReader r(data);
    Worksheet sheet;
    int32_t kind = 0, pages = 0;
    if (!r.Int32(kind) || (kind != int32_t(WorksheetKind::Pdf) && kind != int32_t(WorksheetKind::Picture)))
        return std::nullopt;
    sheet.Kind = WorksheetKind(kind);
    if (!r.Int32(pages) || pages < 1 || pages > MaxWorksheetPages)
        return std::nullopt;
    for (int i = 0; i < pages; ++i) {
        WorksheetPage page;
        int32_t number = 0;
        if (!r.Int32(number) || !r.Double(page.WidthMm) || !r.Double(page.HeightMm) || number < 1)
            return std::nullopt;
        if (!(page.WidthMm >= MinSheetSideMm && page.WidthMm <= MaxSheetSideMm && page.HeightMm >= MinSheetSideMm &&
              page.HeightMm <= MaxSheetSideMm))
            return std::nullopt; // NaN fails these too
        page.Number = number;
        sheet.Pages.push_back(page);
    }
    int32_t length = 0;
    if (!r.Int32(length) || length < 0 || length > MaxWorksheetPasswordBytes || !r.Bytes(sheet.Password, length))
        return std::nullopt;
    if (!r.Int32(length) || length < 1 || !r.Bytes(sheet.Bytes, length))
        return std::nullopt;
    return sheet;
}

} // namespace velmora
