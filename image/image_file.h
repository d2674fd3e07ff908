#pragma once

#include "console/output.h"
#include "image/boot_image.h"
#include "image/file_access.h"

namespace vornset {

// Reads the file at image.path whole into the image. On failure prints the one
// message that says why and returns false.
bool loadImage(FileAccess& file, BootImage& image, Output& out);

// Overwrites the file in place with the image's first length bytes, so that a
// failed write can neither shorten the file nor move it on disk. On failure prints
// the one message that says why and returns false.
bool saveImage(FileAccess& file, const BootImage& image, Output& out);

} // namespace vornset
