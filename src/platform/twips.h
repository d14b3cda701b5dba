#pragma once

// The windows were drawn in twips; at 96 dpi 15 twips make one pixel.
// Layout arithmetic stays in twips and is turned into pixels once, here.
namespace platform::Twips {

inline constexpr int PerPixel = 15;

// The nearest pixel (halves away from 0). Positions that move in steps of
// a few twips, like the scrolling credits, thus move by whole pixels evenly
// on both sides of 0.
constexpr int ToPixels(int twips) {
    return twips >= 0 ? (twips + PerPixel / 2) / PerPixel : -((-twips + PerPixel / 2) / PerPixel);
}

constexpr int FromPixels(int pixels) {
    return pixels * PerPixel;
}

} // namespace platform::Twips
