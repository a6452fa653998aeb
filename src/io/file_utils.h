#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>

// Path helpers, whole-file reading and crash-safe writing. Paths travel through the program as
// UTF-8 strings; only these functions turn them into filesystem paths.
namespace orva::io {

// No normalisation in either direction.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string pathToUtf8(const std::filesystem::path& path);

// The extension of a file name starts at its last '.', except that a name whose only dot is its
// first character (".bashrc") has none: a.tar.gz has stem "a.tar" and extension ".gz".
std::string fileName(const std::string& path);
std::string fileStem(const std::string& path);
// Replaces the extension (or adds one when there is none).
std::string replaceExtension(const std::string& path, const std::string& extension);
// Appends `extension` unless the raw tail of `path` already matches it case-insensitively
// (scene.ORVA stays, scene.obj becomes scene.obj.orva).
std::string ensureExtension(const std::string& path, const std::string& extension);

// Reads the whole file at `path` in binary mode into `out` (replacing its content).
// Returns false and fills `error` (when given) with one sentence when the file cannot be
// opened or read; `out` is then unspecified.
bool readFile(const std::string& path, std::string& out, std::string* error = nullptr);

// Writes `size` bytes from `data` so that `path` is never left half-written: the bytes go to
// `path` + ".tmp" in the same folder, are flushed to disk, and the temporary file is renamed
// over `path`. The folder must exist; nothing here creates folders. On failure returns false,
// fills `error` (when given), removes the temporary file and leaves any previous file at
// `path` untouched. `data` may be null only when `size` is 0.
bool writeFileAtomic(const std::string& path, const void* data, size_t size, std::string* error = nullptr);

// Writes all `size` bytes to the descriptor, retrying writes cut short by signals or partial
// transfers; false on any real failure. Safe in a forked child (it only calls write).
bool writeAll(int fd, const void* data, size_t size);

// Stores `message` in `error` when the caller asked for one; the io functions report this way.
inline void setError(std::string* error, std::string message) {
    if (error)
        *error = std::move(message);
}

} // namespace orva::io
