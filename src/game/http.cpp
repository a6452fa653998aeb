#include "game/http.h"

#include <filesystem>
#include <system_error>

#include "io/file_utils.h"

namespace orva::game {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Locale-independent: only A-Z change.
char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Error answers name themselves in their body, so a person looking at the browser sees why.
HttpResponse errorResponse(int status, const char* reason, bool sendBody) {
    HttpResponse response;
    response.status = status;
    response.reason = reason;
    response.contentType = "text/plain; charset=utf-8";
    response.body = reason;
    response.sendBody = sendBody;
    return response;
}

// The path below the root that a decoded request path names, or false when it would leave the
// root. The check is lexical: ".." steps are resolved on the text before anything touches the disk.
bool relativePathInsideRoot(const std::string& decoded, std::filesystem::path* relative) {
    if (decoded.empty() || decoded[0] != '/')
        return false;
    // A backslash is a separator on some systems and never part of a name a build writes.
    if (decoded.find('\\') != std::string::npos)
        return false;
    std::filesystem::path rel = io::pathFromUtf8(decoded.substr(1)).lexically_normal();
    if (rel.empty() || rel.has_root_directory() || rel.has_root_name())
        return false;
    if (*rel.begin() == "..")
        return false;
    *relative = std::move(rel);
    return true;
}

} // namespace

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out.push_back(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

const char* contentTypeForPath(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    std::string extension;
    if (dot != std::string_view::npos)
        for (char c : name.substr(dot))
            extension.push_back(asciiLower(c));

    static const struct {
        const char* extension;
        const char* type;
    } kTypes[] = {
        {".html", "text/html; charset=utf-8"},
        {".htm", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".mjs", "text/javascript; charset=utf-8"},
        {".json", "application/json"},
        {".glb", "model/gltf-binary"},
        {".gltf", "model/gltf+json"},
        {".css", "text/css; charset=utf-8"},
        {".png", "image/png"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".wasm", "application/wasm"},
        {".txt", "text/plain; charset=utf-8"},
    };
    for (const auto& entry : kTypes)
        if (extension == entry.extension)
            return entry.type;
    return "application/octet-stream";
}

HttpResponse answerRequest(std::string_view request, const std::string& root) {
    // Request line: method, blank, target, blank, version (the version is not looked at).
    const size_t lineEnd = request.find("\r\n");
    const std::string_view line = lineEnd == std::string_view::npos ? request : request.substr(0, lineEnd);
    const size_t firstBlank = line.find(' ');
    const size_t secondBlank = firstBlank == std::string_view::npos ? firstBlank : line.find(' ', firstBlank + 1);
    if (secondBlank == std::string_view::npos)
        return errorResponse(400, "Bad Request", true);
    const std::string_view method = line.substr(0, firstBlank);
    const std::string_view target = line.substr(firstBlank + 1, secondBlank - firstBlank - 1);

    bool sendBody;
    if (method == "GET")
        sendBody = true;
    else if (method == "HEAD")
        sendBody = false;
    else
        return errorResponse(405, "Method Not Allowed", true);

    std::string path = percentDecode(target.substr(0, target.find_first_of("?#")));
    if (path.empty() || path.back() == '/')
        path += "index.html";

    std::filesystem::path relative;
    if (!relativePathInsideRoot(path, &relative))
        return errorResponse(403, "Forbidden", sendBody);
    // No file name holds a NUL byte, and the system calls below would stop reading at one and
    // look up a different file.
    if (path.find('\0') != std::string::npos)
        return errorResponse(404, "Not Found", sendBody);

    const std::filesystem::path full = io::pathFromUtf8(root) / relative;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(full, ec))
        return errorResponse(404, "Not Found", sendBody);
    HttpResponse response;
    // A file that exists but cannot be read is reported as missing rather than served empty.
    if (!io::readFile(io::pathToUtf8(full), response.body))
        return errorResponse(404, "Not Found", sendBody);
    response.status = 200;
    response.reason = "OK";
    response.contentType = contentTypeForPath(path);
    response.sendBody = sendBody;
    return response;
}

std::string responseHeader(int status, std::string_view reason, std::string_view contentType, size_t contentLength) {
    std::string header = "HTTP/1.1 " + std::to_string(status) + " ";
    header += reason;
    header += "\r\nContent-Type: ";
    header += contentType;
    header += "\r\nContent-Length: " + std::to_string(contentLength);
    header += "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    return header;
}

} // namespace orva::game
