#include "io/model_import.h"

#include "io/child_process.h"
#include "io/file_utils.h"
#include "io/model_data.h"
#include "io/model_reader.h"

#include <new>

namespace orva::io {

namespace {

// The reader's answer as it crosses the process boundary: a status byte, then the encoded model
// or the error sentence.
constexpr char kReadOk = 1;
constexpr char kReadFailed = 0;

std::string readInChild(const std::string& path) {
    ModelData model;
    std::string error;
    std::string bytes;
    if (!readModel(path, model, &error)) {
        bytes.push_back(kReadFailed);
        bytes += error;
        return bytes;
    }
    encodeModelData(model, bytes);
    bytes.insert(bytes.begin(), kReadOk);
    return bytes;
}

// Everything added here is appended (objects, materials, textures) and no existing object
// changes, so undoing a failed addition is cutting the lists back.
class SceneMark {
public:
    explicit SceneMark(const Scene& scene)
        : objects_(scene.objects.size()), materials_(scene.materials.size()), textures_(scene.textures.size()),
          nextId_(scene.nextId) {}
    void restore(Scene& scene) const {
        scene.objects.resize(objects_);
        scene.materials.resize(materials_);
        scene.textures.resize(textures_);
        scene.nextId = nextId_;
    }

private:
    size_t objects_, materials_, textures_;
    uint32_t nextId_;
};

// Adds the model's objects in order; materials and textures join the scene when an object first
// uses them, so their indices come out as if each had been converted on first use.
bool addToScene(Scene& scene, ModelData& model, ImportResult& result) {
    std::vector<int32_t> materialIndex(model.materials.size(), -1);
    std::vector<int32_t> textureIndex(model.textures.size(), -1);
    std::vector<uint32_t> objectIds;
    objectIds.reserve(model.objects.size());

    for (ModelObject& part : model.objects) {
        int32_t material = -1;
        if (part.material < 0) {
            material = scene.defaultMaterialIndex();
        } else if (materialIndex[size_t(part.material)] >= 0) {
            material = materialIndex[size_t(part.material)];
        } else {
            Material m = model.materials[size_t(part.material)];
            if (m.baseColorTexture >= 0) {
                int32_t& t = textureIndex[size_t(m.baseColorTexture)];
                if (t < 0) {
                    t = scene.addTexture(model.textures[size_t(m.baseColorTexture)]);
                    ++result.textureCount;
                }
                m.baseColorTexture = t;
            }
            scene.materials.push_back(std::move(m));
            material = int32_t(scene.materials.size() - 1);
            materialIndex[size_t(part.material)] = material;
            ++result.materialCount;
        }

        SceneObject* object = scene.createObject(ObjectType::Mesh, part.name);
        if (!object)
            return false;
        *object->mesh = part.mesh.toMesh();
        part.mesh = ModelMesh(); // no longer needed: free it while the rest is built
        result.vertexCount += object->mesh->vertices.size();
        result.faceCount += object->mesh->faces.size();
        object->material = material;
        object->visible = part.visible;
        const uint32_t id = object->id;
        const uint32_t parent = part.parent >= 0 ? objectIds[size_t(part.parent)] : kInvalidObject;
        scene.setParent(id, parent, false);
        scene.setWorldMatrix(id, part.world);
        objectIds.push_back(id);
    }
    result.meshObjectCount = int32_t(objectIds.size());
    result.objectIds = std::move(objectIds);
    result.warnings = std::move(model.warnings);
    return true;
}

} // namespace

std::string lowerExtension(const std::string& path) {
    std::string ext = pathToUtf8(pathFromUtf8(path).extension());
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return ext;
}

bool isImportableModel(const std::string& path) {
    const std::string ext = lowerExtension(path);
    return ext == ".fbx" || ext == ".obj";
}

bool importModel(Scene& scene, const std::string& path, ImportResult* result, std::string* error) {
    if (!isImportableModel(path)) {
        setError(error, "Unsupported file type (expected .fbx or .obj): " + path);
        return false;
    }
    const std::string name = fileName(path);

    std::string bytes, failure;
    if (!runInChildProcess([&] { return readInChild(path); }, bytes, &failure)) {
        setError(error, "Could not read " + name + ": the model reader " + failure + "; the file may be damaged.");
        return false;
    }
    if (!bytes.empty() && bytes[0] == kReadFailed) {
        setError(error, bytes.substr(1));
        return false;
    }
    ModelData model;
    if (bytes.empty() || bytes[0] != kReadOk || !decodeModelData(bytes.data() + 1, bytes.size() - 1, model)) {
        setError(error, "Could not read " + name + ": the model reader handed back damaged data.");
        return false;
    }
    bytes = std::string(); // the model now holds everything; free the copy before building

    const SceneMark mark(scene);
    ImportResult added;
    try {
        if (!addToScene(scene, model, added)) {
            mark.restore(scene);
            setError(error, "Could not import " + name + ": the scene has no room for more objects.");
            return false;
        }
    } catch (const std::bad_alloc&) {
        mark.restore(scene);
        setError(error, "Could not import " + name + ": not enough memory.");
        return false;
    }
    if (result)
        *result = std::move(added);
    return true;
}

} // namespace orva::io
