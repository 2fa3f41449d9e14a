// Where the skinned tool bar puts a button's image and caption on the face it paints: plain
// arithmetic on the button's rectangle, the image size and the caption's measured width.
#pragma once

#include <string>

#include "toolkit/win/Control.h"

namespace skin {

struct ToolFaceInput {
    tk::TRect bounds;          // the button in tool bar coordinates
    bool dropDown = false;     // the right 14 pixels are the arrow strip
    bool list = false;         // caption beside the image instead of below it
    bool showCaptions = true;
    bool hasImages = false;    // an image list is assigned
    int imageWidth = 0, imageHeight = 0;
    int captionWidth = 0;      // pixel width of the caption without its ampersands
    bool pressed = false;      // the pressed face (the caption sinks by one pixel without images)
};

struct ToolFaceLayout {
    bool drawImage = false;
    POINT image{0, 0};
    bool drawCaption = false;
    tk::TRect caption;
};

// The width of the arrow strip of a drop-down button.
constexpr int kDropDownStripWidth = 14;

ToolFaceLayout LayoutToolFace(const ToolFaceInput& in);

// The caption with every "&" removed, as it is measured for centring.
std::wstring StripAmpersands(const std::wstring& caption);

}  // namespace skin
