#include "skin/theme/SkinMath.h"

#include <cmath>

namespace skin {

std::uint32_t GradientColor(std::uint32_t startRgb, std::uint32_t endRgb, int span, int factor) {
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int s = static_cast<int>((startRgb >> shift) & 0xFF);
        const int e = static_cast<int>((endRgb >> shift) & 0xFF);
        const double step = span == 0 ? 0.0 : static_cast<double>(e - s) / span * factor;
        const int c = s + static_cast<int>(std::trunc(step));
        result |= static_cast<std::uint32_t>(c & 0xFF) << shift;
    }
    return result;
}

std::wstring FitTextWithEllipsis(const std::wstring& text, int maxWidth,
                                 const std::function<int(const std::wstring&)>& textWidth) {
    if (textWidth(text) <= maxWidth) return text;
    for (std::size_t i = 1; i < text.size(); ++i) {
        std::wstring candidate = text.substr(0, i) + L"...";
        if (textWidth(candidate) >= maxWidth) return candidate;
    }
    return text;
}

}  // namespace skin
