#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <SDL3/SDL_dialog.h>

namespace orva {

// The operating system's open-file and save-file dialogs, through SDL, without blocking the frame
// loop. A dialog is started with a caller-chosen tag; SDL answers later, possibly on a thread of its
// own, and the answer waits as a Result in a mutex-guarded queue until the editor polls it on the
// main thread. There is no native folder picker: chooseDirectory always declines.
//
// The queue is shared with the dialogs still open, so destroying the service while one is open is
// safe: its answer is dropped when it arrives.
class FileDialogService {
public:
    enum class Kind {
        Open = 0, // open an existing file
        Save = 1, // choose a file to write
    };

    struct Filter {
        std::string name;    // label in the dialog's type list
        std::string pattern; // semicolon-separated extensions without dots ("png;jpg"); "*" or empty: all files
    };

    struct Result {
        int tag = 0;           // the tag given to show
        bool accepted = false; // the user chose a file: `path` holds it
        bool failed = false;   // SDL reported an error instead of an answer: `error` holds its message
        std::string path;      // the chosen file (only the first one when several were chosen)
        std::string error;     // SDL's message when `failed`
        // Neither flag set: the user cancelled.
    };

    // The request record that travels through SDL as the callback's user data; the callback frees it.
    struct Request;

    // `window` is the dialogs' parent; it may be null.
    explicit FileDialogService(SDL_Window* window);
    ~FileDialogService();
    FileDialogService(const FileDialogService&) = delete;
    FileDialogService& operator=(const FileDialogService&) = delete;

    // Starts a dialog and returns at once; its Result arrives through poll, in a later frame or, when
    // SDL cannot show a dialog, already before show returns. An empty `defaultLocation` lets the
    // system choose where the dialog opens. Main thread.
    void show(Kind kind, int tag, const std::vector<Filter>& filters, const std::string& defaultLocation);

    // Moves the oldest waiting result into `out` and returns true; false (with `out` untouched) when
    // none waits. Main thread.
    bool poll(Result& out);
    // True while at least one dialog is open.
    bool pending() const;
    // Dialogs started whose answer has not arrived yet.
    int pendingCount() const;
    // Always false, leaving `path` untouched: the editor asks for folders with its own path prompt.
    bool chooseDirectory(std::string& path) const;

    // The first half of show: records a dialog with `tag` and its filters and counts it as open. The
    // record must be answered by exactly one call of callback. show uses it; tests call it to drive
    // the answer path without a real dialog.
    Request* startRequest(int tag, const std::vector<Filter>& filters);
    // The function handed to SDL. `filelist` null: SDL failed (its message is read with SDL_GetError);
    // a list whose first entry is null: cancelled; otherwise the first entry is the chosen file.
    // Takes ownership of `userdata` (a Request) and frees it. Any thread.
    static void SDLCALL callback(void* userdata, const char* const* filelist, int filter);
    // Appends a result to the queue and counts one open dialog fewer. Any thread.
    void push(Result result);

    SDL_Window* window = nullptr;

private:
    struct Queue {
        std::mutex mutex; // guards everything below
        std::deque<Result> results;
        int pendingCount = 0;
    };
    static void pushTo(Queue& queue, Result result);

    std::shared_ptr<Queue> queue_;
};

} // namespace orva
