#pragma once

#include <cstddef>
#include <string>

// Whole-file reading and crash-safe writing. Paths are UTF-8 strings.
namespace orva::io {

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

} // namespace orva::io
