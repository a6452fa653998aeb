#pragma once

#include <functional>

#include <imgui.h>
#include <imgui_internal.h>

// ImGui reports every item it lays out to these hooks while a context's TestEngineHookItems flag is
// on (it is off unless a recorder is installed, so the editor itself pays one branch per item).
// Interface tests install a recorder to find items by label and click them where they really are.
namespace orva::ui {

struct ItemRecorder {
    // An item was added: its id, its rectangle in screen pixels and its data (may be null). Called
    // for items that are clipped away too.
    std::function<void(ImGuiID id, const ImRect& rect, const ImGuiLastItemData* data)> itemAdded;
    // The label and status of an item added just before (ImGuiItemStatusFlags, with Checkable and
    // Checked for menu items and check boxes).
    std::function<void(ImGuiID id, const char* label, ImGuiItemStatusFlags flags)> itemInfo;
};

// Installs `recorder` on `context` (it must outlive the installation), or removes it with null.
void setItemRecorder(ImGuiContext* context, ItemRecorder* recorder);

} // namespace orva::ui
