#include "image/image_file.h"

#include "image/config_block.h"

namespace vornset {
namespace {

ImageError checkedLength(const std::optional<FileAccess::Status>& status, std::size_t& length)
{
    if (!status || !status->regular || status->length == 0)
        return ImageError::cannotRead;
    if (status->length > BootImage::capacity)
        return ImageError::tooLarge;
    if (status->length < minimumImageLength)
        return ImageError::tooShort;
    length = static_cast<std::size_t>(status->length);
    return ImageError::none;
}

ImageError readWhole(FileAccess& file, FileAccess::Access access, BootImage& image)
{
    std::size_t length = 0;
    if (ImageError error = checkedLength(file.status(), length); error != ImageError::none)
        return error;
    if (!file.lock(access))
        return access == FileAccess::Access::edit ? ImageError::cannotOpenForWriting : ImageError::cannotRead;
    if (!file.readAt(0, std::span(image.content).first(length)))
        return ImageError::cannotRead;
    image.length = length;
    return ImageError::none;
}

} // namespace

ImageError loadImage(FileAccess& file, FileAccess::Access access, BootImage& image)
{
    if (!file.open(access))
        return ImageError::cannotOpen;
    ImageError error = readWhole(file, access, image);
    // A file that was only read cannot be harmed by a failure to release it.
    if (error != ImageError::none || access == FileAccess::Access::read)
        file.close();
    return error;
}

ImageError saveImage(FileAccess& file, const BootImage& image)
{
    if (!file.writable()) {
        file.close();
        return ImageError::cannotOpenForWriting;
    }
    auto block = std::span(image.content).subspan<ConfigBlock::offsetInImage, ConfigBlock::size>();
    bool written = file.writeAt(ConfigBlock::offsetInImage, block) && file.sync();
    bool closed = file.close();
    return written && closed ? ImageError::none : ImageError::cannotWrite;
}

} // namespace vornset
