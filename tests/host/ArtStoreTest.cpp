#include "host/model/ArtStore.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "host/model/Document.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::host {
namespace {

TEST(ArtStoreTest, SlotsAreDistinctAlignedAndReusedOnceFreed) {
    ArtStore store;
    std::vector<void*> slots;
    for (size_t i = 0; i < 3 * ArtStore::kSlotsPerBlock; ++i) slots.push_back(store.allocate());
    EXPECT_EQ(std::set<void*>(slots.begin(), slots.end()).size(), slots.size());
    for (void* slot : slots) EXPECT_EQ(reinterpret_cast<uintptr_t>(slot) % alignof(Art), 0u);
    EXPECT_EQ(store.used(), slots.size());
    const size_t reserved = store.reserved();

    // Made and freed one at a time, far more objects than the blocks hold:
    // the store must not grow without bound.
    for (void* slot : slots) store.deallocate(slot);
    EXPECT_EQ(store.used(), 0u);
    for (int round = 0; round < 20'000; ++round) store.deallocate(store.allocate());
    EXPECT_LE(store.reserved(), reserved + 8 * sizeof(Art) * ArtStore::kSlotsPerBlock);
}

TEST(ArtStoreTest, DisposedArtGivesItsMemoryBack) {
    Document document;
    Layer* layer = nullptr;
    ASSERT_EQ(document.insertLayer(nullptr, kHostPlaceAboveAll, &layer), 0);
    const size_t live = document.liveArtCount();
    // A unite makes and disposes of objects by the thousand on a large map.
    for (int round = 0; round < 5'000; ++round) {
        Art* group = testing::AddGroup(document, layer->group());
        testing::AddRect(document, group, 0, 0, 5, 5);
        ASSERT_EQ(document.disposeArt(group), 0);
    }
    EXPECT_EQ(document.liveArtCount(), live);
    EXPECT_LT(document.artBytesReserved(), 16 * ArtStore::kSlotsPerBlock * sizeof(Art));
}

#if defined(__SANITIZE_ADDRESS__)
TEST(ArtStoreDeathTest, ReadingDisposedArtIsReportedBySanitizer) {
    Document document;
    Layer* layer = nullptr;
    ASSERT_EQ(document.insertLayer(nullptr, kHostPlaceAboveAll, &layer), 0);
    Art* kept = testing::AddRect(document, layer->group(), 0, 0, 5, 5);
    ASSERT_EQ(document.disposeArt(kept), 0);
    EXPECT_DEATH(
        {
            volatile int32_t type = kept->type();
            (void)type;
        },
        "use-after-poison");
}
#endif

}  // namespace
}  // namespace orbalis::host
