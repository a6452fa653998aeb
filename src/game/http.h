#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The HTTP/1.1 of the local web server, without sockets: answering one request for a static file
// below a root folder, and the header block of a response. The server reads the request from its
// socket, calls `answerRequest` and writes the answer with `sendResponse` (local_web_server.h).
namespace orva::game {

// A request header that has grown beyond this many bytes without its terminating blank line is
// answered from what arrived (only the request line matters here).
constexpr size_t kMaxRequestHeaderBytes = 16383;

// One answer. Content-Length is always `body.size()`; `sendBody` false (HEAD) sends the header
// block alone.
struct HttpResponse {
    int status = 0;
    std::string reason;      // "OK", "Not Found", ...
    std::string contentType; // the Content-Type header value
    std::string body;
    bool sendBody = true;
};

// "%" followed by two hexadecimal digits (either case) becomes that byte; any other "%" stays as
// it is. No "+" to space: that belongs to form data, not to paths.
std::string percentDecode(std::string_view text);

// The Content-Type for a file, chosen by its extension compared in lower case;
// "application/octet-stream" for anything unknown or without an extension.
const char* contentTypeForPath(std::string_view path);

// Answers one request (the bytes received so far: at least the request line) for the files below
// `root` (a UTF-8 folder path). GET answers with the file, HEAD with its headers only, other
// methods with 405; a request line without two blanks gets 400; a target that leaves the root
// (a ".." step, a backslash, an absolute path) gets 403; a missing or unreadable file or a folder
// gets 404. A target that is empty or ends in "/" names the folder's index.html. The query and
// fragment are ignored. Error answers carry their reason phrase as a plain-text body.
HttpResponse answerRequest(std::string_view request, const std::string& root);

// The header block of a response, up to and including the blank line: status line,
// Content-Type, Content-Length, "Cache-Control: no-store" and "Connection: close".
std::string responseHeader(int status, std::string_view reason, std::string_view contentType, size_t contentLength);

} // namespace orva::game
