#include "app/file_dialogs.h"

#include <SDL3/SDL.h>

namespace orva {

struct FileDialogService::Request {
    std::shared_ptr<Queue> queue; // keeps the queue alive while SDL holds the record
    int tag = 0;
    std::vector<Filter> filters;                  // the caller's filters, copied
    std::vector<SDL_DialogFileFilter> sdlFilters; // points into `filters`; SDL reads it until the callback
};

FileDialogService::FileDialogService(SDL_Window* window) : window(window), queue_(std::make_shared<Queue>()) {}

FileDialogService::~FileDialogService() {
    std::lock_guard<std::mutex> lock(queue_->mutex);
    queue_->results.clear();
}

FileDialogService::Request* FileDialogService::startRequest(int tag, const std::vector<Filter>& filters) {
    auto request = std::make_unique<Request>();
    request->queue = queue_;
    request->tag = tag;
    request->filters = filters;
    request->sdlFilters.reserve(request->filters.size());
    for (Filter& filter : request->filters) {
        // SDL reads one byte before an empty pattern; an empty pattern means every file anyway.
        if (filter.pattern.empty())
            filter.pattern = "*";
        request->sdlFilters.push_back({filter.name.c_str(), filter.pattern.c_str()});
    }
    {
        // Counted before SDL sees the dialog, so an immediate answer cannot drive the count negative.
        std::lock_guard<std::mutex> lock(queue_->mutex);
        ++queue_->pendingCount;
    }
    return request.release();
}

void FileDialogService::show(Kind kind, int tag, const std::vector<Filter>& filters,
                             const std::string& defaultLocation) {
    Request* request = startRequest(tag, filters);
    const SDL_DialogFileFilter* sdlFilters = request->sdlFilters.empty() ? nullptr : request->sdlFilters.data();
    const int count = int(request->sdlFilters.size());
    const char* location = defaultLocation.empty() ? nullptr : defaultLocation.c_str();
    // From here on the record belongs to SDL, which hands it to callback exactly once.
    if (kind == Kind::Open)
        SDL_ShowOpenFileDialog(callback, request, window, sdlFilters, count, location, false);
    else
        SDL_ShowSaveFileDialog(callback, request, window, sdlFilters, count, location);
}

void SDLCALL FileDialogService::callback(void* userdata, const char* const* filelist, int /*filter*/) {
    std::unique_ptr<Request> request(static_cast<Request*>(userdata));
    if (!request)
        return;
    Result result;
    result.tag = request->tag;
    if (!filelist) {
        result.failed = true;
        result.error = SDL_GetError();
    } else if (filelist[0]) {
        result.accepted = true;
        result.path = filelist[0];
    }
    pushTo(*request->queue, std::move(result));
}

void FileDialogService::push(Result result) { pushTo(*queue_, std::move(result)); }

void FileDialogService::pushTo(Queue& queue, Result result) {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.results.push_back(std::move(result));
    if (queue.pendingCount > 0)
        --queue.pendingCount;
}

bool FileDialogService::poll(Result& out) {
    std::lock_guard<std::mutex> lock(queue_->mutex);
    if (queue_->results.empty())
        return false;
    out = std::move(queue_->results.front());
    queue_->results.pop_front();
    return true;
}

bool FileDialogService::pending() const { return pendingCount() > 0; }

int FileDialogService::pendingCount() const {
    std::lock_guard<std::mutex> lock(queue_->mutex);
    return queue_->pendingCount;
}

bool FileDialogService::chooseDirectory(std::string& /*path*/) const { return false; }

} // namespace orva
