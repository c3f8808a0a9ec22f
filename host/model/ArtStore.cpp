#include "host/model/ArtStore.h"

// Under AddressSanitizer a free slot is poisoned (all but its link), so that
// reading an object through a pointer kept after its disposal is reported
// as it is for memory from the heap; and freed slots wait a while before
// they are reused, as the sanitizer's own quarantine does.
#if defined(__SANITIZE_ADDRESS__)
#define ORBALIS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORBALIS_ASAN 1
#endif
#endif

#ifdef ORBALIS_ASAN
#include <sanitizer/asan_interface.h>
#endif

#include <algorithm>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace orbalis::host {

namespace {

#ifdef ORBALIS_ASAN
constexpr size_t kReuseDelay = 1024;
void Poison(void* address, size_t size) { ASAN_POISON_MEMORY_REGION(address, size); }
void Unpoison(void* address, size_t size) { ASAN_UNPOISON_MEMORY_REGION(address, size); }
#else
constexpr size_t kReuseDelay = 0;
void Poison(void*, size_t) {}
void Unpoison(void*, size_t) {}
#endif

// Asks the system to map the whole large pages inside a block with large
// pages: a walk of a large document then stays within the processor's
// address translation caches.
void AdviseLargePages([[maybe_unused]] void* begin, [[maybe_unused]] size_t bytes) {
#ifdef __linux__
    constexpr uintptr_t kLargePage = uintptr_t{1} << 21;
    const uintptr_t start = reinterpret_cast<uintptr_t>(begin);
    const uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t last = (start + bytes) & ~(kLargePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

}  // namespace

ArtStore::~ArtStore() {
    for (auto& block : blocks_) Unpoison(block.slots.get(), block.size * sizeof(Slot));
}

void ArtStore::addBlock() {
    const size_t size = blocks_.empty() ? kFirstBlockSlots : std::min(2 * blocks_.back().size, kLargestBlockSlots);
    blocks_.push_back({std::unique_ptr<Slot[]>(new Slot[size]), size});  // left uninitialised
    reservedSlots_ += size;
    AdviseLargePages(blocks_.back().slots.get(), size * sizeof(Slot));
    Poison(blocks_.back().slots.get(), size * sizeof(Slot));
    nextInBlock_ = 0;
}

ArtStore::Slot*& ArtStore::linkOf(Slot* slot) {
    static_assert(sizeof(Slot) >= sizeof(Slot*) && sizeof(Slot) % alignof(Slot*) == 0);
    return *reinterpret_cast<Slot**>(slot->bytes + sizeof(Slot) - sizeof(Slot*));
}

void* ArtStore::allocate() {
    Slot* slot;
    if (freeCount_ > kReuseDelay) {
        slot = freeHead_;
        freeHead_ = linkOf(slot);
        if (!freeHead_) freeTail_ = nullptr;
        --freeCount_;
    } else {
        if (blocks_.empty() || nextInBlock_ == blocks_.back().size) addBlock();
        slot = &blocks_.back().slots[nextInBlock_++];
        ++handedOut_;
    }
    Unpoison(slot, sizeof(Slot));
    return slot;
}

void ArtStore::deallocate(void* storage) noexcept {
    Slot* slot = static_cast<Slot*>(storage);
    Poison(slot, sizeof(Slot) - sizeof(Slot*));
    linkOf(slot) = nullptr;
    if (freeTail_)
        linkOf(freeTail_) = slot;
    else
        freeHead_ = slot;
    freeTail_ = slot;
    ++freeCount_;
}

}  // namespace orbalis::host
