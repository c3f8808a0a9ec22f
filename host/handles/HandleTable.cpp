#include "host/handles/HandleTable.h"

#include <cstdio>
#include <cstdlib>

namespace orbalis::handles {

static_assert(sizeof(uintptr_t) == 8, "handles carry a 32-bit generation beside the slot");
static_assert(HandleKind::kMaxKinds < (1 << HandleTable::kKindBits));

namespace {

std::vector<const HandleKind*>& Registry() {
    static std::vector<const HandleKind*> kinds;
    return kinds;
}

}  // namespace

HandleKind::HandleKind(const char* name) : name_(name), number_(0) {
    std::vector<const HandleKind*>& kinds = Registry();
    if (kinds.size() >= static_cast<size_t>(kMaxKinds)) {
        std::fprintf(stderr, "handle kind \"%s\": no more than %d kinds can be made\n", name, kMaxKinds);
        std::abort();
    }
    kinds.push_back(this);
    number_ = static_cast<uint8_t>(kinds.size());
}

std::vector<const HandleKind*> HandleKind::All() { return Registry(); }

HandleTable::~HandleTable() {
    // Through the usual path, so that an object destroyed here finds the
    // table as it expects.
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].kind()) DisposeSlot(static_cast<uint32_t>(i));
}

uintptr_t HandleTable::AddErased(const HandleKind& kind, void* object, void (*destroy)(void*), const void* owner) {
    if (!object) return 0;
    uint32_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else if (slots_.size() < kMaxSlots) {
        index = static_cast<uint32_t>(slots_.size());
        slots_.push_back({nullptr, nullptr, nullptr, HandleOf(index, 0, 1)});
        slotCount_ = slots_.size();
    } else {
        destroy(object);
        return 0;
    }
    Slot& slot = slots_[index];
    slot.object = object;
    slot.destroy = destroy;
    slot.owner = owner;
    slot.tag = HandleOf(index, kind.number(), slot.generation());
    ++live_[kind.number()];
    return slot.tag;
}

bool HandleTable::DisposeErased(uintptr_t handle, const HandleKind& kind, const void* owner) {
    const Slot* found = SlotOf(handle, kind);
    if (!found || found->owner != owner) return false;
    DisposeSlot(static_cast<uint32_t>(found - slots_.data()));
    return true;
}

void HandleTable::DisposeAll(const void* owner) {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].kind() && slots_[i].owner == owner) DisposeSlot(static_cast<uint32_t>(i));
}

std::vector<uintptr_t> HandleTable::Handles(const HandleKind& kind, const void* owner) const {
    std::vector<uintptr_t> handles;
    for (uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].kind() == kind.number() && slots_[i].owner == owner) handles.push_back(slots_[i].tag);
    return handles;
}

const HandleKind* HandleTable::KindOf(uintptr_t handle) const {
    const uintptr_t index = (handle & kIndexMask) - 1;
    if (index >= slots_.size()) return nullptr;
    const Slot& slot = slots_[index];
    return slot.kind() && slot.tag == handle ? Registry()[slot.kind() - 1] : nullptr;
}

void HandleTable::DisposeSlot(uint32_t index) {
    Slot& slot = slots_[index];
    void* object = slot.object;
    void (*destroy)(void*) = slot.destroy;
    --live_[slot.kind()];
    slot.object = nullptr;
    slot.destroy = nullptr;
    slot.owner = nullptr;
    const uint32_t next = slot.generation() + 1;
    slot.tag = HandleOf(index, 0, next);
    // A slot whose generations are used up is never handed out again, so
    // that no old handle can come to name a new object.
    if (next != 0) free_.push_back(index);
    // Destroyed after the slot is cleared, so a destructor that looks its own
    // handle up finds nothing, and one that adds or disposes of other objects
    // may move the slots.
    destroy(object);
}

constinit HandleTable gProcessTable;

}  // namespace orbalis::handles
