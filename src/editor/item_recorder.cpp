#include "editor/item_recorder.h"

// The hooks ImGui calls when it is built with IMGUI_ENABLE_TEST_ENGINE. The context's TestEngine
// pointer holds the installed recorder.

namespace orva::ui {

void setItemRecorder(ImGuiContext* context, ItemRecorder* recorder) {
    if (!context)
        return;
    context->TestEngine = recorder;
    context->TestEngineHookItems = recorder != nullptr;
}

} // namespace orva::ui

void ImGuiTestEngineHook_ItemAdd(ImGuiContext* ctx, ImGuiID id, const ImRect& bb, const ImGuiLastItemData* item_data) {
    auto* recorder = static_cast<orva::ui::ItemRecorder*>(ctx->TestEngine);
    if (recorder && recorder->itemAdded)
        recorder->itemAdded(id, bb, item_data);
}

void ImGuiTestEngineHook_ItemInfo(ImGuiContext* ctx, ImGuiID id, const char* label, ImGuiItemStatusFlags flags) {
    auto* recorder = static_cast<orva::ui::ItemRecorder*>(ctx->TestEngine);
    if (recorder && recorder->itemInfo)
        recorder->itemInfo(id, label, flags);
}

void ImGuiTestEngineHook_Log(ImGuiContext*, const char*, ...) {}

const char* ImGuiTestEngine_FindItemDebugLabel(ImGuiContext*, ImGuiID) { return nullptr; }
