// The kinds of title bar buttons and the placements of title bar sections.
#pragma once

#include <cstdint>

enum class TsuiTitleBarBtnType : std::uint8_t { suiMax = 0, suiMin = 1, suiClose = 2, suiHelp = 3, suiControlBox = 4, suiCustom = 5 };
enum class TsuiTitleBarAlign : std::uint8_t { suiLeft = 0, suiRight = 1, suiClient = 2 };
