#pragma once

// Turns a continuous widget edit (a drag, a slider, a stretch of typing) into one undo step.
namespace orva {
class Document;
}

namespace orva::ui {

// Call right after the widget. When the widget became active this frame the document opens an
// interaction; when it stopped being active the interaction ends and is recorded as one undo step
// named `label`, but only when the widget changed the value while it was active. A widget that
// hands activity to a sibling of the same group in one frame (Tab between the fields of a
// three-float drag) ends the first step before the second begins. Main thread only.
void trackEdit(Document& document, const char* label);

// Ends an interaction that trackEdit opened when its widget is no longer the active ImGui item
// without having reported its deactivation (the widget stopped being drawn, or its active part
// lived in a popup such as a colour picker). Panels call it at the top of their draw so that a
// vanished widget can never leave the document stuck in an interaction (which refuses undo).
void endStaleEdit(Document& document);

} // namespace orva::ui
