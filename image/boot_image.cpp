#include "image/boot_image.h"

namespace vornset {

bool hasSupportedVersion(const BootImage& image)
{
    return image.length > versionOffset && image.content[versionOffset] == supportedVersion;
}

} // namespace vornset
