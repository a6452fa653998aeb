#include "editor/inspector.h"

#include <gtest/gtest.h>
#include <imgui.h>

#include "document/document.h"
#include "io/image.h"
#include "render/gl_test_context.h"
#include "render/renderer.h"

namespace orva {
namespace {

// The texture block shows the image through the renderer's texture cache: with GL ready the
// thumbnail is an ImGui image of the cached GL texture.
TEST(InspectorThumbnail, DrawsTheRenderersTextureForTheMaterialImage) {
    std::string error;
    ASSERT_TRUE(test::ensureGlContext(&error)) << error;
    Renderer renderer;
    ASSERT_TRUE(renderer.initialize(&error)) << error;
    Document document;
    const int material = document.state.scene.find(2)->material;
    ASSERT_GE(material, 0);
    ASSERT_TRUE(document.setMaterialTexture(material, io::makeCheckerTexture(64, 4), "Checker"));
    const auto data = document.state.scene.textures.back().data;

    ImGuiContext* context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(800, 900);
    io.DeltaTime = 1.0f / 60.0f;
    io.BackendFlags |= ImGuiBackendFlags_RendererHasTextures;
    Inspector inspector(document, renderer);
    bool found = false;
    for (int frame = 0; frame < 2; ++frame) {
        ImGui::NewFrame();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(420, 880));
        inspector.draw(nullptr);
        ImGui::Render();
    }
    const auto cached = renderer.textures.find(data->id);
    ASSERT_NE(cached, renderer.textures.end());
    ASSERT_NE(cached->second.texture, 0u);
    const ImDrawData* drawData = ImGui::GetDrawData();
    for (const ImDrawList* list : drawData->CmdLists)
        for (const ImDrawCmd& cmd : list->CmdBuffer)
            found |= cmd.TexRef.GetTexID() == ImTextureID(cached->second.texture);
    ImGui::DestroyContext(context);
    renderer.shutdown();
    EXPECT_TRUE(found) << "no draw command uses the thumbnail texture";
}

} // namespace
} // namespace orva
