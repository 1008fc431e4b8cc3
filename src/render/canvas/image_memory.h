// Images whose pixels lie in large memory pages. A line drawn down an image touches a new
// row, and so with small pages a new page, at every pixel row: the processor then spends
// more time finding the pages than drawing. Large pages hold hundreds of rows each.
#pragma once

#include <QImage>

namespace velmora {

// An image of the given size and format (null when there is no memory for it), in large
// pages where the system gives them, for images of a few megabytes and more.
QImage LargePageImage(QSize size, QImage::Format format);

} // namespace velmora
