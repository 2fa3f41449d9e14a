#include "toolkit/win/ActionList.h"

#include <algorithm>

#include "toolkit/win/Application.h"

namespace tk {

TAction::TAction(TComponent* owner, TActionList* list) : TComponent(owner), list_(list) {
    if (list_) list_->Add(this);
}

TAction::~TAction() {
    if (list_) list_->Remove(this);
}

void TAction::Changed() {
    for (TActionClient* c : std::vector<TActionClient*>(clients_)) c->ActionChanged(this);
}

void TAction::SetCaption(const std::wstring& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    Changed();
}

void TAction::SetHint(const std::wstring& hint) {
    if (hint_ == hint) return;
    hint_ = hint;
    Changed();
}

void TAction::SetImageIndex(int index) {
    if (imageIndex_ == index) return;
    imageIndex_ = index;
    Changed();
}

void TAction::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed();
}

void TAction::Update() {
    if (OnUpdate) OnUpdate(this);
}

bool TAction::Execute() {
    Update();
    if (!enabled_ || !OnExecute) return false;
    OnExecute(this);
    return true;
}

void TAction::RegisterClient(TActionClient* client) {
    if (std::find(clients_.begin(), clients_.end(), client) == clients_.end()) clients_.push_back(client);
}

void TAction::UnregisterClient(TActionClient* client) { std::erase(clients_, client); }

TActionList::TActionList(TComponent* owner) : TComponent(owner) {
    idleId_ = Application().AddIdleHandler([this] {
        auto* form = dynamic_cast<TControl*>(Owner());
        if (!form || form->Visible()) UpdateActions();
    });
}

TActionList::~TActionList() {
    Application().RemoveIdleHandler(idleId_);
    for (TAction* a : actions_) a->list_ = nullptr;
}

void TActionList::Remove(TAction* action) { std::erase(actions_, action); }

void TActionList::UpdateActions() {
    for (TAction* a : std::vector<TAction*>(actions_)) a->Update();
}

}  // namespace tk
