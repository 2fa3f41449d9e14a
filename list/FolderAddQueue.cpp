#include "list/FolderAddQueue.h"

#include <unordered_set>
#include <utility>

#include "list/PathRules.h"

namespace qd {

FolderAddVerdict FolderAddVerdictOf(std::optional<tk::TFolderState> answer) {
    if (!answer) return FolderAddVerdict::Refuse;
    switch (*answer) {
    case tk::TFolderState::Present:
        return FolderAddVerdict::Add;
    case tk::TFolderState::Unknown:
        return FolderAddVerdict::AddUnknown;
    case tk::TFolderState::Missing:
        break;
    }
    return FolderAddVerdict::Refuse;
}

FolderAddQueue::FolderAddQueue(std::uint64_t firstTicket, Asker ask)
    : firstTicket_(firstTicket), nextTicket_(firstTicket), ask_(std::move(ask)) {}

void FolderAddQueue::Push(const std::vector<std::wstring>& paths, const std::wstring& step) {
    const std::uint64_t serial = firstSerial_ + adds_.size();
    adds_.push_back({paths, step, {}, 0});
    std::unordered_set<std::wstring> asking;
    for (const std::wstring& path : paths)
        if (IsFullPath(path) && asking.insert(path).second) ++adds_.back().unanswered;
    // Asked only once the add is counted: an answer may in principle come back at once.
    asking.clear();
    for (const std::wstring& path : paths) {
        if (!IsFullPath(path) || !asking.insert(path).second) continue;
        const std::uint64_t ticket = nextTicket_++;
        asked_.emplace(ticket, std::make_pair(serial, path));
        ask_(ticket, path);
    }
}

void FolderAddQueue::Answer(std::uint64_t ticket, const std::wstring& path, tk::TFolderState state) {
    const auto asked = asked_.find(ticket);
    if (asked == asked_.end() || asked->second.second != path) return;
    const std::uint64_t serial = asked->second.first;
    asked_.erase(asked);
    if (serial < firstSerial_ || serial - firstSerial_ >= adds_.size()) return;
    Pending& add = adds_[static_cast<std::size_t>(serial - firstSerial_)];
    if (add.answers.emplace(path, state).second) --add.unanswered;
}

std::vector<FolderAddQueue::Ready> FolderAddQueue::TakeReady() {
    std::vector<Ready> ready;
    while (!adds_.empty() && adds_.front().unanswered == 0) {
        Pending& add = adds_.front();
        Ready r{std::move(add.paths), {}, std::move(add.step)};
        r.Verdicts.reserve(r.Paths.size());
        for (const std::wstring& path : r.Paths) {
            const auto answer = add.answers.find(path);
            r.Verdicts.push_back(FolderAddVerdictOf(
                answer == add.answers.end() ? std::nullopt : std::optional<tk::TFolderState>(answer->second)));
        }
        ready.push_back(std::move(r));
        adds_.pop_front();
        ++firstSerial_;
    }
    return ready;
}

}  // namespace qd
