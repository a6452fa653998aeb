#include "io/model_reader.h"

#include "io/file_utils.h"
#include "io/model_import.h"
#include "io/model_space.h"
#include "io/model_textures.h"
#include "io/obj_mtl_fallback.h"
#include "io/position_welder.h"

#include <assimp/DefaultLogger.hpp>
#include <assimp/Importer.hpp>
#include <assimp/Logger.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>

// [SECTION] The library's internal checks
// [SECTION] Messages from the library
// [SECTION] Conversion of the loaded scene
// [SECTION] readModel

// -----------------------------------------------------------------------------------------------
// [SECTION] The library's internal checks
// -----------------------------------------------------------------------------------------------

// Debian builds the library with its internal checks on, and a failed check aborts the process.
// The library calls this function through its dynamic symbol table, so this definition replaces
// its own in any program that links this file: a failed check on a malformed file becomes an
// exception, which the library's ReadFile catches and reports as a read error.
namespace Assimp {
void aiAssertViolation(const char* failedExpression, const char* file, int line);
void aiAssertViolation(const char* failedExpression, const char* file, int line) {
    const char* base = file ? std::strrchr(file, '/') : nullptr;
    throw std::runtime_error(std::string("the file breaks an internal check of the reader (") +
                             (failedExpression ? failedExpression : "?") + " in " +
                             (base ? base + 1 : (file ? file : "?")) + " line " + std::to_string(line) + ")");
}
} // namespace Assimp

namespace orva::io {

namespace {

// -----------------------------------------------------------------------------------------------
// [SECTION] Messages from the library
// -----------------------------------------------------------------------------------------------

// Collects warnings and errors while a file loads. The library logs non-fatal problems at error
// level too ("failed to locate material ..."), so both count as warnings of a successful load.
class CollectingLogger : public Assimp::Logger {
public:
    explicit CollectingLogger(std::vector<std::string>* messages) : Logger(NORMAL), messages_(messages) {}

    void OnDebug(const char*) override {}
    void OnVerboseDebug(const char*) override {}
    void OnInfo(const char*) override {}
    void OnWarn(const char* message) override { add(message); }
    void OnError(const char* message) override { add(message); }
    bool attachStream(Assimp::LogStream*, unsigned int) override { return false; }
    bool detachStream(Assimp::LogStream*, unsigned int) override { return false; }

private:
    void add(const char* message) {
        if (!message)
            return;
        std::string text(message);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        // Every FBX file newer than 2013 logs this; it says nothing about this file.
        if (text.empty() || text.rfind("FBX-DOM: unsupported, newer format version", 0) == 0)
            return;
        messages_->push_back(std::move(text));
    }

    std::vector<std::string>* messages_;
};

// Installs the collecting logger for one load (the logger is process-wide) and removes it again.
class LoggerScope {
public:
    explicit LoggerScope(std::vector<std::string>* messages) {
        Assimp::DefaultLogger::set(new CollectingLogger(messages));
    }
    ~LoggerScope() { Assimp::DefaultLogger::set(nullptr); } // deletes ours, back to the null logger
    LoggerScope(const LoggerScope&) = delete;
    LoggerScope& operator=(const LoggerScope&) = delete;
};

// Drops exact repeats and keeps the first kMaxReaderMessages, then one line for the rest.
void appendReaderMessages(const std::vector<std::string>& messages, std::vector<std::string>& warnings) {
    std::vector<std::string> kept;
    size_t dropped = 0;
    for (const std::string& m : messages) {
        if (std::find(kept.begin(), kept.end(), m) != kept.end())
            continue;
        if (kept.size() < kMaxReaderMessages)
            kept.push_back(m);
        else
            ++dropped;
    }
    warnings.insert(warnings.end(), kept.begin(), kept.end());
    if (dropped > 0)
        warnings.push_back(std::to_string(dropped) + " more message(s) from the model reader were not shown.");
}

// -----------------------------------------------------------------------------------------------
// [SECTION] Conversion of the loaded scene
// -----------------------------------------------------------------------------------------------

// Nodes the FBX reader adds to spell out pivots and geometric transforms are named
// "<node>_$AssimpFbx$_<part>"; they never carry meshes.
constexpr const char* kHelperTag = "_$AssimpFbx$_";

glm::dmat4 toGlm(const aiMatrix4x4& m) {
    // aiMatrix4x4 is row-major (translation in a4, b4, c4); glm is column-major.
    glm::dmat4 out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[c][r] = double(m[r][c]);
    return out;
}

bool isFinite(const glm::dmat4& m) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(m[c][r]))
                return false;
    return true;
}

float finiteOrZero(double v) {
    const float f = float(v);
    return std::isfinite(f) ? f : 0.0f;
}

// The unit Newell normal of a polygon, or (0, 1, 0) when it has no area (as Mesh::faceNormal).
glm::vec3 polygonNormal(const aiVector3D* positions, const unsigned* indices, unsigned count) {
    glm::vec3 n(0.0f);
    for (unsigned i = 0; i < count; ++i) {
        const aiVector3D& p = positions[indices[i]];
        const aiVector3D& q = positions[indices[i + 1 == count ? 0 : i + 1]];
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    const float len = glm::length(n);
    return len > 1e-20f && std::isfinite(len) ? n / len : glm::vec3(0.0f, 1.0f, 0.0f);
}

// A face is smooth as soon as one corner's file normal leans more than about 5 degrees away
// from the face's own normal; zero-length normals say nothing.
bool bendsAway(const aiVector3D* normals, const unsigned* indices, unsigned count, const glm::vec3& faceNormal) {
    for (unsigned i = 0; i < count; ++i) {
        const aiVector3D& a = normals[indices[i]];
        const glm::vec3 n(a.x, a.y, a.z);
        const float len = glm::length(n);
        if (len > 1e-6f && std::isfinite(len) && glm::dot(n / len, faceNormal) < 0.996f)
            return true;
    }
    return false;
}

class Converter {
public:
    Converter(const aiScene& scene, std::string modelFolder, SpaceConversion space, ModelData& out)
        : scene_(scene), folder_(std::move(modelFolder)), space_(space), out_(out) {
        spaceMatrix_ = glm::dmat4(space_.matrix);
        spaceInverse_ = glm::inverse(spaceMatrix_);
    }

    // `world` is the placement the node's own transform applies to; `geometry` collects FBX
    // geometric transforms met since the last real node (they apply to its vertices only).
    void convertNode(const aiNode& node, int32_t parent, const glm::dmat4& world, const glm::dmat4& geometry,
                     bool hasGeometry) {
        const glm::dmat4 local = toGlm(node.mTransformation);
        const std::string name = node.mName.C_Str();
        const size_t tag = name.find(kHelperTag);
        if (tag != std::string::npos && node.mNumMeshes == 0) {
            const std::string part = name.substr(tag + std::strlen(kHelperTag));
            const bool geometric = part.rfind("Geometric", 0) == 0 && part.find("Inverse") == std::string::npos;
            for (unsigned i = 0; i < node.mNumChildren; ++i) {
                if (!node.mChildren[i])
                    continue;
                if (geometric)
                    convertNode(*node.mChildren[i], parent, world, geometry * local, true);
                else if (hasGeometry) // not produced by the reader; keep the placement right anyway
                    convertNode(*node.mChildren[i], parent, world * geometry * local, glm::dmat4(1.0), false);
                else
                    convertNode(*node.mChildren[i], parent, world * local, geometry, false);
            }
            return;
        }

        // A real node: with pending geometric transforms its own transform is the identity that
        // ends the reader's chain, and everything goes into the vertices.
        const glm::dmat4 objectWorld = hasGeometry ? world : world * local;
        const glm::dmat4 vertexTransform = hasGeometry ? geometry * local : glm::dmat4(1.0);
        countSkinned(node);
        int32_t childParent = parent;
        if (node.mNumMeshes > 0)
            childParent = convertMeshNode(node, parent, objectWorld, vertexTransform, hasGeometry);
        const glm::dmat4 childWorld = world * (hasGeometry ? geometry : glm::dmat4(1.0)) * local;
        for (unsigned i = 0; i < node.mNumChildren; ++i)
            if (node.mChildren[i])
                convertNode(*node.mChildren[i], childParent, childWorld, glm::dmat4(1.0), false);
    }

    // Warnings in their fixed order, then the library's own messages.
    void finish(const std::vector<std::string>& readerMessages) {
        std::vector<std::string>& w = out_.warnings;
        if (scene_.mNumCameras > 0)
            w.push_back(std::to_string(scene_.mNumCameras) + " camera(s) were not imported.");
        if (scene_.mNumLights > 0)
            w.push_back(std::to_string(scene_.mNumLights) + " light(s) were not imported.");
        for (const std::string& name : missingTextures_)
            w.push_back("Texture not found: " + name + " (put it next to the model file and import again).");
        if (skinnedNodes_ > 0)
            w.push_back(std::to_string(skinnedNodes_) +
                        " skinned mesh(es) were imported in their rest pose (bones are not supported yet).");
        if (scene_.mNumAnimations > 0)
            w.push_back("Animations were not imported.");
        appendReaderMessages(readerMessages, w);
    }

private:
    const aiMesh* meshAt(unsigned index) const {
        return index < scene_.mNumMeshes && scene_.mMeshes ? scene_.mMeshes[index] : nullptr;
    }

    void countSkinned(const aiNode& node) {
        for (unsigned i = 0; i < node.mNumMeshes; ++i) {
            const aiMesh* mesh = meshAt(node.mMeshes[i]);
            if (mesh && mesh->mNumBones > 0) {
                ++skinnedNodes_;
                return;
            }
        }
    }

    static bool nodeVisible(const aiNode& node) {
        bool show = true;
        if (node.mMetaData && node.mMetaData->Get("Show", show))
            return show;
        int32_t showInt = 1;
        if (node.mMetaData && node.mMetaData->Get("Show", showInt))
            return showInt != 0;
        return true;
    }

    // One object per material part: the node's meshes grouped by material, in order of first use.
    // Returns the index of the first object made, or `parent` when none was.
    int32_t convertMeshNode(const aiNode& node, int32_t parent, const glm::dmat4& objectWorld,
                            const glm::dmat4& vertexTransform, bool transformVertices) {
        std::vector<std::pair<unsigned, std::vector<const aiMesh*>>> parts;
        for (unsigned i = 0; i < node.mNumMeshes; ++i) {
            const aiMesh* mesh = meshAt(node.mMeshes[i]);
            if (!mesh)
                continue;
            auto it = std::find_if(parts.begin(), parts.end(),
                                   [&](const auto& p) { return p.first == mesh->mMaterialIndex; });
            if (it == parts.end())
                parts.push_back({mesh->mMaterialIndex, {mesh}});
            else
                it->second.push_back(mesh);
        }

        // Scene space: the file's units and axes changed by conjugation, so object placements stay
        // free of the unit scale and axis swap, which go into the vertices instead.
        glm::dmat4 world = spaceMatrix_ * objectWorld * spaceInverse_;
        const glm::dmat4 toScene = spaceMatrix_ * vertexTransform;
        const bool moveVertices = transformVertices || !space_.isIdentity();
        glm::mat4 worldF(1.0f);
        if (isFinite(world))
            worldF = glm::mat4(world);

        std::string baseName = node.mName.C_Str();
        if (baseName.empty())
            baseName = "Mesh";
        const bool visible = nodeVisible(node);

        int32_t first = -1;
        for (size_t p = 0; p < parts.size(); ++p) {
            ModelObject object;
            buildPart(parts[p].second, toScene, moveVertices, object.mesh);
            if (object.mesh.faceCount() == 0)
                continue;
            const aiMaterial* material = materialAt(parts[p].first);
            if (first < 0) {
                object.name = baseName;
            } else {
                const std::string materialName = material ? std::string(material->GetName().C_Str()) : std::string();
                object.name = baseName + "_" + (materialName.empty() ? std::to_string(p) : materialName);
            }
            object.parent = first < 0 ? parent : first;
            object.world = worldF;
            object.material = material ? convertMaterial(parts[p].first, *material) : -1;
            object.visible = visible;
            out_.objects.push_back(std::move(object));
            if (first < 0)
                first = int32_t(out_.objects.size() - 1);
        }
        return first < 0 ? parent : first;
    }

    void buildPart(const std::vector<const aiMesh*>& meshes, const glm::dmat4& toScene, bool moveVertices,
                   ModelMesh& out) {
        size_t faceCount = 0, cornerCount = 0;
        for (const aiMesh* mesh : meshes) {
            faceCount += mesh->mNumFaces;
            cornerCount += mesh->mNumVertices;
        }
        welder_.reset(cornerCount / 4); // closed meshes share each position among about 4 corners
        out.cornerCounts.reserve(faceCount);
        out.faceFlags.reserve(faceCount);
        out.corners.reserve(cornerCount);
        out.uvs.reserve(cornerCount);

        for (const aiMesh* mesh : meshes) {
            if (!mesh->mVertices || !mesh->mFaces)
                continue;
            const aiVector3D* uvs = mesh->mTextureCoords[0];
            const aiVector3D* normals = mesh->mNormals;
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                const unsigned n = face.mNumIndices;
                if (n < 3 || !face.mIndices) // points and lines have no place in a polygon mesh
                    continue;
                bool inRange = true;
                for (unsigned i = 0; i < n && inRange; ++i)
                    inRange = face.mIndices[i] < mesh->mNumVertices;
                if (!inRange)
                    continue;

                const size_t first = out.corners.size();
                for (unsigned i = 0; i < n; ++i) {
                    const unsigned v = face.mIndices[i];
                    const aiVector3D& p = mesh->mVertices[v];
                    bool added = false;
                    out.corners.push_back(welder_.weld(p.x, p.y, p.z, added));
                    if (added)
                        out.positions.push_back(scenePosition(p, toScene, moveVertices));
                    out.uvs.push_back(uvs ? glm::vec2(finiteOrZero(uvs[v].x), finiteOrZero(uvs[v].y))
                                          : glm::vec2(0.0f));
                }
                if (space_.mirrored) {
                    std::reverse(out.corners.begin() + std::ptrdiff_t(first), out.corners.end());
                    std::reverse(out.uvs.begin() + std::ptrdiff_t(first), out.uvs.end());
                }
                uint8_t flags = uvs ? ModelMesh::kHasUvs : 0;
                if (normals && bendsAway(normals, face.mIndices, n, polygonNormal(mesh->mVertices, face.mIndices, n)))
                    flags |= ModelMesh::kSmooth;
                out.cornerCounts.push_back(n);
                out.faceFlags.push_back(flags);
            }
        }
    }

    static glm::vec3 scenePosition(const aiVector3D& p, const glm::dmat4& toScene, bool move) {
        if (!move)
            return glm::vec3(finiteOrZero(p.x), finiteOrZero(p.y), finiteOrZero(p.z));
        const glm::dvec4 q = toScene * glm::dvec4(p.x, p.y, p.z, 1.0);
        return glm::vec3(finiteOrZero(q.x), finiteOrZero(q.y), finiteOrZero(q.z));
    }

    // The library's stand-in for "no material" counts as none.
    const aiMaterial* materialAt(unsigned index) const {
        if (index >= scene_.mNumMaterials || !scene_.mMaterials || !scene_.mMaterials[index])
            return nullptr;
        const aiMaterial* m = scene_.mMaterials[index];
        if (std::strcmp(m->GetName().C_Str(), AI_DEFAULT_MATERIAL_NAME) == 0)
            return nullptr;
        return m;
    }

    int32_t convertMaterial(unsigned index, const aiMaterial& source) {
        auto found = materials_.find(index);
        if (found != materials_.end())
            return found->second;

        Material m;
        m.name = "Material";
        const std::string name = source.GetName().C_Str();
        if (!name.empty())
            m.name = name;
        aiColor4D color;
        if (source.Get(AI_MATKEY_BASE_COLOR, color) == AI_SUCCESS ||
            source.Get(AI_MATKEY_COLOR_DIFFUSE, color) == AI_SUCCESS) {
            if (std::isfinite(color.r) && std::isfinite(color.g) && std::isfinite(color.b))
                m.baseColor = glm::vec4(color.r, color.g, color.b, 1.0f);
        }
        float value = 0.0f;
        if (source.Get(AI_MATKEY_OPACITY, value) == AI_SUCCESS && value > 0.0f)
            m.baseColor.a = std::min(value, 1.0f);
        if (source.Get(AI_MATKEY_METALLIC_FACTOR, value) == AI_SUCCESS && !std::isnan(value))
            m.metallic = std::clamp(value, 0.0f, 1.0f);
        if (source.Get(AI_MATKEY_ROUGHNESS_FACTOR, value) == AI_SUCCESS && !std::isnan(value))
            m.roughness = std::clamp(value, 0.0f, 1.0f);

        aiString path;
        if (source.GetTexture(aiTextureType_BASE_COLOR, 0, &path) == AI_SUCCESS ||
            source.GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS) {
            const int32_t texture = resolveTexture(path.C_Str());
            if (texture >= 0) {
                m.baseColorTexture = texture;
                m.baseColor = glm::vec4(1.0f, 1.0f, 1.0f, m.baseColor.a);
            }
        }

        out_.materials.push_back(std::move(m));
        const int32_t result = int32_t(out_.materials.size() - 1);
        materials_[index] = result;
        return result;
    }

    // Embedded images first, then files beside the model. Each path is resolved once.
    int32_t resolveTexture(const std::string& path) {
        auto found = textures_.find(path);
        if (found != textures_.end())
            return found->second;

        std::string slashes = path;
        std::replace(slashes.begin(), slashes.end(), '\\', '/');
        std::string name = fileName(slashes);
        std::shared_ptr<const TextureData> data;
        const aiTexture* embedded = scene_.GetEmbeddedTexture(path.c_str());
        if (embedded) {
            data = textureFromEmbedded(*embedded);
            if (!path.empty() && path[0] == '*') { // "*0": a reference by index, not a name
                std::string own = embedded->mFilename.C_Str();
                std::replace(own.begin(), own.end(), '\\', '/');
                name = fileName(own);
            }
        }
        if (!data && !(!path.empty() && path[0] == '*'))
            data = findTextureFile(folder_, path);

        int32_t result = -1;
        if (data) {
            out_.textures.push_back(Texture{name.empty() ? "Texture" : name, std::move(data), std::string()});
            result = int32_t(out_.textures.size() - 1);
        } else {
            missingTextures_.push_back(name);
        }
        textures_[path] = result;
        return result;
    }

    const aiScene& scene_;
    std::string folder_;
    SpaceConversion space_;
    glm::dmat4 spaceMatrix_{1.0};
    glm::dmat4 spaceInverse_{1.0};
    ModelData& out_;
    PositionWelder welder_;
    std::map<unsigned, int32_t> materials_;
    std::map<std::string, int32_t> textures_;
    std::vector<std::string> missingTextures_;
    int skinnedNodes_ = 0;
};

// Whether any face has 3 or more corners (points and lines do not make a polygon mesh).
bool hasPolygons(const aiScene& scene) {
    for (unsigned m = 0; m < scene.mNumMeshes && scene.mMeshes; ++m) {
        const aiMesh* mesh = scene.mMeshes[m];
        if (!mesh || !mesh->mFaces)
            continue;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f)
            if (mesh->mFaces[f].mNumIndices >= 3)
                return true;
    }
    return false;
}

} // namespace

// -----------------------------------------------------------------------------------------------
// [SECTION] readModel
// -----------------------------------------------------------------------------------------------

bool readModel(const std::string& path, ModelData& out, std::string* error) {
    const std::string name = fileName(path);
    try {
        const bool fbx = lowerExtension(path) == ".fbx";
        std::vector<std::string> messages;
        LoggerScope logger(&messages);

        Assimp::Importer importer;
        // The reader spells pivots and geometric transforms out as helper nodes, which the
        // conversion folds back: pivots into the placement, geometric transforms into the vertices.
        importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, true);
        if (!fbx) {
            const std::string mtl = objMtlFallback(path);
            if (!mtl.empty())
                importer.SetIOHandler(makeObjMtlIOSystem(path, mtl));
        }
        // No post-processing beyond the structure check: triangulation, mesh merging, vertex
        // joining and normal generation would all lose what the file says. The check refuses
        // files without meshes or faces, which deserve their own message, so it runs afterwards.
        const aiScene* scene = importer.ReadFile(path, 0);
        if (scene && scene->mRootNode && !hasPolygons(*scene)) {
            setError(error, name + " contains no polygon meshes.");
            return false;
        }
        if (scene)
            scene = importer.ApplyPostProcessing(aiProcess_ValidateDataStructure);
        if (!scene || !scene->mRootNode) {
            std::string reason = importer.GetErrorString();
            while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ' || reason.back() == '.'))
                reason.pop_back();
            if (reason.empty())
                reason = "the file could not be parsed";
            setError(error, "Could not read " + name + ": " + reason + ".");
            return false;
        }

        ModelData model;
        const SpaceConversion space = fbx ? fbxSpaceConversion(scene->mMetaData) : SpaceConversion{};
        Converter converter(*scene, pathToUtf8(pathFromUtf8(path).parent_path()), space, model);
        converter.convertNode(*scene->mRootNode, -1, glm::dmat4(1.0), glm::dmat4(1.0), false);
        if (model.objects.empty()) {
            setError(error, name + " contains no polygon meshes.");
            return false;
        }
        converter.finish(messages);
        out = std::move(model);
        return true;
    } catch (const std::bad_alloc&) {
        setError(error, "Could not read " + name + ": not enough memory.");
    } catch (const std::exception& e) {
        setError(error, "Could not read " + name + ": " + e.what() + ".");
    }
    return false;
}

} // namespace orva::io
