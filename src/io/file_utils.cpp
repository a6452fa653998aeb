#include "io/file_utils.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orva::io {

namespace {

// Locale-independent: only A-Z change.
char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Makes a finished rename durable: the new directory entry reaches the disk with the folder.
// Best effort: some filesystems refuse fsync on folders, and the file is already in place.
void syncParentFolder(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

// Paths are byte strings on POSIX systems, which we take to be UTF-8 as the rest of the program
// does; Windows paths are UTF-16, reached through the char8_t forms.
std::filesystem::path pathFromUtf8(const std::string& text) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return std::filesystem::path(text);
#endif
}

std::string pathToUtf8(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.native();
#endif
}

// std::filesystem's stem/extension rule is ours: the extension starts at the last '.', except
// for a name whose only dot is its first character, and for "." and "..".
std::string fileName(const std::string& path) { return pathToUtf8(pathFromUtf8(path).filename()); }

std::string fileStem(const std::string& path) { return pathToUtf8(pathFromUtf8(path).stem()); }

std::string replaceExtension(const std::string& path, const std::string& extension) {
    return pathToUtf8(pathFromUtf8(path).replace_extension(pathFromUtf8(extension)));
}

std::string ensureExtension(const std::string& path, const std::string& extension) {
    if (path.size() >= extension.size()) {
        const size_t offset = path.size() - extension.size();
        bool same = true;
        for (size_t i = 0; i < extension.size() && same; ++i)
            same = asciiLower(path[offset + i]) == asciiLower(extension[i]);
        if (same)
            return path;
    }
    return path + extension;
}

bool readFile(const std::string& path, std::string& out, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        setError(error, "Cannot open file for reading: " + path);
        return false;
    }
    // One read into a buffer sized from the file; the loop only continues for short reads
    // (pipes, files that grew since the stat).
    out.clear();
    out.resize(size_t(st.st_size));
    size_t used = 0;
    bool ok = true;
    for (;;) {
        if (used == out.size())
            out.resize(out.size() + 65536);
        ssize_t n = ::read(fd, out.data() + used, out.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        used += size_t(n);
    }
    ::close(fd);
    out.resize(used);
    if (!ok) {
        out.clear();
        setError(error, "Failed to read file: " + path);
    }
    return ok;
}

bool writeFileAtomic(const std::string& path, const void* data, size_t size, std::string* error) {
    const std::string tmp = path + ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        setError(error, "Cannot open file for writing: " + path);
        return false;
    }
    // fsync before the rename: otherwise a power cut can leave an empty file under the old name.
    bool ok = writeAll(fd, static_cast<const unsigned char*>(data), size) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(tmp.c_str());
        setError(error, "Failed to write file: " + path);
        return false;
    }
    // rename() replaces the destination atomically here, so a failure is final: the old file
    // is kept rather than deleted in the hope that a second rename works.
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        setError(error, "Failed to replace " + path + ": " + std::strerror(err));
        return false;
    }
    syncParentFolder(path);
    return true;
}

bool writeAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace orva::io
