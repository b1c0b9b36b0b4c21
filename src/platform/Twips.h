#pragma once

namespace platform {

// Window measures are kept in twips; the screen has 15 of them to a pixel (96 dpi).
inline constexpr int kTwipsPorPixel = 15;

// Twips to whole pixels, rounded to the nearest.
constexpr int aPixeles(int twips) {
    return twips >= 0 ? (twips + kTwipsPorPixel / 2) / kTwipsPorPixel
                      : -((-twips + kTwipsPorPixel / 2) / kTwipsPorPixel);
}
// Pixels to twips.
constexpr int aTwips(int pixeles) {
    return pixeles * kTwipsPorPixel;
}

}  // namespace platform
