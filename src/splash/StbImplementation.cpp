// The one translation unit that compiles the stb picture libraries. Its warnings are switched
// off in CMakeLists.txt; everything else includes the headers for their declarations only.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION

#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>
