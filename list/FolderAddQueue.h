// Folders dropped on the editor's list or pasted into it wait for the folder check's answers
// before they become rows: the check runs off the window's thread (a folder on a server that does
// not answer would hold the window up for as long as the network waits), and the window keeps
// handling messages meanwhile. Here, without windows or threads: which answer makes a path a row,
// a row marked unknown or a refusal, and the adds waiting in the order they came, each handed out
// once every path of it, and of every add before it, has its answer.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/FolderPath.h"

namespace qd {

// What becomes of a dropped or pasted path.
enum class FolderAddVerdict {
    Add,         // the folder is there
    AddUnknown,  // no clear answer (none in time, the drive or share away): added, marked unknown
    Refuse,      // surely no folder: not a full path, nothing there, or a file
};

// The verdict on a path by the check's answer; no answer at all (a path that is not full is never
// asked about) refuses it.
FolderAddVerdict FolderAddVerdictOf(std::optional<tk::TFolderState> answer);

class FolderAddQueue {
public:
    // Hands a question to the folder check; its answer comes back through Answer.
    using Asker = std::function<void(std::uint64_t ticket, const std::wstring& path)>;

    // One drop or paste whose answers are all in: its paths in their order, the verdict on each,
    // and the name of the change in the undo history.
    struct Ready {
        std::vector<std::wstring> Paths;
        std::vector<FolderAddVerdict> Verdicts;
        std::wstring Step;
    };

    // Tickets are numbered from firstTicket up, apart from those of other questions of the check.
    FolderAddQueue(std::uint64_t firstTicket, Asker ask);

    // Queues a drop or paste and asks about each distinct full path of it.
    void Push(const std::vector<std::wstring>& paths, const std::wstring& step);
    // Whether a ticket is one of this queue's.
    bool Owns(std::uint64_t ticket) const { return ticket >= firstTicket_; }
    // An answer of the check; one about no question of the queue (or another path) is dropped.
    void Answer(std::uint64_t ticket, const std::wstring& path, tk::TFolderState state);
    // The adds at the front whose answers are all in, in the order they came, taken off the queue.
    std::vector<Ready> TakeReady();
    // Adds waiting for answers.
    std::size_t Waiting() const { return adds_.size(); }

private:
    struct Pending {
        std::vector<std::wstring> paths;
        std::wstring step;
        std::unordered_map<std::wstring, tk::TFolderState> answers;
        std::size_t unanswered = 0;
    };

    std::uint64_t firstTicket_, nextTicket_;
    Asker ask_;
    std::deque<Pending> adds_;
    std::uint64_t firstSerial_ = 0;  // the serial number of adds_.front()
    // Questions on their way: ticket -> the add's serial number and the path asked about.
    std::unordered_map<std::uint64_t, std::pair<std::uint64_t, std::wstring>> asked_;
};

}  // namespace qd
