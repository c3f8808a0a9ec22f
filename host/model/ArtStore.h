// Where a document's art objects live: blocks of object-sized slots, handed
// out in the order the objects are made. A document read from a file thus
// holds its objects one after another in document order, so that the walks
// of the tree and of the layer art set read memory in order instead of
// jumping across the heap. The slot of a disposed object is reused by a later
// one; the blocks go with the document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/model/Art.h"

namespace orbalis::host {

class ArtStore {
public:
    ArtStore() = default;
    ~ArtStore();
    ArtStore(const ArtStore&) = delete;
    ArtStore& operator=(const ArtStore&) = delete;

    // Uninitialised storage for one Art; throws std::bad_alloc.
    void* allocate();
    // Takes back storage from allocate() whose object has been destroyed.
    void deallocate(void* slot) noexcept;

    // Slots in use, and bytes held in blocks (used or not).
    size_t used() const { return handedOut_ - freeCount_; }
    size_t reserved() const { return blocks_.size() * sizeof(Block); }

    static constexpr size_t kSlotsPerBlock = 256;

    // Objects made one after another lie in slots one after another, which
    // is about the order a walk of a document read from a file visits them:
    // starting to fetch the object a few slots on (its first cache line, and
    // the one with its data's kind) overlaps that with the work on this one.
    // A hint only: nothing is read, and an address past the blocks is
    // harmless.
    static void prefetchFollowing(const Art* art) {
        const auto* base = reinterpret_cast<const char*>(art);
        const size_t kindOffset = size_t(reinterpret_cast<const char*>(&art->data) - base) + sizeof(ArtData) - 1;
        const uintptr_t ahead = reinterpret_cast<uintptr_t>(art) + 8 * sizeof(Slot);
        __builtin_prefetch(reinterpret_cast<const void*>(ahead));
        __builtin_prefetch(reinterpret_cast<const void*>(ahead + kindOffset));
    }

private:
    struct alignas(Art) Slot {
        std::byte bytes[sizeof(Art)];
    };
    struct Block {
        Slot slots[kSlotsPerBlock];
    };
    // A free slot holds the link to the next free one in its last bytes.
    static Slot*& linkOf(Slot* slot);

    std::vector<std::unique_ptr<Block>> blocks_;
    size_t nextInBlock_ = kSlotsPerBlock;  // the last block's first slot never handed out
    size_t handedOut_ = 0;                 // slots ever handed out of blocks
    // Freed slots, oldest first.
    Slot* freeHead_ = nullptr;
    Slot* freeTail_ = nullptr;
    size_t freeCount_ = 0;
};

}  // namespace orbalis::host
