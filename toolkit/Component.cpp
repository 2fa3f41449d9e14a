#include "toolkit/Component.h"

#include <algorithm>

namespace tk {

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    destroying_ = true;
    // Those who asked hear of this end first, while this object is still whole.
    while (!freeListeners_.empty()) {
        TComponent* listener = freeListeners_.back();
        freeListeners_.pop_back();
        std::erase(listener->freeSubjects_, this);
        listener->Notification(this, Operation::Remove);
    }
    for (TComponent* subject : freeSubjects_) std::erase(subject->freeListeners_, this);
    freeSubjects_.clear();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    if (std::find(freeSubjects_.begin(), freeSubjects_.end(), other) != freeSubjects_.end()) return;
    freeSubjects_.push_back(other);
    other->freeListeners_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    std::erase(freeSubjects_, other);
    std::erase(other->freeListeners_, this);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        delete last;  // its destructor removes it from this list
    }
}

TComponent* TComponent::FindComponent(std::wstring_view name) const {
    for (TComponent* c : components_)
        if (c->name_ == name) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    component->owner_ = this;
    components_.push_back(component);
    Notification(component, Operation::Insert);
}

void TComponent::RemoveComponent(TComponent* component) {
    components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
    component->owner_ = nullptr;
    Notification(component, Operation::Remove);
}

void TComponent::Notification(TComponent* component, Operation operation) {
    // An owner passes removals on to all it owns, so that siblings drop their references.
    if (operation != Operation::Remove) return;
    const std::vector<TComponent*> snapshot = components_;
    for (TComponent* c : snapshot)
        if (c != component) c->Notification(component, operation);
}

bool TComponent::PublishesProperty(std::string_view) const { return false; }

std::optional<PropertyValue> TComponent::GetPublishedProperty(std::string_view) const { return std::nullopt; }

bool TComponent::SetPublishedProperty(std::string_view, const PropertyValue&) { return false; }

}  // namespace tk
