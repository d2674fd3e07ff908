#include "image/image_file.h"

#include "image/config_block.h"

namespace vornset {
namespace {

static_assert(BootImage::capacity == 65536 && minimumImageLength == 1928, "the size messages name these lengths");

bool readWhole(FileAccess& file, BootImage& image, Output& out)
{
    std::optional<std::size_t> length = file.measure();
    if (!length || *length == 0) {
        out << "Error: unable to read file\n";
        return false;
    }
    if (*length > BootImage::capacity) {
        out << "Error: file too large for a boot manager image (more than 65536 bytes)\n";
        return false;
    }
    if (*length < minimumImageLength) {
        out << "Error: file too short for a boot manager image (less than 1928 bytes)\n";
        return false;
    }
    if (!file.read(std::span(image.content).first(*length))) {
        out << "Error: unable to read file\n";
        return false;
    }
    image.length = *length;
    return true;
}

} // namespace

bool loadImage(FileAccess& file, BootImage& image, Output& out)
{
    if (!file.open(image.path, FileAccess::Mode::read)) {
        out << "Error: unable to open " << image.path << "\n";
        return false;
    }
    bool loaded = readWhole(file, image, out);
    // Everything needed is in memory by now; a failure to release a file that was
    // only read cannot harm it.
    file.close();
    return loaded;
}

bool saveImage(FileAccess& file, const BootImage& image, Output& out)
{
    if (!file.open(image.path, FileAccess::Mode::update)) {
        out << "Error: unable to open " << image.path << " for writing\n";
        return false;
    }
    bool written = file.write(std::span(image.content).first(image.length)) && file.flush();
    bool closed = file.close();
    if (!written || !closed) {
        out << "Error: unable to write to file\n";
        return false;
    }
    return true;
}

} // namespace vornset
