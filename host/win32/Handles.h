// The one table of every object the stand-in hands out behind an opaque
// handle: windows, modules, resources, GDI objects, icons and image lists,
// and the host's strings, file paths, art sets and text-engine references.
//
// A handle names a slot by its index and carries the slot's generation and
// the object's kind. Disposing of an object moves its slot to the next
// generation, so a handle kept after its object is gone, a handle of another
// kind, or a made-up value finds nothing: the table answers null and never
// reads memory through a handle. Live objects are counted per kind, so tests
// can assert that nothing leaks.
//
// An object may have an owner (a host): it is found only through that owner
// and destroyed with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace orbalis::win32 {

// A new kind goes on its own line before Count; the values are never stored.
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
    String,
    FilePath,
    ArtSet,
    TextEngineRef,
    Panel,
    FlyoutMenu,
    Count
};

// The base of the Win32 objects, which are told their kind when added.
struct Object {
    virtual ~Object() = default;
};

class HandleTable {
public:
    HandleTable() = default;
    // Destroys every object still in the table.
    ~HandleTable();
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    // Takes the object and returns its new handle value, never 0; 0 when the
    // table is full (the object is then destroyed).
    uintptr_t Add(HandleKind kind, std::unique_ptr<Object> object) {
        return AddErased(kind, object.release(), &Destroy<Object>, nullptr);
    }
    // The same for an object that names its kind as `static constexpr
    // HandleKind kKind`, found only through `owner` and destroyed with it.
    template <typename T>
    uintptr_t Add(std::unique_ptr<T> object, const void* owner) {
        return AddErased(T::kKind, object.release(), &Destroy<T>, owner);
    }

    // The live object of that kind, or null for 0, a stale handle, one of
    // another kind or one of an owner.
    Object* Find(uintptr_t handle, HandleKind kind) const {
        return static_cast<Object*>(FindErased(handle, kind, nullptr));
    }
    template <class T>
    T* Get(const void* handle, HandleKind kind) const {
        return static_cast<T*>(Find(reinterpret_cast<uintptr_t>(handle), kind));
    }
    template <typename T>
    T* Find(uintptr_t handle, const void* owner) const {
        return static_cast<T*>(FindErased(handle, T::kKind, owner));
    }

    // Disposes of the object; false, touching nothing, when the handle was not
    // live, of another kind or of another owner.
    bool Remove(uintptr_t handle, HandleKind kind) { return DisposeErased(handle, kind, nullptr); }
    template <typename T>
    bool Dispose(uintptr_t handle, const void* owner) {
        return DisposeErased(handle, T::kKind, owner);
    }
    // Disposes of every object of `owner`.
    void DisposeAll(const void* owner);
    // The live handles of `kind` and `owner`, in slot order.
    std::vector<uintptr_t> Handles(HandleKind kind, const void* owner) const;

    // Live objects of a kind, all owners together.
    int Live(HandleKind kind) const { return live_[static_cast<size_t>(kind)]; }

    // Handle layout, low bits first: slot index + 1, kind, generation.
    static constexpr int kIndexBits = 24;
    static constexpr int kKindBits = 8;
    static constexpr uint32_t kMaxSlots = (uint32_t{1} << kIndexBits) - 1;
    static HandleKind KindOf(uintptr_t handle) {
        return static_cast<HandleKind>((handle >> kIndexBits) & ((uintptr_t{1} << kKindBits) - 1));
    }

private:
    struct Slot {
        void* object = nullptr;
        void (*destroy)(void*) = nullptr;
        const void* owner = nullptr;
        uint32_t generation = 1;
        HandleKind kind{};
    };

    template <typename T>
    static void Destroy(void* object) {
        delete static_cast<T*>(object);
    }

    uintptr_t AddErased(HandleKind kind, void* object, void (*destroy)(void*), const void* owner);
    void* FindErased(uintptr_t handle, HandleKind kind, const void* owner) const;
    bool DisposeErased(uintptr_t handle, HandleKind kind, const void* owner);
    const Slot* SlotOf(uintptr_t handle, HandleKind kind, const void* owner) const;
    void DisposeSlot(uint32_t index);

    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;  // indices of empty slots, reused last-freed first
    int live_[static_cast<size_t>(HandleKind::Count)] = {};
};

// The process's one table.
HandleTable& Handles();

// One owner's share of the process's table: what it adds is found only
// through it and destroyed with it, and its live objects are counted per kind.
class HandleOwner {
public:
    HandleOwner() = default;
    // Destroys every object of this owner still in the table.
    ~HandleOwner() { win32::Handles().DisposeAll(this); }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

    template <typename T>
    uintptr_t Add(std::unique_ptr<T> object) {
        const uintptr_t handle = win32::Handles().Add(std::move(object), this);
        if (handle) ++live_[static_cast<size_t>(T::kKind)];
        return handle;
    }
    template <typename T>
    T* Find(uintptr_t handle) const {
        return win32::Handles().Find<T>(handle, this);
    }
    template <typename T>
    bool Dispose(uintptr_t handle) {
        if (!win32::Handles().Dispose<T>(handle, this)) return false;
        --live_[static_cast<size_t>(T::kKind)];
        return true;
    }

    // This owner's live handles of `kind`, in slot order.
    std::vector<uintptr_t> Handles(HandleKind kind) const { return win32::Handles().Handles(kind, this); }
    // Calls `visit` (handle, object) for every live object of T's kind of
    // this owner, in slot order.
    template <typename T, typename Visit>
    void ForEach(Visit visit) const {
        for (uintptr_t handle : Handles(T::kKind)) visit(handle, Find<T>(handle));
    }

    // The number of this owner's live objects of `kind`. The reference stays
    // valid, and follows the count, for the owner's whole life.
    const int& live(HandleKind kind) const { return live_[static_cast<size_t>(kind)]; }

private:
    int live_[static_cast<size_t>(HandleKind::Count)] = {};
};

}  // namespace orbalis::win32
