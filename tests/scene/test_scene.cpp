#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "scene/scene.h"

using orva::kInvalidObject;
using orva::ObjectType;
using orva::Scene;
using orva::SceneObject;

namespace {

constexpr uint32_t kMaxU32 = std::numeric_limits<uint32_t>::max();

// A scene whose objects carry exactly the given names (ids 1..n, nothing made unique).
Scene sceneWithNames(const std::vector<std::string>& names) {
    Scene scene;
    for (size_t i = 0; i < names.size(); ++i)
        scene.createObjectWithId(uint32_t(i + 1), ObjectType::Mesh, names[i]);
    return scene;
}

void expectMatrixNear(const glm::mat4& a, const glm::mat4& b, float tolerance = 1e-5f) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(a[c][r], b[c][r], tolerance) << "column " << c << " row " << r;
}

// Grandparent G (moved, rotated) > parent P (moved by (1, 0, 0), scaled by 2, rotated) > child C.
// Non-uniform rotations on both levels make a wrong matrix order visible.
struct Hierarchy {
    Scene scene;
    uint32_t g, p, c;
    Hierarchy() {
        SceneObject* go = scene.createObject(ObjectType::Mesh, "G");
        go->transform.position = {0, 5, 0};
        go->transform.rotationEulerDeg = {0, 30, 0};
        SceneObject* po = scene.createObject(ObjectType::Mesh, "P");
        po->transform.position = {1, 0, 0};
        po->transform.scale = {2, 2, 2};
        po->transform.rotationEulerDeg = {0, 0, 45};
        SceneObject* co = scene.createObject(ObjectType::Camera, "C");
        co->transform.position = {1, 0, 0};
        co->transform.rotationEulerDeg = {10, 0, 0};
        g = go->id;
        p = po->id;
        c = co->id;
        scene.setParent(p, g, false);
        scene.setParent(c, p, false);
    }
};

} // namespace

TEST(SceneNames, TypeAndLightNamesIncludingUnknownValues) {
    EXPECT_STREQ(orva::objectTypeName(ObjectType::Mesh), "Mesh");
    EXPECT_STREQ(orva::objectTypeName(ObjectType::SpawnPoint), "Spawn Point");
    EXPECT_STREQ(orva::objectTypeName(ObjectType(7)), "Unknown");
    EXPECT_STREQ(orva::lightTypeName(orva::LightType::Directional), "Directional");
    EXPECT_STREQ(orva::lightTypeName(orva::LightType(-1)), "Unknown");
}

TEST(SceneNames, MakeUniqueName) {
    struct Case {
        std::vector<std::string> existing;
        std::string base;
        std::string expected;
    };
    const Case cases[] = {
        {{}, "", "Object"},
        {{"Object"}, "", "Object.001"},
        {{"Cube"}, "Cube", "Cube.001"},
        {{"Cube", "Cube.001"}, "Cube.001", "Cube.002"},
        {{"Cube", "Cube.002"}, "Cube", "Cube.001"}, // the first free number, not the next one
        {{"Cube.004"}, "Cube.004", "Cube.001"},     // the numeric suffix is replaced, not stacked
        {{"Rock.2"}, "Rock.2", "Rock.001"},         // any run of digits counts as a suffix
        {{"Cube."}, "Cube.", "Cube..001"},          // nothing after the dot: the name stays whole
        {{"Cube.a1"}, "Cube.a1", "Cube.a1.001"},    // non-digits after the dot: stays whole
        {{"Cube"}, "Cube.004", "Cube.004"},         // free names are returned as they are
        {{"cube"}, "Cube", "Cube"},                 // comparison is case-sensitive
    };
    for (const Case& c : cases) {
        Scene scene = sceneWithNames(c.existing);
        EXPECT_EQ(scene.makeUniqueName(c.base), c.expected) << "base '" << c.base << "'";
    }
}

TEST(SceneNames, SuffixesGrowPastThreeDigits) {
    std::vector<std::string> names{"Cube"};
    char buffer[16];
    for (int n = 1; n <= 999; ++n) {
        std::snprintf(buffer, sizeof buffer, "Cube.%03d", n);
        names.push_back(buffer);
    }
    Scene scene = sceneWithNames(names);
    EXPECT_EQ(scene.makeUniqueName("Cube"), "Cube.1000");
}

TEST(SceneObjects, CreateObjectHandsOutGrowingIdsAndUniqueNames) {
    Scene scene;
    SceneObject* a = scene.createObject(ObjectType::Mesh, "Cube");
    SceneObject* b = scene.createObject(ObjectType::Light, "Cube");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->id, 1u);
    EXPECT_EQ(b->id, 2u);
    EXPECT_EQ(b->name, "Cube.001");
    EXPECT_EQ(scene.nextId, 3u);
    // Only mesh objects own a mesh.
    EXPECT_NE(a->mesh, nullptr);
    EXPECT_EQ(b->mesh, nullptr);
    // Ids are not reused after removal.
    ASSERT_TRUE(scene.removeObject(2));
    EXPECT_EQ(scene.createObject(ObjectType::Mesh, "X")->id, 3u);
    EXPECT_EQ(scene.find(0), nullptr);
    scene.clear();
    EXPECT_TRUE(scene.objects.empty());
    EXPECT_EQ(scene.nextId, 1u);
}

TEST(SceneObjects, CreateObjectWithId) {
    struct Case {
        const char* what;
        uint32_t id;
        bool created;
        uint32_t nextIdAfter;
    };
    // Every case starts from objects 1 and 2 with nextId raised to 5.
    const Case cases[] = {
        {"id 0 is refused", 0, false, 5},
        {"an id in use is refused", 2, false, 5},
        {"a higher id raises nextId", 10, true, 11},
        {"a lower free id leaves nextId", 3, true, 5},
        {"the id just below nextId", 4, true, 5},
        {"the id equal to nextId", 5, true, 6},
        // Taking the last id would wrap nextId to the invalid id.
        {"0xFFFFFFFF is refused", kMaxU32, false, 5},
        {"0xFFFFFFFE is the last id", kMaxU32 - 1, true, kMaxU32},
    };
    for (const Case& c : cases) {
        Scene scene;
        scene.createObjectWithId(1, ObjectType::Mesh, "a");
        scene.createObjectWithId(2, ObjectType::Mesh, "b");
        scene.nextId = 5;
        SceneObject* object = scene.createObjectWithId(c.id, ObjectType::Camera, "Cube");
        EXPECT_EQ(object != nullptr, c.created) << c.what;
        EXPECT_EQ(scene.nextId, c.nextIdAfter) << c.what;
        EXPECT_EQ(scene.objects.size(), c.created ? 3u : 2u) << c.what;
        if (object) {
            EXPECT_EQ(object->id, c.id);
            EXPECT_EQ(object->type, ObjectType::Camera);
        }
    }
}

TEST(SceneObjects, CreateObjectWithIdKeepsTheNameAsGiven) {
    Scene scene = sceneWithNames({"Cube"});
    SceneObject* object = scene.createObjectWithId(7, ObjectType::Mesh, "Cube");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->name, "Cube");
}

TEST(SceneObjects, NoObjectIsMadeOnceTheIdsAreUsedUp) {
    Scene scene;
    ASSERT_NE(scene.createObjectWithId(kMaxU32 - 1, ObjectType::Mesh, "Last"), nullptr);
    EXPECT_EQ(scene.createObject(ObjectType::Mesh, "Cube"), nullptr);
    EXPECT_EQ(scene.duplicateObject(kMaxU32 - 1), nullptr);
    EXPECT_EQ(scene.objects.size(), 1u);
    EXPECT_EQ(scene.nextId, kMaxU32);
}

TEST(SceneObjects, DuplicateInsertsADeepCopyAfterTheSource) {
    Scene scene;
    SceneObject* parent = scene.createObject(ObjectType::Mesh, "Parent");
    SceneObject* cube = scene.createObject(ObjectType::Mesh, "Cube");
    scene.createObject(ObjectType::Mesh, "Cube.001");
    SceneObject* child = scene.createObject(ObjectType::Mesh, "Child");
    const uint32_t parentId = parent->id, cubeId = cube->id;
    scene.setParent(cubeId, parentId, false);
    scene.setParent(child->id, cubeId, false);
    cube->mesh->addVertex({1, 2, 3});
    cube->transform.position = {4, 5, 6};
    cube->material = 2;

    SceneObject* copy = scene.duplicateObject(cubeId);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->id, 5u);
    EXPECT_EQ(scene.nextId, 6u);
    EXPECT_EQ(copy->name, "Cube.002");
    EXPECT_EQ(copy->parent, parentId);
    EXPECT_EQ(copy->material, 2);
    EXPECT_EQ(copy->transform.position, glm::vec3(4, 5, 6));
    ASSERT_EQ(scene.objects.size(), 5u);
    EXPECT_EQ(scene.objects[2].get(), copy);
    // The mesh is a separate copy with its own identity.
    ASSERT_TRUE(copy->mesh);
    const SceneObject* source = scene.find(cubeId);
    EXPECT_NE(copy->mesh.get(), source->mesh.get());
    EXPECT_NE(copy->mesh->uid, source->mesh->uid);
    EXPECT_EQ(copy->mesh->vertices.size(), 1u);
    // Children stay with the source.
    EXPECT_TRUE(scene.childrenOf(copy->id).empty());
    EXPECT_EQ(scene.childrenOf(cubeId).size(), 1u);

    EXPECT_EQ(scene.duplicateObject(99), nullptr);
    EXPECT_EQ(scene.duplicateObject(0), nullptr);
}

TEST(SceneHierarchy, RemovingAParentKeepsChildrenInPlaceOneLevelUp) {
    Hierarchy h;
    const glm::mat4 before = h.scene.worldMatrix(h.c);
    ASSERT_TRUE(h.scene.removeObject(h.p));
    EXPECT_EQ(h.scene.find(h.p), nullptr);
    EXPECT_EQ(h.scene.find(h.c)->parent, h.g);
    expectMatrixNear(h.scene.worldMatrix(h.c), before);
    EXPECT_FALSE(h.scene.removeObject(h.p));
    EXPECT_FALSE(h.scene.removeObject(0));
}

// An object whose parent id names nothing counts as a root; removing it must still keep its
// children in place (they cannot be handed to a parent that does not exist).
TEST(SceneHierarchy, RemovingAnOrphanMakesItsChildrenRootsInPlace) {
    Hierarchy h;
    ASSERT_TRUE(h.scene.removeObject(h.g)); // P becomes a root in place
    h.scene.find(h.p)->parent = 77;         // and now names no object
    const glm::mat4 before = h.scene.worldMatrix(h.c);
    ASSERT_TRUE(h.scene.removeObject(h.p));
    EXPECT_EQ(h.scene.find(h.c)->parent, kInvalidObject);
    expectMatrixNear(h.scene.worldMatrix(h.c), before);
}

TEST(SceneHierarchy, SetParentRefusalsChangeNothing) {
    struct Case {
        const char* what;
        uint32_t child;
        uint32_t parent;
    };
    Hierarchy h;
    const Case cases[] = {
        {"object as its own parent", h.g, h.g},
        {"under its grandchild", h.g, h.c},
        {"under its child", h.p, h.c},
        {"missing parent", h.g, 99},
        {"missing child", 99, h.g},
        {"child 0", 0, h.g},
    };
    for (const Case& c : cases) {
        for (bool keepWorld : {false, true}) {
            Scene before = h.scene;
            EXPECT_FALSE(h.scene.setParent(c.child, c.parent, keepWorld)) << c.what;
            ASSERT_EQ(h.scene.objects.size(), before.objects.size());
            for (size_t i = 0; i < before.objects.size(); ++i) {
                const SceneObject& a = *before.objects[i];
                const SceneObject& b = *h.scene.objects[i];
                EXPECT_EQ(a.parent, b.parent) << c.what;
                EXPECT_EQ(a.transform.position, b.transform.position) << c.what;
                EXPECT_EQ(a.transform.rotationEulerDeg, b.transform.rotationEulerDeg) << c.what;
                EXPECT_EQ(a.transform.scale, b.transform.scale) << c.what;
            }
        }
    }
}

TEST(SceneHierarchy, DetachingToTheTopKeepsTheWorldMatrixOrTheLocalOne) {
    Hierarchy h;
    const glm::mat4 world = h.scene.worldMatrix(h.c);
    ASSERT_TRUE(h.scene.setParent(h.c, 0, true));
    EXPECT_EQ(h.scene.find(h.c)->parent, kInvalidObject);
    expectMatrixNear(h.scene.worldMatrix(h.c), world);

    Hierarchy k;
    const orva::Transform local = k.scene.find(k.c)->transform;
    ASSERT_TRUE(k.scene.setParent(k.c, 0, false));
    EXPECT_EQ(k.scene.find(k.c)->transform.position, local.position);
    expectMatrixNear(k.scene.worldMatrix(k.c), local.matrix());
}

TEST(SceneHierarchy, ReparentingUnderAnotherBranchKeepsTheWorldMatrix) {
    Hierarchy h;
    SceneObject* other = h.scene.createObject(ObjectType::Mesh, "Other");
    other->transform.position = {-3, 1, 2};
    other->transform.rotationEulerDeg = {0, 90, 0};
    other->transform.scale = {0.5f, 0.5f, 0.5f};
    const glm::mat4 world = h.scene.worldMatrix(h.p);
    ASSERT_TRUE(h.scene.setParent(h.p, other->id, true));
    expectMatrixNear(h.scene.worldMatrix(h.p), world, 1e-4f);
    expectMatrixNear(h.scene.parentWorldMatrix(h.p), h.scene.worldMatrix(other->id));
}

TEST(SceneHierarchy, ChildrenOfZeroListsRootsAndOrphansInOrder) {
    Scene scene;
    const uint32_t a = scene.createObject(ObjectType::Mesh, "A")->id;
    const uint32_t b = scene.createObject(ObjectType::Mesh, "B")->id;
    const uint32_t c = scene.createObject(ObjectType::Mesh, "C")->id;
    const uint32_t d = scene.createObject(ObjectType::Mesh, "D")->id;
    scene.setParent(b, a, false);
    scene.find(c)->parent = 42; // names no object
    scene.setParent(d, a, false);
    EXPECT_EQ(scene.childrenOf(0), (std::vector<uint32_t>{a, c}));
    EXPECT_EQ(scene.childrenOf(a), (std::vector<uint32_t>{b, d}));
    EXPECT_TRUE(scene.childrenOf(99).empty());
    // The orphan behaves as a root everywhere.
    expectMatrixNear(scene.worldMatrix(c), scene.find(c)->transform.matrix());
    expectMatrixNear(scene.parentWorldMatrix(c), glm::mat4(1.0f));
}

TEST(SceneHierarchy, WorldMatrixThroughAScaledParent) {
    Scene scene;
    SceneObject* parent = scene.createObject(ObjectType::Mesh, "Parent");
    parent->transform.position = {1, 0, 0};
    parent->transform.scale = {2, 2, 2};
    SceneObject* child = scene.createObject(ObjectType::Mesh, "Child");
    child->transform.position = {1, 0, 0};
    ASSERT_TRUE(scene.setParent(child->id, parent->id, false));
    const glm::mat4 world = scene.worldMatrix(child->id);
    EXPECT_NEAR(world[3][0], 3.0f, 1e-6f);
    EXPECT_NEAR(world[3][1], 0.0f, 1e-6f);
    EXPECT_NEAR(world[0][0], 2.0f, 1e-6f);
    expectMatrixNear(scene.worldMatrix(0), glm::mat4(1.0f));
    expectMatrixNear(scene.worldMatrix(99), glm::mat4(1.0f));
    expectMatrixNear(scene.parentWorldMatrix(99), glm::mat4(1.0f));
}

TEST(SceneHierarchy, SetWorldMatrixOfItsOwnWorldMatrixKeepsTheTransform) {
    Hierarchy h;
    SceneObject* c = h.scene.find(h.c);
    const orva::Transform before = c->transform;
    h.scene.setWorldMatrix(h.c, h.scene.worldMatrix(h.c));
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(c->transform.position[i], before.position[i], 1e-4f);
        EXPECT_NEAR(c->transform.rotationEulerDeg[i], before.rotationEulerDeg[i], 1e-3f);
        EXPECT_NEAR(c->transform.scale[i], before.scale[i], 1e-5f);
    }
    // Angles that were zero come back as exactly +0, not as float noise.
    EXPECT_EQ(c->transform.rotationEulerDeg.y, 0.0f);
    EXPECT_FALSE(std::signbit(c->transform.rotationEulerDeg.y));
    EXPECT_EQ(c->transform.rotationEulerDeg.z, 0.0f);
    h.scene.setWorldMatrix(99, glm::mat4(2.0f)); // ignored
}

// A parent scaled to zero has no inverse: the child's transform must stay finite and unchanged.
TEST(SceneHierarchy, SetWorldMatrixUnderAZeroScaledParentChangesNothing) {
    Hierarchy h;
    h.scene.find(h.p)->transform.scale = {0, 1, 1};
    SceneObject* root = h.scene.createObject(ObjectType::Mesh, "Root");
    root->transform.position = {1, 2, 3};
    const orva::Transform before = h.scene.find(h.c)->transform;
    h.scene.setWorldMatrix(h.c, glm::mat4(1.0f));
    ASSERT_TRUE(h.scene.setParent(root->id, h.p, true));
    for (const orva::Transform& after : {h.scene.find(h.c)->transform, root->transform}) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(std::isfinite(after.position[i]));
            EXPECT_TRUE(std::isfinite(after.rotationEulerDeg[i]));
            EXPECT_TRUE(std::isfinite(after.scale[i]));
        }
    }
    EXPECT_EQ(h.scene.find(h.c)->transform.position, before.position);
    EXPECT_EQ(h.scene.find(h.c)->transform.rotationEulerDeg, before.rotationEulerDeg);
    EXPECT_EQ(root->transform.position, glm::vec3(1, 2, 3));
}

TEST(SceneHierarchy, IsAncestor) {
    Hierarchy h;
    EXPECT_TRUE(h.scene.isAncestor(h.g, h.c));
    EXPECT_TRUE(h.scene.isAncestor(h.p, h.c));
    EXPECT_FALSE(h.scene.isAncestor(h.c, h.g));
    EXPECT_FALSE(h.scene.isAncestor(h.c, h.c));
    EXPECT_FALSE(h.scene.isAncestor(h.g, 0));
    EXPECT_FALSE(h.scene.isAncestor(h.g, 99));
}

// Only direct edits of `parent` can make a cycle; every walk must still end, and setParent
// must not attach anything below the cycle it cannot see the top of.
TEST(SceneHierarchy, CorruptedParentCycleDoesNotHang) {
    Scene scene;
    SceneObject* a = scene.createObject(ObjectType::Mesh, "A");
    SceneObject* b = scene.createObject(ObjectType::Mesh, "B");
    const uint32_t c = scene.createObject(ObjectType::Mesh, "C")->id;
    a->parent = b->id;
    b->parent = a->id;
    EXPECT_FALSE(scene.isAncestor(c, a->id));
    EXPECT_TRUE(scene.isAncestor(b->id, a->id));
    const glm::mat4 world = scene.worldMatrix(a->id);
    EXPECT_TRUE(std::isfinite(world[3][0]));
    EXPECT_EQ(scene.childrenOf(0), (std::vector<uint32_t>{c}));
    EXPECT_FALSE(scene.setParent(c, a->id, true));
    EXPECT_EQ(scene.find(c)->parent, kInvalidObject);
    // Breaking the cycle works.
    EXPECT_TRUE(scene.setParent(a->id, 0, false));
    EXPECT_TRUE(scene.setParent(c, b->id, true));
}

TEST(SceneResources, AddTextureSharesOneEntryPerImage) {
    Scene scene;
    auto data = orva::makeTextureData("image/png", {1, 2, 3}, 1, 1);
    EXPECT_EQ(scene.addTexture({"first", data, ""}), 0);
    EXPECT_EQ(scene.addTexture({"second", data, ""}), 0);
    ASSERT_EQ(scene.textures.size(), 1u);
    EXPECT_EQ(scene.textures[0].name, "first");
    // Same bytes, different block: a separate entry.
    auto twin = orva::makeTextureData("image/png", {1, 2, 3}, 1, 1);
    EXPECT_EQ(scene.addTexture({"twin", twin, ""}), 1);
    // Textures without an image are never merged with each other.
    EXPECT_EQ(scene.addTexture({"missing a", nullptr, "a.png"}), 2);
    EXPECT_EQ(scene.addTexture({"missing b", nullptr, "b.png"}), 3);
}

TEST(SceneResources, DefaultMaterial) {
    Scene scene;
    EXPECT_EQ(scene.defaultMaterialIndex(), 0);
    ASSERT_EQ(scene.materials.size(), 1u);
    const orva::Material& m = scene.materials[0];
    EXPECT_EQ(m.name, "Material");
    EXPECT_EQ(m.baseColor, glm::vec4(0.8f, 0.8f, 0.8f, 1.0f));
    EXPECT_EQ(m.metallic, 0.0f);
    EXPECT_EQ(m.roughness, 0.5f);
    EXPECT_EQ(m.baseColorTexture, -1);

    Scene other;
    other.materials.push_back({});
    other.materials.back().name = "Red";
    other.materials.push_back({});
    EXPECT_EQ(other.defaultMaterialIndex(), 0);
    EXPECT_EQ(other.materials.size(), 2u);
    EXPECT_EQ(other.materials[0].name, "Red");
}

TEST(SceneResources, TextureDataIdsAreUniqueAcrossThreads) {
    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::vector<uint64_t>> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&ids, t] {
            for (int i = 0; i < kEach; ++i)
                ids[t].push_back(orva::makeTextureData("image/png", {}, 1, 1)->id);
        });
    for (auto& thread : threads)
        thread.join();
    std::set<uint64_t> all;
    for (const auto& list : ids)
        all.insert(list.begin(), list.end());
    EXPECT_EQ(all.size(), size_t(kThreads * kEach));
    EXPECT_EQ(all.count(0), 0u);
}

TEST(SceneCopy, CopyIsDeepExceptForTextureData) {
    Scene scene;
    SceneObject* cube = scene.createObject(ObjectType::Mesh, "Cube");
    cube->mesh->addVertex({1, 0, 0});
    scene.createObject(ObjectType::Light, "Lamp");
    scene.addTexture({"tex", orva::makeTextureData("image/png", {9}, 1, 1), ""});
    scene.defaultMaterialIndex();
    scene.nextId = 40;

    Scene copy(scene);
    ASSERT_EQ(copy.objects.size(), 2u);
    EXPECT_EQ(copy.nextId, 40u);
    EXPECT_EQ(copy.materials.size(), 1u);
    ASSERT_EQ(copy.textures.size(), 1u);
    EXPECT_EQ(copy.textures[0].data, scene.textures[0].data);
    const SceneObject& copied = *copy.objects[0];
    EXPECT_NE(&copied, cube);
    EXPECT_NE(copied.mesh->uid, cube->mesh->uid);
    EXPECT_EQ(copied.mesh->vertices.size(), 1u);
    EXPECT_EQ(copy.objects[1]->mesh, nullptr);
    EXPECT_EQ(copied.id, cube->id);
    EXPECT_EQ(copied.name, "Cube");

    // Changing the copy leaves the original alone.
    copy.objects[0]->mesh->addVertex({2, 0, 0});
    copy.objects[0]->name = "Changed";
    EXPECT_EQ(cube->mesh->vertices.size(), 1u);
    EXPECT_EQ(cube->name, "Cube");

    // Assignment replaces everything and copies deeply too.
    Scene assigned;
    assigned.createObject(ObjectType::Camera, "Old");
    assigned = scene;
    ASSERT_EQ(assigned.objects.size(), 2u);
    EXPECT_NE(assigned.objects[0]->mesh->uid, cube->mesh->uid);
    EXPECT_EQ(assigned.nextId, 40u);

    // Moving keeps the meshes' identities.
    const uint64_t uid = cube->mesh->uid;
    Scene moved(std::move(scene));
    EXPECT_EQ(moved.objects[0]->mesh->uid, uid);
}

TEST(SceneCopy, SceneObjectAssignmentCopiesTheMeshDeeply) {
    SceneObject source(3, ObjectType::Mesh, "Source");
    source.mesh->addVertex({1, 1, 1});
    source.intensity = 7.0f;
    SceneObject target(9, ObjectType::Camera, "Target");
    target = source;
    EXPECT_EQ(target.id, 3u);
    EXPECT_EQ(target.type, ObjectType::Mesh);
    EXPECT_EQ(target.name, "Source");
    EXPECT_EQ(target.intensity, 7.0f);
    ASSERT_TRUE(target.mesh);
    EXPECT_NE(target.mesh.get(), source.mesh.get());
    EXPECT_NE(target.mesh->uid, source.mesh->uid);
    EXPECT_EQ(target.mesh->vertices.size(), 1u);
}
