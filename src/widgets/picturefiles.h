#pragma once

#include <QString>

namespace PictureFiles {

// The picture dialogs' filter: "Image Files" with the kinds of picture a browser shows
// and this Qt can read (PNG, JPEG, GIF and BMP always; WebP and SVG where their image
// plugins are installed), then "All Files".
QString dialogFilter();

}
