// Components: objects with an owner. An owner frees what it owns; when a component goes away, its
// owner and every other component of that owner hear of it (Notification) and drop their
// references. A component that refers to one with another owner (or none) asks to hear of its end
// with FreeNotification. A component names its class at run time and can publish properties by name, which
// lets a theme or a style be handed to every component of a form that takes one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tk {

enum class Operation { Insert, Remove };

class TComponent;
using PropertyValue = std::variant<TComponent*, int>;

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    virtual std::string_view ClassName() const { return "TComponent"; }

    TComponent* Owner() const { return owner_; }
    const std::wstring& Name() const { return name_; }
    void SetName(std::wstring name) { name_ = std::move(name); }

    // The components this one owns, in the order they were created.
    const std::vector<TComponent*>& Components() const { return components_; }
    TComponent* FindComponent(std::wstring_view name) const;

    // Told when a component of the same owner (or an owned one) is inserted or removed, and when
    // a component this one asked about with FreeNotification is destroyed.
    virtual void Notification(TComponent* component, Operation operation);

    // Asks to be told (Notification with Remove) when the other component is destroyed, whoever
    // owns it. The link is dropped on either side's end; asking twice links once.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // Published properties. A class that publishes one answers for its name; unknown names give
    // false / nullopt and change nothing.
    virtual bool PublishesProperty(std::string_view name) const;
    virtual std::optional<PropertyValue> GetPublishedProperty(std::string_view name) const;
    virtual bool SetPublishedProperty(std::string_view name, const PropertyValue& value);

    // True once destruction has begun; owners skip such components when they walk their list.
    bool IsDestroying() const { return destroying_; }

protected:
    // Frees every owned component, newest first. A derived class whose owned components need it
    // alive (a form and its controls) calls this at the start of its own destructor.
    void DestroyComponents();

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* owner_ = nullptr;
    std::wstring name_;
    std::vector<TComponent*> components_;
    // Both directions of FreeNotification links: those told of this one's end, and those whose end
    // this one is told of (so that a listener's own end unlinks it).
    std::vector<TComponent*> freeListeners_;
    std::vector<TComponent*> freeSubjects_;
    bool destroying_ = false;
};

}  // namespace tk
