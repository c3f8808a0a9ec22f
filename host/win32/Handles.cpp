#include "host/win32/Handles.h"

namespace orbalis::win32 {

static_assert(sizeof(uintptr_t) == 8, "handles carry a 32-bit generation beside the slot");
static_assert(static_cast<size_t>(HandleKind::Count) <= (size_t{1} << HandleTable::kKindBits));

namespace {

constexpr uintptr_t kIndexMask = (uintptr_t{1} << HandleTable::kIndexBits) - 1;
constexpr int kGenerationShift = HandleTable::kIndexBits + HandleTable::kKindBits;

uintptr_t Encode(uint32_t index, HandleKind kind, uint32_t generation) {
    return (uintptr_t{index} + 1) | (uintptr_t{static_cast<uint8_t>(kind)} << HandleTable::kIndexBits) |
           (uintptr_t{generation} << kGenerationShift);
}

}  // namespace

HandleTable::~HandleTable() {
    // Through the usual path, so that an object destroyed here finds the
    // table as it expects.
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].object) DisposeSlot(static_cast<uint32_t>(i));
}

uintptr_t HandleTable::AddErased(HandleKind kind, void* object, void (*destroy)(void*),
                                 const void* owner) {
    if (!object) return 0;
    uint32_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else if (slots_.size() < kMaxSlots) {
        index = static_cast<uint32_t>(slots_.size());
        slots_.emplace_back();
    } else {
        destroy(object);
        return 0;
    }
    Slot& slot = slots_[index];
    slot.object = object;
    slot.destroy = destroy;
    slot.owner = owner;
    slot.kind = kind;
    ++live_[static_cast<size_t>(kind)];
    return Encode(index, kind, slot.generation);
}

const HandleTable::Slot* HandleTable::SlotOf(uintptr_t handle, HandleKind kind,
                                             const void* owner) const {
    const uintptr_t number = handle & kIndexMask;
    if (number == 0 || number > slots_.size() || KindOf(handle) != kind) return nullptr;
    const Slot& slot = slots_[number - 1];
    if (!slot.object || slot.kind != kind || slot.owner != owner ||
        (handle >> kGenerationShift) != slot.generation)
        return nullptr;
    return &slot;
}

void* HandleTable::FindErased(uintptr_t handle, HandleKind kind, const void* owner) const {
    const Slot* slot = SlotOf(handle, kind, owner);
    return slot ? slot->object : nullptr;
}

bool HandleTable::DisposeErased(uintptr_t handle, HandleKind kind, const void* owner) {
    const Slot* found = SlotOf(handle, kind, owner);
    if (!found) return false;
    DisposeSlot(static_cast<uint32_t>(found - slots_.data()));
    return true;
}

void HandleTable::DisposeAll(const void* owner) {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].object && slots_[i].owner == owner) DisposeSlot(static_cast<uint32_t>(i));
}

std::vector<uintptr_t> HandleTable::Handles(HandleKind kind, const void* owner) const {
    std::vector<uintptr_t> handles;
    for (uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].object && slots_[i].kind == kind && slots_[i].owner == owner)
            handles.push_back(Encode(i, kind, slots_[i].generation));
    return handles;
}

void HandleTable::DisposeSlot(uint32_t index) {
    Slot& slot = slots_[index];
    void* object = slot.object;
    void (*destroy)(void*) = slot.destroy;
    --live_[static_cast<size_t>(slot.kind)];
    slot.object = nullptr;
    slot.destroy = nullptr;
    slot.owner = nullptr;
    // A slot whose generations are used up is never handed out again, so
    // that no old handle can come to name a new object.
    if (++slot.generation != 0) free_.push_back(index);
    // Destroyed after the slot is cleared, so a destructor that looks its own
    // handle up finds nothing, and one that adds or disposes of other objects
    // may move the slots.
    destroy(object);
}

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

}  // namespace orbalis::win32
