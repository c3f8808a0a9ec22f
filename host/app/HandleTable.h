// The objects a host hands out behind opaque handles.
//
// A handle names a slot of the table by its index and carries the slot's
// generation and the object's kind. Disposing of an object moves its slot to
// the next generation, so a handle kept after its object is gone, a handle of
// another kind, or a made-up value finds nothing: the table answers null and
// never reads memory through a handle. Live objects are counted per kind.
//
// The table knows nothing of the suites or the document; an object type joins
// it by naming its kind as `static constexpr HandleKind kKind`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace orbalis::host {

enum class HandleKind : uint8_t {
    String = 1,
    FilePath = 2,
    ArtSet = 3,
    Panel = 4,
    FlyoutMenu = 5,
};
inline constexpr size_t kHandleKindCount = 6;  // one more than the last kind

class HandleTable {
public:
    HandleTable() = default;
    // Destroys every object still in the table.
    ~HandleTable();
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    // Takes `object` into the table and returns its handle, never 0; 0 when
    // the table is full (the object is then destroyed).
    template <typename Object>
    uintptr_t Add(std::unique_ptr<Object> object) {
        const uintptr_t handle = AddErased(Object::kKind, object.get(), &Destroy<Object>);
        if (handle) object.release();
        return handle;
    }

    // The object of a live handle of Object's kind; null for anything else.
    template <typename Object>
    Object* Find(uintptr_t handle) const {
        return static_cast<Object*>(FindErased(handle, Object::kKind));
    }

    // Destroys the object of a live handle of Object's kind; false, touching
    // nothing, for anything else.
    template <typename Object>
    bool Dispose(uintptr_t handle) {
        return DisposeErased(handle, Object::kKind);
    }

    // The live handles of `kind`, in slot order.
    std::vector<uintptr_t> Handles(HandleKind kind) const;

    // Calls `visit` (handle, object) for every live object of Object's kind,
    // in slot order.
    template <typename Object, typename Visit>
    void ForEach(Visit visit) const {
        for (uintptr_t handle : Handles(Object::kKind)) visit(handle, Find<Object>(handle));
    }

    // The number of live objects of `kind`. The reference stays valid, and
    // follows the count, for the table's whole life.
    const int& live(HandleKind kind) const;

    // Handle layout, low bits first: slot index + 1, kind, generation.
    static constexpr int kIndexBits = 24;
    static constexpr int kKindBits = 8;
    static constexpr uint32_t kMaxSlots = (uint32_t{1} << kIndexBits) - 1;

private:
    struct Slot {
        void* object = nullptr;
        void (*destroy)(void*) = nullptr;
        uint32_t generation = 1;
        HandleKind kind{};
    };

    template <typename Object>
    static void Destroy(void* object) {
        delete static_cast<Object*>(object);
    }

    uintptr_t AddErased(HandleKind kind, void* object, void (*destroy)(void*));
    void* FindErased(uintptr_t handle, HandleKind kind) const;
    bool DisposeErased(uintptr_t handle, HandleKind kind);
    const Slot* SlotOf(uintptr_t handle, HandleKind kind) const;

    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;  // indices of empty slots, reused last-freed first
    int live_[kHandleKindCount] = {};
};

}  // namespace orbalis::host
