// One animation of a sprite: a strip of equal frames in the sprite's texture, laid out left to
// right from the source point and wrapping into the rows below, stepped on by whole frame
// times. Sprites keep their animations by value under a name.
#pragma once

#include <string>

namespace dorvo
{
namespace gfx
{
struct SpriteAnimation
{
    int centerX = 0; // the pivot the sprite takes when the animation becomes current, pixels
    int centerY = 0;
    int frameWidth = 0; // pixels
    int frameHeight = 0;
    int currentFrame = 0;
    int frameCount = 0;
    int sourceX = 0; // top left of frame 0 in the texture, pixels
    int sourceY = 0;
    int frameTime = 0;       // milliseconds a frame
    int accumulatedTime = 0; // milliseconds towards the next frame
    bool paused = false;     // the frame does not advance while set
    bool loop = false;       // clear: stops on the last frame
    std::string name;
    // The animation's own colour, which buttons prefer to the skin's; absent by default.
    bool hasColor = false;
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    float alpha = 1.0f;
};
} // namespace gfx
} // namespace dorvo
