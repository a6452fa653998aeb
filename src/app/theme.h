#pragma once

namespace orva {

// Resets ImGui's style and applies the editor's dark theme, with sizes scaled by the display's
// content scale (`scale` >= 1 on high-density screens). Needs a current ImGui context.
void applyEditorTheme(float scale);

} // namespace orva
