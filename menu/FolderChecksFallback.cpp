// The simple form of the folder checks: one thread per batch checks the paths one after the other,
// without a time limit of its own (a path that does not answer delays the results of the paths
// after it, never the menu).
#include <mutex>
#include <thread>

#include "menu/FolderChecks.h"

namespace qd::menu {

namespace {

// What the checking threads and the menu share; it outlives both.
struct Shared {
    std::mutex mutex;
    unsigned batch = 0;
    std::vector<std::pair<int, FolderState>> results;
    bool posted = false;
};

class ThreadFolderChecks : public FolderChecks {
public:
    ThreadFolderChecks(HWND window, UINT message)
        : window_(window), message_(message), shared_(std::make_shared<Shared>()) {}

    void Start(std::vector<std::wstring> paths) override {
        unsigned batch = 0;
        {
            const std::lock_guard lock(shared_->mutex);
            batch = ++shared_->batch;
            shared_->results.clear();
        }
        std::thread([shared = shared_, batch, paths = std::move(paths), window = window_, message = message_] {
            // No box of the system for a drive without a medium; for this thread alone.
            SetThreadErrorMode(SEM_FAILCRITICALERRORS, nullptr);
            for (size_t i = 0; i < paths.size(); ++i) {
                const DWORD attributes = GetFileAttributesW(paths[i].c_str());
                const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
                const FolderState state = folder ? FolderState::Exists : FolderState::Missing;
                const std::lock_guard lock(shared->mutex);
                if (shared->batch != batch) return;
                shared->results.emplace_back(static_cast<int>(i), state);
                if (!shared->posted) shared->posted = PostMessageW(window, message, 0, 0) != 0;
            }
        }).detach();
    }

    std::vector<std::pair<int, FolderState>> TakeResults() override {
        const std::lock_guard lock(shared_->mutex);
        shared_->posted = false;
        return std::exchange(shared_->results, {});
    }

private:
    HWND window_;
    UINT message_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace

std::unique_ptr<FolderChecks> MakeFolderChecks(HWND window, UINT message) {
    return std::make_unique<ThreadFolderChecks>(window, message);
}

}  // namespace qd::menu
