// Actions: a command with a caption, a hint, an image and an enabled state, executed by the
// controls bound to it. Update rules run whenever the application's queue goes idle; controls
// bound to an action follow its changes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/win/Control.h"

namespace tk {

class TAction;

// A control bound to an action, told when the action's state changes.
class TActionClient {
public:
    virtual void ActionChanged(TAction* action) = 0;

protected:
    ~TActionClient() = default;
};

class TActionList;

class TAction : public TComponent {
public:
    explicit TAction(TComponent* owner, TActionList* list = nullptr);
    ~TAction() override;
    std::string_view ClassName() const override { return "TAction"; }

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Runs the update rule, then the execute handler when the action is enabled.
    // Returns true when the handler ran.
    bool Execute();
    // Runs the update rule, if there is one.
    void Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

    void RegisterClient(TActionClient* client);
    void UnregisterClient(TActionClient* client);

private:
    void Changed();

    std::wstring caption_, hint_;
    int imageIndex_ = -1;
    bool enabled_ = true;
    std::vector<TActionClient*> clients_;
    TActionList* list_ = nullptr;
    friend class TActionList;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner);
    ~TActionList() override;
    std::string_view ClassName() const override { return "TActionList"; }

    const std::vector<TAction*>& Actions() const { return actions_; }
    // Runs every action's update rule (the application does this when it goes idle, while the
    // form that owns the list is visible).
    void UpdateActions();

private:
    void Add(TAction* action) { actions_.push_back(action); }
    void Remove(TAction* action);

    std::vector<TAction*> actions_;
    int idleId_ = 0;
    friend class TAction;
};

}  // namespace tk
