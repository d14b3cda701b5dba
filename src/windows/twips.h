#pragma once

// The windows are laid out in twips; at 96 dpi 15 twips make one pixel.
namespace Twips {

inline constexpr int PerPixel = 15;

// Rounds towards minus infinity, so a label moving up in small twip steps
// moves by whole pixels evenly on both sides of 0.
constexpr int ToPixels(int twips) {
    return twips >= 0 ? twips / PerPixel : -((-twips + PerPixel - 1) / PerPixel);
}

constexpr int FromPixels(int pixels) {
    return pixels * PerPixel;
}

} // namespace Twips
