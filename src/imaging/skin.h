// skin.h - applying an imageset file: the registry, the skin image and the 34 named images.
#ifndef RENDERER_IMAGING_SKIN_H
#define RENDERER_IMAGING_SKIN_H

#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "imaging/imageset.h"

// Indices of the renderer's `images` table.
enum SkinImage : int {
    kImageGameBkg = 0,
    kImageGameBkgSeperator = 1,
    kImageKtvBkg = 2,
    kImageWaveYellowL = 3,
    kImageWaveYellowM = 4,
    kImageWaveYellowR = 5,
    kImageWaveLightBlueL = 6,
    kImageWaveLightBlueM = 7,
    kImageWaveLightBlueR = 8,
    kImageSlider = 9,
    kImageCursorGreen = 10,
    kImageCursorRed = 11,
    kImageCursorYellow = 12,
    kImageWaveBlueL = 13,
    kImageWaveBlueM = 14,
    kImageWaveBlueR = 15,
    kImageTrailYellowL = 16,  // a second lookup of the "WaveYellow" pieces, for the trail
    kImageTrailYellowM = 17,
    kImageTrailYellowR = 18,
    kImageNumber0 = 19,       // ... "Number9" at 28
    kImageMiss = 29,
    kImagePoor = 30,
    kImageGood = 31,
    kImageGreat = 32,
    kImagePerfect = 33,
    kSkinImageCount = 34,
};

// The image names, in table order.
extern const char* const kSkinImageNames[kSkinImageCount];

// The only imageset the renderer draws from.
constexpr const char* kRendererImageset = "Renderer";

// Parses the imageset file at `path` (an ANSI path, directories separated by
// backslashes), loads the image it names into `atlas` (keeping the old image when
// that fails) and refills the 34 images from the "Renderer" imageset.  Images are
// clipped to the skin image so that nothing ever reads outside its pixels.
// True when the file was a "Renderer" imageset and its image loaded; false when
// the file could not be read as one (nothing changes then) or its image did not
// load (the old picture stays, with the new file's rectangles).
bool ApplySkinFile(ImagesetRegistry* registry, DibSurface* atlas, ImageRect* images, const char* path);

// The part of `rect` that lies inside `surface` (all zero when nothing does, or
// when the rectangle has no positive size).  Unchanged when the surface has no pixels.
ImageRect ClipToSurface(const ImageRect& rect, const DibSurface& surface);

#endif
