// stb_image_write_impl.cpp - the PNG/BMP/TGA/JPEG writer that tests use to make image files.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
