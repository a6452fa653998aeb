// Picking on real-sized meshes: a 224 x 224 quad grid bent into a closed tube (100 352 triangles,
// 50 176 vertices) seen whole in the viewport, and a scene of ten such tubes (1 M triangles).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "document/picking.h"
#include "scene/orbit_camera.h"
#include "scene/scene.h"

namespace {

using namespace orva;

constexpr uint32_t kAround = 224, kAlong = 224;

// Radius 1, length 4 along z, closed around its axis (open at both ends); built once.
Mesh makeTube() {
    Mesh m;
    m.vertices.reserve(size_t(kAround) * (kAlong + 1));
    m.faces.reserve(size_t(kAround) * kAlong);
    for (uint32_t j = 0; j <= kAlong; ++j)
        for (uint32_t i = 0; i < kAround; ++i) {
            const float a = float(i) * 6.2831853f / float(kAround);
            m.addVertex({std::cos(a), std::sin(a), float(j) * 4.0f / float(kAlong) - 2.0f});
        }
    for (uint32_t j = 0; j < kAlong; ++j)
        for (uint32_t i = 0; i < kAround; ++i) {
            const uint32_t a = j * kAround + i, b = j * kAround + (i + 1) % kAround;
            m.addFace({a, b, b + kAround, a + kAround});
        }
    return m;
}

const Mesh& tube() {
    static const Mesh mesh = makeTube();
    return mesh;
}

const glm::vec2 kSize(1280.0f, 800.0f);

PickView viewOf(const OrbitCamera& cam) {
    PickView v;
    v.view = cam.view();
    v.proj = cam.projection(kSize.x / kSize.y);
    v.size = kSize;
    return v;
}

// The tube from the side and a little above, filling most of the viewport.
PickView tubeView() {
    OrbitCamera cam;
    cam.distance = 7.0f;
    cam.setView(60.0f, 25.0f);
    return viewOf(cam);
}

MeshPickContext tubeContext(bool xray) { return MeshPickContext{&tube(), glm::mat4(1.0f), xray}; }

// Box-selecting everything with X-ray off, the acceleration structure built inside each run.
void BM_VerticesInRectWholeMeshXrayOff(benchmark::State& state) {
    const PickView view = tubeView();
    size_t taken = 0;
    for (auto _ : state) {
        PickCache cache;
        taken = verticesInRect(tubeContext(false), view, {0.0f, 0.0f}, kSize, &cache).size();
        benchmark::DoNotOptimize(taken);
    }
    state.counters["taken"] = double(taken);
    state.SetItemsProcessed(state.iterations() * int64_t(tube().vertices.size()));
}
BENCHMARK(BM_VerticesInRectWholeMeshXrayOff)->Unit(benchmark::kMillisecond);

// The same with the structure already built (a second box on an unchanged mesh).
void BM_VerticesInRectWholeMeshXrayOffWarm(benchmark::State& state) {
    const PickView view = tubeView();
    PickCache cache;
    verticesInRect(tubeContext(false), view, {0.0f, 0.0f}, kSize, &cache);
    for (auto _ : state)
        benchmark::DoNotOptimize(verticesInRect(tubeContext(false), view, {0.0f, 0.0f}, kSize, &cache).size());
    state.SetItemsProcessed(state.iterations() * int64_t(tube().vertices.size()));
}
BENCHMARK(BM_VerticesInRectWholeMeshXrayOffWarm)->Unit(benchmark::kMillisecond);

// Building the structure alone: world positions, triangles, BVH.
void BM_BuildTubeStructure(benchmark::State& state) {
    for (auto _ : state) {
        PickCache cache;
        benchmark::DoNotOptimize(cache.get(tube(), glm::mat4(1.0f), true).bvh.nodeCount());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(tube().faces.size()) * 2);
}
BENCHMARK(BM_BuildTubeStructure)->Unit(benchmark::kMillisecond);

// Clicks spread over the viewport, cycled through; the structure (and edge list) built beforehand.
template <typename Pick> void runClicks(benchmark::State& state, Pick pick) {
    const PickView view = tubeView();
    PickCache cache;
    cache.get(tube(), glm::mat4(1.0f), true, true);
    int found = 0, i = 0;
    for (auto _ : state) {
        const glm::vec2 click(kSize.x * (0.2f + 0.06f * float(i % 11)), kSize.y * (0.2f + 0.07f * float(i % 9)));
        found += pick(view, click, &cache) ? 1 : 0;
        ++i;
    }
    state.counters["found"] = benchmark::Counter(double(found) / double(std::max(i, 1)));
}

void BM_PickVertex(benchmark::State& state) {
    runClicks(state, [](const PickView& v, glm::vec2 s, PickCache* c) {
        return pickVertex(tubeContext(false), v, s, 8.0f, c).has_value();
    });
}
BENCHMARK(BM_PickVertex)->Unit(benchmark::kMillisecond);

void BM_PickEdge(benchmark::State& state) {
    runClicks(state, [](const PickView& v, glm::vec2 s, PickCache* c) {
        return pickEdge(tubeContext(false), v, s, 8.0f, c).has_value();
    });
}
BENCHMARK(BM_PickEdge)->Unit(benchmark::kMillisecond);

void BM_PickFace(benchmark::State& state) {
    runClicks(state, [](const PickView& v, glm::vec2 s, PickCache* c) {
        return pickFace(tubeContext(false), v, s, c).has_value();
    });
}
BENCHMARK(BM_PickFace)->Unit(benchmark::kMicrosecond);

// Ten tubes in a row along x, each with its own mesh (1 003 520 triangles in all), plus a light.
const Scene& tubeScene() {
    static const Scene scene = [] {
        Scene s;
        for (int k = 0; k < 10; ++k) {
            SceneObject* o = s.createObject(ObjectType::Mesh, "Tube");
            *o->mesh = tube();
            o->transform.position = {float(k) * 2.5f - 11.25f, 0.0f, 0.0f};
            o->transform.rotationEulerDeg = {0.0f, 0.0f, float(k) * 7.0f};
        }
        s.createObject(ObjectType::Light, "Light")->transform.position = {0.0f, 3.0f, 0.0f};
        return s;
    }();
    return scene;
}

PickView sceneView() {
    OrbitCamera cam;
    cam.distance = 30.0f;
    cam.setView(20.0f, 30.0f);
    return viewOf(cam);
}

// The first click on the scene: every mesh's structure is built.
void BM_PickObjectFirstQuery(benchmark::State& state) {
    const PickView view = sceneView();
    for (auto _ : state) {
        PickCache cache;
        benchmark::DoNotOptimize(pickObject(tubeScene(), view, kSize * 0.5f, 8.0f, &cache));
    }
    state.SetItemsProcessed(state.iterations() * 1003520);
}
BENCHMARK(BM_PickObjectFirstQuery)->Unit(benchmark::kMillisecond);

// Clicks on and beside each tube in turn.
void BM_PickObject(benchmark::State& state) {
    const PickView view = sceneView();
    PickCache cache;
    pickObject(tubeScene(), view, kSize * 0.5f, 8.0f, &cache);
    std::vector<glm::vec2> clicks;
    for (const auto& obj : tubeScene().objects) {
        glm::vec2 s;
        if (view.project(glm::vec3(tubeScene().worldMatrix(obj->id)[3]), s))
            for (float dx : {-40.0f, 0.0f, 40.0f})
                for (float dy : {-60.0f, 0.0f, 60.0f})
                    clicks.push_back(s + glm::vec2(dx, dy));
    }
    int found = 0;
    size_t i = 0;
    for (auto _ : state) {
        found += pickObject(tubeScene(), view, clicks[i % clicks.size()], 8.0f, &cache) != kInvalidObject ? 1 : 0;
        ++i;
    }
    state.counters["found"] = benchmark::Counter(double(found) / double(std::max<size_t>(i, 1)));
}
BENCHMARK(BM_PickObject)->Unit(benchmark::kMicrosecond);

} // namespace
