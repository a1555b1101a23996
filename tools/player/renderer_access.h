// renderer_access.h - the player's only reach past IRenderer into the native
// build: the headless host window and the frame the display window last showed,
// and the skin check that reads a skin the way the renderer will.
#ifndef RENDERER_TOOLS_PLAYER_RENDERER_ACCESS_H
#define RENDERER_TOOLS_PLAYER_RENDERER_ACCESS_H

#include <cstdint>
#include <string>
#include <vector>

#include "renderer.h"

namespace player {

// A host window for Init on the headless platform.
RendererWindowHandle CreateHostWindow(int width, int height);

// The premultiplied BGRA pixels of the frame last presented, with its size;
// null before the first Present.
const std::vector<uint8_t>* PresentedFrame(IRenderer* renderer, int* width, int* height);

// Reads the skin in `dir` as Init will.  False with a message naming the path when
// it cannot draw backgrounds and bars (no imageset, an unreadable image file, a
// background or bar image missing); the other missing images become warnings.
bool CheckSkin(const std::string& dir, std::string* error, std::vector<std::string>* warnings);

}  // namespace player

#endif
