// The one translation unit that compiles the stb picture libraries. Its warnings are switched
// off in CMakeLists.txt; everything else includes the headers for their declarations only.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION

// PNG chunks written for previews take their CRC-32 from zlib, like every other CRC here.
#include <zlib.h>
#define STBIW_CRC32(buffer, len) static_cast<unsigned int>(crc32(0, buffer, static_cast<uInt>(len)))

#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>
