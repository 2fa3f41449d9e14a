// Keeps the rows' folder marks in step with a folder probe, without windows or threads of its own
// (tests drive it directly). It asks about the rows' paths after a load or refresh, for new rows
// and new paths, and on command, each distinct path once; an answer is put on every row that holds
// the path asked about when it arrives, wherever the rows have moved meanwhile, and never on a row
// that holds another path by then. Only the newest question about a path counts: an answer to an
// earlier one is dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "list/ShortcutModel.h"
#include "toolkit/FolderPath.h"

namespace qd {

class FolderCheck {
public:
    // How questions reach the probe.
    struct Asker {
        std::function<void(std::uint64_t ticket, const std::wstring& path)> Ask;
        // Drops the questions not yet being answered.
        std::function<void()> CancelWaiting;
    };

    FolderCheck(ShortcutModel& model, Asker asker);

    // Asks about every row's path again; each row keeps its marks until its answer comes.
    void CheckAll();
    // Follows a change of the model: a new list is checked whole, new rows and rows that now
    // hold a path not yet asked about are checked.
    void ModelChanged(const ModelChange& change);
    // Takes a path as asked about by a question made elsewhere (the check of folders dropped or
    // pasted, whose answers are in before their rows are added): rows given the path meanwhile
    // are not asked about again, and the answer, handed to Answer with the ticket returned, lands
    // as the probe's would. Answer it even when no row came of it: until then it counts as pending.
    std::uint64_t Expect(const std::wstring& path);
    // Answers of the probe, put on the rows together.
    void Answer(const std::vector<tk::TFolderAnswer>& answers);
    void Answer(std::uint64_t ticket, const std::wstring& path, tk::TFolderState state);

    // Paths asked about and not answered yet.
    std::size_t Pending() const { return asked_.size(); }
    // The latest answer about a path since the last whole check, if any.
    std::optional<tk::TFolderState> Known(const std::wstring& path) const;
    // The rows marked missing, in list order.
    std::vector<int> MissingRows() const;

private:
    void Ask(const std::wstring& path);
    // The rows holding the path now (the index follows the model's paths).
    std::vector<int> RowsHolding(const std::wstring& path);

    ShortcutModel& model_;
    Asker asker_;
    std::uint64_t lastTicket_ = 0;
    std::unordered_map<std::wstring, std::uint64_t> asked_;  // path -> ticket of its newest question
    std::unordered_map<std::wstring, tk::TFolderState> known_;
    std::unordered_map<std::wstring, std::vector<int>> rowsOfPath_;
    std::uint64_t indexVersion_ = 0;
    bool indexBuilt_ = false;
    std::uint64_t seenVersion_ = 0;  // the model's paths as of the last change followed
};

}  // namespace qd
