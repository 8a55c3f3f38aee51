#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "resources/ResourceIds.h"
#include "resources/WindowStyles.h"

namespace ravolin {

// A rectangle in dialog units: x, y, width, height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

enum class ControlKind { PushButton, CheckBox, GroupBox, Edit, StaticText, StaticFrame, StaticIcon, TabControl };

struct ControlTemplate {
    int id = kNoId;
    ControlKind kind = ControlKind::StaticText;
    std::string_view caption;  // UTF-8, "&" marks a mnemonic
    DialogRect rect;
    std::uint32_t style = 0;
};

// A dialog resource: its own frame and font, then its controls in tab order.
struct DialogTemplate {
    int id = 0;
    std::string_view caption;
    DialogRect rect;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::string_view fontFace;  // UTF-8
    int fontPointSize = 0;
    int fontWeight = 0;
    std::uint8_t fontCharSet = 0;
    std::span<const ControlTemplate> controls;
};

// The template of a dialog resource, or nullptr for an id that names none.
const DialogTemplate* findDialogTemplate(int id);

}  // namespace ravolin
