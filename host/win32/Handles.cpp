#include "host/win32/Handles.h"

namespace orbalis::win32 {

// Bits 0-7 the kind, 8-31 the slot index plus one, 32-63 the generation.
uintptr_t HandleTable::Encode(uint32_t index, uint32_t generation, HandleKind kind) {
    return (static_cast<uintptr_t>(generation) << 32) | (static_cast<uintptr_t>(index + 1) << 8) |
           static_cast<uintptr_t>(kind);
}

const HandleTable::Slot* HandleTable::SlotOf(uintptr_t handle) const {
    const uint64_t indexPlusOne = (handle >> 8) & 0xFFFFFF;
    if (indexPlusOne == 0 || indexPlusOne > slots_.size()) return nullptr;
    const Slot& slot = slots_[indexPlusOne - 1];
    if (!slot.object || slot.generation != static_cast<uint32_t>(handle >> 32) ||
        slot.kind != KindOf(handle))
        return nullptr;
    return &slot;
}

uintptr_t HandleTable::Add(HandleKind kind, std::unique_ptr<Object> object) {
    uint32_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else {
        index = static_cast<uint32_t>(slots_.size());
        slots_.emplace_back();
    }
    Slot& slot = slots_[index];
    // Generations start at 1 and move on at every reuse, so no handle value
    // ever comes back.
    ++slot.generation;
    slot.kind = kind;
    slot.object = std::move(object);
    ++live_[static_cast<size_t>(kind)];
    return Encode(index, slot.generation, kind);
}

Object* HandleTable::Find(uintptr_t handle, HandleKind kind) const {
    if (KindOf(handle) != kind) return nullptr;
    const Slot* slot = SlotOf(handle);
    return slot ? slot->object.get() : nullptr;
}

bool HandleTable::Remove(uintptr_t handle, HandleKind kind) {
    if (!Find(handle, kind)) return false;
    Slot& slot = slots_[((handle >> 8) & 0xFFFFFF) - 1];
    // Destroy after the slot is cleared, so a destructor that looks its own
    // handle up finds nothing.
    std::unique_ptr<Object> object = std::move(slot.object);
    free_.push_back(static_cast<uint32_t>(((handle >> 8) & 0xFFFFFF) - 1));
    --live_[static_cast<size_t>(kind)];
    object.reset();
    return true;
}

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

}  // namespace orbalis::win32
