// The table of every object the Win32 stand-in hands out: windows, modules,
// resources, GDI objects, icons and image lists. A handle is an index plus a
// generation, tagged with the object's kind; a stale handle or one of another
// kind finds nothing and is never dereferenced.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace orbalis::win32 {

enum class HandleKind : uint8_t {
    Window = 1,
    Module,
    Resource,
    Brush,
    Font,
    Bitmap,
    Icon,
    ImageList,
    DeviceContext,
    Count
};

struct Object {
    virtual ~Object() = default;
};

class HandleTable {
public:
    // Takes the object and returns its new handle value (never 0).
    uintptr_t Add(HandleKind kind, std::unique_ptr<Object> object);
    // The live object of that kind, or null for 0, a stale handle or one of
    // another kind.
    Object* Find(uintptr_t handle, HandleKind kind) const;
    template <class T>
    T* Get(const void* handle, HandleKind kind) const {
        return static_cast<T*>(Find(reinterpret_cast<uintptr_t>(handle), kind));
    }
    // Disposes of the object; false when the handle was not live.
    bool Remove(uintptr_t handle, HandleKind kind);
    // Live objects of a kind.
    int Live(HandleKind kind) const { return live_[static_cast<size_t>(kind)]; }

    static HandleKind KindOf(uintptr_t handle) { return static_cast<HandleKind>(handle & 0xFF); }

private:
    struct Slot {
        uint32_t generation = 0;
        HandleKind kind{};
        std::unique_ptr<Object> object;
    };
    static uintptr_t Encode(uint32_t index, uint32_t generation, HandleKind kind);
    const Slot* SlotOf(uintptr_t handle) const;

    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
    int live_[static_cast<size_t>(HandleKind::Count)] = {};
};

// The process's one table.
HandleTable& Handles();

}  // namespace orbalis::win32
