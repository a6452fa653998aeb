#include "editor/track_edit.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <string>

#include "document/document.h"

namespace orva::ui {
namespace {

// The interaction trackEdit opened, if any. One at a time: ImGui has one active item.
struct TrackedEdit {
    bool open = false;
    ImGuiID id = 0;      // the ImGui item that opened it
    bool edited = false; // the value changed while it was open
    std::string label;
};

TrackedEdit g_tracked;

void finish(Document& document, bool edited) {
    if (g_tracked.open && document.interacting)
        document.endInteraction(g_tracked.label, edited || g_tracked.edited);
    g_tracked = TrackedEdit{};
}

} // namespace

void trackEdit(Document& document, const char* label) {
    const bool owned = g_tracked.open && document.interacting;
    if (owned && ImGui::IsItemEdited())
        g_tracked.edited = true;
    // Deactivation first: a group may hand activity from one field to the next in the same frame.
    if (owned && ImGui::IsItemDeactivated())
        finish(document, ImGui::IsItemDeactivatedAfterEdit());
    if (ImGui::IsItemActivated() && !document.interacting) {
        document.beginInteraction();
        g_tracked.open = true;
        g_tracked.id = ImGui::GetActiveID();
        g_tracked.edited = ImGui::IsItemEdited();
        g_tracked.label = label ? label : "";
    }
}

void endStaleEdit(Document& document) {
    if (!g_tracked.open)
        return;
    if (!document.interacting) {
        g_tracked = TrackedEdit{}; // closed by someone else (e.g. the document was replaced)
        return;
    }
    if (ImGui::GetActiveID() != g_tracked.id)
        finish(document, false);
}

} // namespace orva::ui
