// The handle table on its own: generations, kinds, made-up values, counts,
// owners, and what is left when an owner or the table goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "host/handles/HandleTable.h"

namespace orbalis::handles {
namespace {

int gDestroyed = 0;

// Kinds of this test's own, registered as any part registers its kinds.
const HandleKind kTextKind("test text");
const HandleKind kPathKind("test path");
const HandleKind kUnusedKind("test unused");
const HandleKind kWidgetKind("test widget");

struct Text {
    static constexpr const HandleKind& kKind = kTextKind;
    explicit Text(int v = 0) : value(v) {}
    ~Text() { ++gDestroyed; }
    int value;
};

struct Path {
    static constexpr const HandleKind& kKind = kPathKind;
    ~Path() { ++gDestroyed; }
};

class HandleTableTest : public ::testing::Test {
protected:
    void SetUp() override { gDestroyed = 0; }
    HandleOwner table;
};

TEST_F(HandleTableTest, AReusedSlotGivesANewHandleAndTheOldOneStaysDead) {
    const uintptr_t first = table.Add(std::make_unique<Text>(1));
    ASSERT_NE(first, 0u);
    ASSERT_TRUE(table.Dispose<Text>(first));
    EXPECT_EQ(gDestroyed, 1);

    const uintptr_t second = table.Add(std::make_unique<Text>(2));
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_EQ(table.Find<Text>(first), nullptr);
    EXPECT_FALSE(table.Dispose<Text>(first)) << "a second dispose must find nothing";
    ASSERT_NE(table.Find<Text>(second), nullptr);
    EXPECT_EQ(table.Find<Text>(second)->value, 2) << "the old handle did not reach the new object";
    EXPECT_EQ(table.live(kTextKind), 1);
    EXPECT_EQ(gDestroyed, 1);
}

TEST_F(HandleTableTest, AHandleOfAnotherKindFindsNothingAndDisposesNothing) {
    const uintptr_t text = table.Add(std::make_unique<Text>(7));
    const uintptr_t path = table.Add(std::make_unique<Path>());
    EXPECT_EQ(table.Find<Path>(text), nullptr);
    EXPECT_EQ(table.Find<Text>(path), nullptr);
    EXPECT_FALSE(table.Dispose<Path>(text));
    EXPECT_EQ(gDestroyed, 0);
    ASSERT_NE(table.Find<Text>(text), nullptr);
    EXPECT_EQ(table.Find<Text>(text)->value, 7);
    EXPECT_EQ(table.live(kTextKind), 1);
    EXPECT_EQ(table.live(kPathKind), 1);
    EXPECT_EQ(table.live(kUnusedKind), 0);
}

TEST_F(HandleTableTest, MadeUpValuesFindNothing) {
    const uintptr_t real = table.Add(std::make_unique<Text>());
    int local = 0;
    const uintptr_t generationBit = uintptr_t{1} << (HandleTable::kIndexBits + HandleTable::kKindBits);
    for (uintptr_t made : {uintptr_t{0}, uintptr_t{1}, ~uintptr_t{0}, real + 1, real ^ generationBit,
                           real & ~(uintptr_t{0xFF} << HandleTable::kIndexBits), reinterpret_cast<uintptr_t>(&local)}) {
        EXPECT_EQ(table.Find<Text>(made), nullptr) << std::hex << made;
        EXPECT_FALSE(table.Dispose<Text>(made)) << std::hex << made;
    }
    EXPECT_NE(table.Find<Text>(real), nullptr);
    EXPECT_EQ(gDestroyed, 0);
}

TEST_F(HandleTableTest, CountsFollowAddsAndDisposesAndTheTableDestroysWhatIsLeft) {
    const int& strings = table.live(kTextKind);
    {
        HandleOwner own;
        uintptr_t handles[5];
        for (uintptr_t& h : handles) h = own.Add(std::make_unique<Text>());
        own.Add(std::make_unique<Path>());
        EXPECT_EQ(own.live(kTextKind), 5);
        own.Dispose<Text>(handles[1]);
        own.Dispose<Text>(handles[3]);
        EXPECT_EQ(own.live(kTextKind), 3);
        EXPECT_EQ(gDestroyed, 2);
    }
    EXPECT_EQ(gDestroyed, 6) << "three texts and a path were left";
    table.Add(std::make_unique<Text>());
    EXPECT_EQ(strings, 1) << "the count reference follows the table";
}

TEST_F(HandleTableTest, AnOwnersHandleIsRefusedByAnotherOwnerAndByTheUnownedLookups) {
    const uintptr_t mine = table.Add(std::make_unique<Text>(3));
    HandleOwner other;
    EXPECT_EQ(other.Find<Text>(mine), nullptr);
    EXPECT_FALSE(other.Dispose<Text>(mine));
    EXPECT_EQ(Handles().Find<Text>(mine, nullptr), nullptr);
    EXPECT_FALSE(Handles().Dispose<Text>(mine, nullptr));
    EXPECT_EQ(other.live(kTextKind), 0);
    EXPECT_EQ(table.live(kTextKind), 1);
    ASSERT_NE(table.Find<Text>(mine), nullptr);
    EXPECT_EQ(table.Find<Text>(mine)->value, 3);
    EXPECT_EQ(gDestroyed, 0);
}

struct Widget : Object {
    ~Widget() override { ++gDestroyed; }
};

// An object that, as a window does with its children, disposes of another
// while it is destroyed.
struct Parent : Object {
    uintptr_t child = 0;
    ~Parent() override {
        ++gDestroyed;
        EXPECT_TRUE(Handles().Remove(child, kWidgetKind));
    }
};

TEST_F(HandleTableTest, Win32ObjectsAndOwnedObjectsShareTheTableWithoutMeetingEachOther) {
    HandleTable own;
    const uintptr_t window = own.Add(kWidgetKind, std::make_unique<Widget>());
    const uintptr_t text = own.Add(std::make_unique<Text>(), &table);
    ASSERT_NE(window, 0u);
    ASSERT_NE(text, 0u);
    EXPECT_EQ(own.KindOf(window), &kWidgetKind);
    EXPECT_EQ(own.KindOf(text), &kTextKind);
    EXPECT_EQ(own.KindOf(text + 1), nullptr);
    EXPECT_EQ(own.Find(text, kTextKind), nullptr) << "an owned object is found only through its owner";
    EXPECT_EQ(own.Find(window, kUnusedKind), nullptr);
    EXPECT_NE(own.Find(window, kWidgetKind), nullptr);
    EXPECT_EQ(own.Live(kWidgetKind), 1);
    EXPECT_EQ(own.Live(kTextKind), 1);

    own.DisposeAll(&table);
    EXPECT_EQ(gDestroyed, 1);
    EXPECT_EQ(own.Live(kTextKind), 0);
    EXPECT_EQ(own.Live(kWidgetKind), 1) << "an unowned object stays";
    EXPECT_TRUE(own.Remove(window, kWidgetKind));
    EXPECT_FALSE(own.Remove(window, kWidgetKind));
    EXPECT_EQ(gDestroyed, 2);
}

TEST_F(HandleTableTest, AnObjectMayDisposeOfAnotherWhileItIsDestroyed) {
    const int windows = Handles().Live(kWidgetKind);
    auto parent = std::make_unique<Parent>();
    parent->child = Handles().Add(kWidgetKind, std::make_unique<Widget>());
    const uintptr_t handle = Handles().Add(kWidgetKind, std::move(parent));
    EXPECT_EQ(Handles().Live(kWidgetKind), windows + 2);
    EXPECT_TRUE(Handles().Remove(handle, kWidgetKind));
    EXPECT_EQ(gDestroyed, 2);
    EXPECT_EQ(Handles().Live(kWidgetKind), windows);
}

TEST_F(HandleTableTest, KindsAreRegisteredOnceEachWithTheirOwnNumber) {
    const std::vector<const HandleKind*> kinds = HandleKind::All();
    for (const HandleKind* kind : {&kTextKind, &kPathKind, &kUnusedKind, &kWidgetKind})
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), kind), 1) << kind->name();
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(kinds[i]->number(), i + 1) << kinds[i]->name() << ": numbers follow registration from 1";
        EXPECT_NE(std::string(kinds[i]->name()), "");
    }
}

TEST_F(HandleTableTest, AStaleHandleHasNoKindAndAKindCheckComesBeforeTheSlotIsRead) {
    const uintptr_t text = table.Add(std::make_unique<Text>(5));
    EXPECT_EQ(Handles().KindOf(text), &kTextKind);
    // The same slot and generation with another kind's number.
    const uintptr_t kindBits = ((uintptr_t{1} << HandleTable::kKindBits) - 1) << HandleTable::kIndexBits;
    const uintptr_t retyped = (text & ~kindBits) | (uintptr_t{kPathKind.number()} << HandleTable::kIndexBits);
    EXPECT_EQ(Handles().KindOf(retyped), nullptr);
    EXPECT_EQ(table.Find<Path>(retyped), nullptr);
    EXPECT_FALSE(table.Dispose<Path>(retyped));
    ASSERT_TRUE(table.Dispose<Text>(text));
    EXPECT_EQ(Handles().KindOf(text), nullptr);
    EXPECT_EQ(Handles().FindOfAnyOwner<Text>(text, kTextKind), nullptr);
}

TEST_F(HandleTableTest, AnyOwnersObjectIsFoundByTheLookupForAnyOwnerButDisposedOnlyByItsOwner) {
    const uintptr_t mine = table.Add(std::make_unique<Text>(9));
    HandleOwner other;
    Text* found = Handles().FindOfAnyOwner<Text>(mine, kTextKind);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->value, 9);
    EXPECT_EQ(Handles().FindOfAnyOwner<Path>(mine, kPathKind), nullptr);
    EXPECT_FALSE(other.Dispose<Text>(mine));
    EXPECT_FALSE(Handles().Dispose(mine, kTextKind, &other));
    EXPECT_TRUE(Handles().Dispose(mine, kTextKind, &table));
    EXPECT_EQ(Handles().FindOfAnyOwner<Text>(mine, kTextKind), nullptr);
    EXPECT_EQ(gDestroyed, 1);
}

}  // namespace
}  // namespace orbalis::handles
