// The shots of scripted play: the picture just shown, read back from the window and saved as a PNG.

#include "System/ScriptedPlay.h"

#include "System/ProgramState.h"

#include <GL/gl.h>
#include <SDL.h>

#include <vector>

// The encoder is compiled here, private to this file; its own code trips the project's warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

bool SaveShownFrame(const char* path)
{
    if (!gGameWindow)
        return false;
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(gGameWindow, &width, &height);
    if (width <= 0 || height <= 0)
        return false;

    // The frame just swapped: the back buffer still holds it where buffers are copied on swap.
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glReadBuffer(GL_BACK);

    stbi_flip_vertically_on_write(1);
    return stbi_write_png(path, width, height, 3, pixels.data(), width * 3) != 0;
}
