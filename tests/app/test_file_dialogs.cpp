// FileDialogService: the answer path is driven through the same callback SDL calls, directly and from
// another thread; SDL itself is only asked for dialogs it refuses before any window could open.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <SDL3/SDL.h>

#include "app/file_dialogs.h"

using orva::FileDialogService;
using Result = FileDialogService::Result;

namespace {

const std::vector<FileDialogService::Filter> kImageFilters = {{"Images", "png;jpg;jpeg"}, {"All files", "*"}};

// What SDL hands the callback: null-terminated lists of UTF-8 paths.
const char* const kOneFile[] = {"/tmp/scene.orva", nullptr};
const char* const kTwoFiles[] = {"/tmp/first.png", "/tmp/second.png", nullptr};
const char* const kNoFile[] = {nullptr};

std::string describe(const Result& r) {
    return "tag " + std::to_string(r.tag) + (r.accepted ? " accepted" : "") + (r.failed ? " failed" : "") + " path '" +
           r.path + "' error '" + r.error + "'";
}

} // namespace

// Two dialogs started in one frame answer in the order their callbacks ran, each with its own tag;
// the count of open dialogs follows.
TEST(FileDialogService, ResultsComeOutInCallbackOrder) {
    FileDialogService service(nullptr);
    EXPECT_FALSE(service.pending());
    FileDialogService::Request* open = service.startRequest(1, kImageFilters);
    FileDialogService::Request* save = service.startRequest(2, {});
    EXPECT_EQ(service.pendingCount(), 2);

    FileDialogService::callback(save, kOneFile, 0);
    EXPECT_EQ(service.pendingCount(), 1);
    EXPECT_TRUE(service.pending());
    FileDialogService::callback(open, kTwoFiles, -1);
    EXPECT_FALSE(service.pending());

    Result r;
    ASSERT_TRUE(service.poll(r));
    EXPECT_EQ(r.tag, 2) << describe(r);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.path, "/tmp/scene.orva");
    ASSERT_TRUE(service.poll(r));
    EXPECT_EQ(r.tag, 1) << describe(r);
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.path, "/tmp/first.png") << "only the first of several chosen files";

    // An empty queue leaves the out-parameter as it was.
    EXPECT_FALSE(service.poll(r));
    EXPECT_EQ(r.tag, 1);
    EXPECT_EQ(r.path, "/tmp/first.png");
}

// Cancelling is not an error but still a result; a null list is SDL's failure, with its message.
TEST(FileDialogService, CancelAndFailure) {
    FileDialogService service(nullptr);
    FileDialogService::callback(service.startRequest(7, kImageFilters), kNoFile, -1);
    SDL_SetError("no dialog backend here");
    FileDialogService::callback(service.startRequest(8, {}), nullptr, -1);
    EXPECT_FALSE(service.pending());

    Result cancelled, failed;
    ASSERT_TRUE(service.poll(cancelled));
    ASSERT_TRUE(service.poll(failed));
    EXPECT_EQ(cancelled.tag, 7);
    EXPECT_FALSE(cancelled.accepted) << describe(cancelled);
    EXPECT_FALSE(cancelled.failed) << describe(cancelled);
    EXPECT_TRUE(cancelled.path.empty());
    EXPECT_EQ(failed.tag, 8);
    EXPECT_TRUE(failed.failed) << describe(failed);
    EXPECT_FALSE(failed.accepted);
    EXPECT_EQ(failed.error, "no dialog backend here");
}

// SDL may answer on a thread of its own while the main thread polls every frame: every answer arrives
// once, in the order the other thread gave them, and the open count ends at zero.
TEST(FileDialogService, AnswersFromAnotherThread) {
    FileDialogService service(nullptr);
    constexpr int kDialogs = 200;
    std::vector<FileDialogService::Request*> requests;
    for (int tag = 0; tag < kDialogs; ++tag)
        requests.push_back(service.startRequest(tag, kImageFilters));

    std::thread sdlThread([&requests] {
        for (size_t i = 0; i < requests.size(); ++i)
            FileDialogService::callback(requests[i], i % 2 ? kNoFile : kOneFile, -1);
    });
    std::vector<Result> received;
    Result r;
    while (received.size() < size_t(kDialogs)) {
        if (service.poll(r))
            received.push_back(r);
        else
            std::this_thread::yield();
    }
    sdlThread.join();

    EXPECT_FALSE(service.pending());
    EXPECT_FALSE(service.poll(r));
    for (int i = 0; i < kDialogs; ++i) {
        EXPECT_EQ(received[size_t(i)].tag, i);
        EXPECT_EQ(received[size_t(i)].accepted, i % 2 == 0) << describe(received[size_t(i)]);
    }
}

// SDL refuses a filter pattern with a space before showing anything, answering through the callback:
// the failure carries SDL's message and the dialog no longer counts as open. Both kinds.
TEST(FileDialogService, SdlRefusalBecomesAFailedResult) {
    FileDialogService service(nullptr);
    service.show(FileDialogService::Kind::Open, 3, {{"Bad", "png jpg"}}, "");
    service.show(FileDialogService::Kind::Save, 4, {{"Bad", "*.png"}}, "/tmp/out.orva");
    EXPECT_FALSE(service.pending());
    for (int tag : {3, 4}) {
        Result r;
        ASSERT_TRUE(service.poll(r)) << tag;
        EXPECT_EQ(r.tag, tag);
        EXPECT_TRUE(r.failed) << describe(r);
        EXPECT_NE(r.error.find("filter"), std::string::npos) << describe(r);
    }
}

// An empty pattern is sent to SDL as "*", all files (SDL's own check would read the byte before an
// empty one). With no dialog driver allowed, the request gets past the filter check and fails on the
// missing driver instead.
TEST(FileDialogService, EmptyPatternMeansAllFiles) {
    SDL_SetHint(SDL_HINT_FILE_DIALOG_DRIVER, "none");
    FileDialogService service(nullptr);
    service.show(FileDialogService::Kind::Open, 5, {{"Anything", ""}}, "");
    Result r;
    ASSERT_TRUE(service.poll(r));
    EXPECT_TRUE(r.failed) << describe(r);
    EXPECT_EQ(r.error.find("filter"), std::string::npos) << describe(r);
    EXPECT_FALSE(service.pending());
    SDL_ResetHint(SDL_HINT_FILE_DIALOG_DRIVER);
}

// A dialog still open when the service goes away answers into the queue it shares, not into freed
// memory (AddressSanitizer builds see the difference).
TEST(FileDialogService, AnswerAfterTheServiceIsGone) {
    FileDialogService::Request* request = nullptr;
    {
        FileDialogService service(nullptr);
        request = service.startRequest(9, kImageFilters);
    }
    FileDialogService::callback(request, kOneFile, 0);
}

TEST(FileDialogService, ChooseDirectoryDeclines) {
    FileDialogService service(nullptr);
    std::string path = "/home/user/untouched";
    EXPECT_FALSE(service.chooseDirectory(path));
    EXPECT_EQ(path, "/home/user/untouched");
    EXPECT_FALSE(service.pending());
}
