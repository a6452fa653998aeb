#pragma once

#include <imgui.h>

namespace orva {

// The accent blue of the editor's theme: check marks, sliders, active separators, the selected tab's
// overline and the navigation cursor.
inline constexpr ImVec4 kThemeAccent{0.259f, 0.522f, 0.957f, 1.0f};

// Resets ImGui's style, applies the dark preset and the editor's own sizes and colours, then scales
// every size by the display's content scale (`scale` > 1 on high-density screens; values that are not
// positive count as 1). Anything set on the style before the call is lost. Needs a current ImGui
// context. The docking values of the theme (separator size, empty dock colour, drop preview colour)
// belong to the editor's own dock layout: see editor/dock_layout.h.
void applyEditorTheme(float scale);

} // namespace orva
