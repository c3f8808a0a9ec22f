#include "host/app/HandleTable.h"

namespace orbalis::host {

static_assert(sizeof(uintptr_t) == 8, "handles carry a 32-bit generation beside the slot");

namespace {

constexpr uintptr_t kIndexMask = (uintptr_t{1} << HandleTable::kIndexBits) - 1;
constexpr uintptr_t kKindMask = (uintptr_t{1} << HandleTable::kKindBits) - 1;
constexpr int kGenerationShift = HandleTable::kIndexBits + HandleTable::kKindBits;

uintptr_t Encode(uint32_t index, HandleKind kind, uint32_t generation) {
    return (uintptr_t{index} + 1) | (uintptr_t{static_cast<uint8_t>(kind)} << HandleTable::kIndexBits) |
           (uintptr_t{generation} << kGenerationShift);
}

}  // namespace

HandleTable::~HandleTable() {
    for (Slot& slot : slots_)
        if (slot.object) slot.destroy(slot.object);
}

std::vector<uintptr_t> HandleTable::Handles(HandleKind kind) const {
    std::vector<uintptr_t> handles;
    for (uint32_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].object && slots_[i].kind == kind)
            handles.push_back(Encode(i, kind, slots_[i].generation));
    return handles;
}

const int& HandleTable::live(HandleKind kind) const {
    static const int kNone = 0;
    const auto k = static_cast<size_t>(kind);
    return k < kHandleKindCount ? live_[k] : kNone;
}

uintptr_t HandleTable::AddErased(HandleKind kind, void* object, void (*destroy)(void*)) {
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
    slot.kind = kind;
    ++live_[static_cast<size_t>(kind)];
    return Encode(index, kind, slot.generation);
}

const HandleTable::Slot* HandleTable::SlotOf(uintptr_t handle, HandleKind kind) const {
    const uintptr_t number = handle & kIndexMask;
    if (number == 0 || number > slots_.size()) return nullptr;
    if (((handle >> kIndexBits) & kKindMask) != static_cast<uint8_t>(kind)) return nullptr;
    const Slot& slot = slots_[number - 1];
    if (!slot.object || slot.kind != kind || (handle >> kGenerationShift) != slot.generation)
        return nullptr;
    return &slot;
}

void* HandleTable::FindErased(uintptr_t handle, HandleKind kind) const {
    const Slot* slot = SlotOf(handle, kind);
    return slot ? slot->object : nullptr;
}

bool HandleTable::DisposeErased(uintptr_t handle, HandleKind kind) {
    const Slot* found = SlotOf(handle, kind);
    if (!found) return false;
    const auto index = static_cast<uint32_t>(found - slots_.data());
    Slot& slot = slots_[index];
    void* object = slot.object;
    void (*destroy)(void*) = slot.destroy;
    slot.object = nullptr;
    slot.destroy = nullptr;
    // A slot whose generations are used up is never handed out again, so
    // that no old handle can come to name a new object.
    if (++slot.generation != 0) free_.push_back(index);
    --live_[static_cast<size_t>(kind)];
    destroy(object);
    return true;
}

}  // namespace orbalis::host
