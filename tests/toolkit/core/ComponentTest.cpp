#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace {

// Holds a reference to a sibling and drops it when the sibling goes away; records its own end.
class Holder : public tk::TComponent {
public:
    Holder(tk::TComponent* owner, std::vector<std::wstring>* ends) : TComponent(owner), ends_(ends) {}
    ~Holder() override {
        if (ends_) ends_->push_back(Name());
    }
    std::string_view ClassName() const override { return "THolder"; }
    tk::TComponent* Ref = nullptr;
    void Notification(tk::TComponent* c, tk::Operation op) override {
        TComponent::Notification(c, op);
        if (op == tk::Operation::Remove && c == Ref) Ref = nullptr;
    }
    bool PublishesProperty(std::string_view name) const override { return name == "Ref"; }
    bool SetPublishedProperty(std::string_view name, const tk::PropertyValue& v) override {
        if (name != "Ref" || !std::holds_alternative<tk::TComponent*>(v)) return false;
        Ref = std::get<tk::TComponent*>(v);
        return true;
    }

private:
    std::vector<std::wstring>* ends_;
};

TEST(Component, OwnerFreesWhatItOwnsNewestFirst) {
    std::vector<std::wstring> ends;
    auto* owner = new tk::TComponent(nullptr);
    auto* a = new Holder(owner, &ends);
    a->SetName(L"a");
    auto* b = new Holder(owner, &ends);
    b->SetName(L"b");
    auto* inner = new Holder(b, &ends);
    inner->SetName(L"inner");
    EXPECT_EQ(owner->FindComponent(L"b"), b);
    EXPECT_EQ(owner->FindComponent(L"inner"), nullptr);  // owned by b, not by the owner
    delete owner;
    // b's own destructor body runs before b frees what it owns.
    EXPECT_EQ(ends, (std::vector<std::wstring>{L"b", L"inner", L"a"}));
}

TEST(Component, RemovalIsAnnouncedToEverySiblingWhichDropsItsReference) {
    tk::TComponent owner(nullptr);
    auto* theme = new Holder(&owner, nullptr);
    auto* user1 = new Holder(&owner, nullptr);
    auto* user2 = new Holder(&owner, nullptr);
    ASSERT_TRUE(user1->SetPublishedProperty("Ref", theme));
    ASSERT_TRUE(user2->SetPublishedProperty("Ref", theme));
    EXPECT_FALSE(user1->SetPublishedProperty("FileTheme", theme));  // not published: unchanged
    delete theme;
    EXPECT_EQ(user1->Ref, nullptr);
    EXPECT_EQ(user2->Ref, nullptr);
    EXPECT_EQ(owner.Components().size(), 2u);
    EXPECT_EQ(user1->Owner(), &owner);
}

TEST(Component, FreeNotificationReachesAListenerWithAnotherOwner) {
    tk::TComponent mine(nullptr), theirs(nullptr);
    auto* user = new Holder(&mine, nullptr);
    auto* subject = new Holder(&theirs, nullptr);
    user->Ref = subject;
    user->FreeNotification(subject);
    user->FreeNotification(subject);  // once is enough
    delete subject;
    EXPECT_EQ(user->Ref, nullptr);

    // A listener that goes first is unlinked: the subject's end tells nobody (ASan sees a stale
    // listener here as a use after free).
    auto* subject2 = new Holder(&theirs, nullptr);
    auto* user2 = new Holder(&mine, nullptr);
    user2->FreeNotification(subject2);
    delete user2;
    delete subject2;

    // A removed link is not told.
    auto* subject3 = new Holder(&theirs, nullptr);
    user->Ref = subject3;
    user->FreeNotification(subject3);
    user->RemoveFreeNotification(subject3);
    delete subject3;
    EXPECT_NE(user->Ref, nullptr);
}

TEST(Component, PlainComponentPublishesNothing) {
    tk::TComponent c(nullptr);
    EXPECT_EQ(c.ClassName(), "TComponent");
    EXPECT_FALSE(c.PublishesProperty("FileTheme"));
    EXPECT_FALSE(c.GetPublishedProperty("UIStyle").has_value());
    EXPECT_FALSE(c.SetPublishedProperty("UIStyle", 3));
}

}  // namespace
