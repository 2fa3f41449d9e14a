// The arithmetic of the shared skin drawing helpers, free of any device context: the colour of
// one gradient line and the shortening of a caption with "...".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace skin {

// The colour step of a gradient between two RGB colours (red in the low byte): each channel is
// start + trunc((end - start) / span * factor), in floating point, truncated toward zero.
std::uint32_t GradientColor(std::uint32_t startRgb, std::uint32_t endRgb, int span, int factor);

// The text as it fits a maximum width: the text itself when its width is at most maxWidth;
// otherwise the shortest prefix followed by "..." whose width reaches maxWidth, or the text itself
// when no prefix shorter than the text does. textWidth measures a text.
std::wstring FitTextWithEllipsis(const std::wstring& text, int maxWidth,
                                 const std::function<int(const std::wstring&)>& textWidth);

}  // namespace skin
