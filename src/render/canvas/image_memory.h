// Images whose pixels lie in large memory pages. A line drawn down an image touches a new
// row, and so with small pages a new page, at every pixel row: the processor then spends
// more time finding the pages than drawing. Large pages hold hundreds of rows each.
#pragma once

#include <QImage>

namespace velmora {

// An image of the given size and format (null when there is no memory for it), in large
// pages where the system gives them, for images of a few megabytes and more.
QImage LargePageImage(QSize size, QImage::Format format);

// Gives the rows [top, top + rows) of an image's pixels their memory now, where the system
// can, without changing a pixel: a thread that has finished its share of a picture makes
// ready the rows it will copy there, so the copy does not wait for the memory.
void PrepareRows(uchar *bits, qsizetype bytesPerLine, int top, int rows);

} // namespace velmora
