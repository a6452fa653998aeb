#include "io/obj_mtl_fallback.h"

#include "io/file_utils.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/IOStream.hpp>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace orva::io {

namespace {

bool mentionsMtllib(const std::string& path) {
    static constexpr char kToken[] = "mtllib";
    constexpr size_t kTokenSize = sizeof(kToken) - 1;
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in)
        return true; // unreadable: leave the file alone
    std::string chunk(size_t(1) << 20, '\0');
    size_t carried = 0; // the end of the previous chunk, so a token across chunks is still seen
    for (;;) {
        in.read(chunk.data() + carried, std::streamsize(chunk.size() - carried));
        const size_t filled = carried + size_t(in.gcount());
        if (std::search(chunk.begin(), chunk.begin() + std::ptrdiff_t(filled), kToken, kToken + kTokenSize) !=
            chunk.begin() + std::ptrdiff_t(filled))
            return true;
        if (!in)
            return false;
        carried = std::min(filled, kTokenSize - 1);
        std::memmove(chunk.data(), chunk.data() + filled - carried, carried);
    }
}

// The OBJ file seen through a prefix line: reads, seeks and sizes cover the prefix and the file.
class PrefixedStream : public Assimp::IOStream {
public:
    PrefixedStream(std::string prefix, Assimp::IOStream* file) : prefix_(std::move(prefix)), file_(file) {}
    ~PrefixedStream() override { delete file_; }

    size_t Read(void* buffer, size_t size, size_t count) override {
        if (size == 0 || count == 0)
            return 0;
        const size_t total = size * count;
        char* out = static_cast<char*>(buffer);
        size_t done = 0;
        if (pos_ < prefix_.size()) {
            done = std::min(total, prefix_.size() - pos_);
            std::memcpy(out, prefix_.data() + pos_, done);
            pos_ += done;
        }
        if (done < total) {
            if (file_->Tell() != pos_ - prefix_.size())
                file_->Seek(pos_ - prefix_.size(), aiOrigin_SET);
            const size_t got = file_->Read(out + done, 1, total - done);
            done += got;
            pos_ += got;
        }
        return done / size;
    }
    size_t Write(const void*, size_t, size_t) override { return 0; }
    aiReturn Seek(size_t offset, aiOrigin origin) override {
        size_t target = 0;
        switch (origin) {
        case aiOrigin_SET:
            target = offset;
            break;
        case aiOrigin_CUR:
            target = pos_ + offset;
            break;
        case aiOrigin_END:
            if (offset > FileSize())
                return aiReturn_FAILURE;
            target = FileSize() - offset;
            break;
        default:
            return aiReturn_FAILURE;
        }
        if (target > FileSize())
            return aiReturn_FAILURE;
        pos_ = target;
        return aiReturn_SUCCESS;
    }
    size_t Tell() const override { return pos_; }
    size_t FileSize() const override { return prefix_.size() + file_->FileSize(); }
    void Flush() override {}

private:
    std::string prefix_;
    Assimp::IOStream* file_;
    size_t pos_ = 0;
};

class ObjMtlIOSystem : public Assimp::DefaultIOSystem {
public:
    ObjMtlIOSystem(std::string objPath, std::string mtlName)
        : objPath_(std::move(objPath)), prefix_("mtllib " + std::move(mtlName) + "\n") {}

    Assimp::IOStream* Open(const char* file, const char* mode) override {
        Assimp::IOStream* stream = DefaultIOSystem::Open(file, mode);
        if (stream && file && objPath_ == file)
            return new PrefixedStream(prefix_, stream);
        return stream;
    }

private:
    std::string objPath_;
    std::string prefix_;
};

} // namespace

std::string objMtlFallback(const std::string& objPath) {
    const std::string mtlName = fileStem(objPath) + ".mtl";
    std::error_code ec;
    const std::filesystem::path mtl = pathFromUtf8(objPath).parent_path() / pathFromUtf8(mtlName);
    if (!std::filesystem::is_regular_file(mtl, ec) || mentionsMtllib(objPath))
        return {};
    return mtlName;
}

Assimp::IOSystem* makeObjMtlIOSystem(const std::string& objPath, const std::string& mtlName) {
    return new ObjMtlIOSystem(objPath, mtlName);
}

} // namespace orva::io
