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

}  // namespace

ArtStore::~ArtStore() {
    for (auto& block : blocks_) Unpoison(block.get(), sizeof(Block));
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
        if (nextInBlock_ == kSlotsPerBlock) {
            blocks_.push_back(std::unique_ptr<Block>(new Block));  // left uninitialised
            Poison(blocks_.back().get(), sizeof(Block));
            nextInBlock_ = 0;
        }
        slot = &blocks_.back()->slots[nextInBlock_++];
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
