// The one table of every object the stand-in hands out behind an opaque
// handle: the host's art, layers, strings, file paths, art sets and
// text-engine references, and the Win32 model's windows, modules, resources,
// GDI objects, icons and image lists.
//
// A handle names a slot by its index and carries the slot's generation and
// the object's kind. Disposing of an object moves its slot to the next
// generation, so a handle kept after its object is gone, a handle of another
// kind, or a made-up value finds nothing: the table answers null and never
// reads memory through a handle. Live objects are counted per kind, so tests
// can assert that nothing leaks.
//
// The table knows no kind of its own: each part registers the kinds of the
// objects it hands out (see HandleKind).
//
// An object may have an owner (a host, a document): it is found through that
// owner and destroyed with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace orbalis::handles {

// A kind of object in the table. The part that hands such objects out
// defines one HandleKind for it, once, at namespace scope in a source file:
//
//     const HandleKind kWindowKind("window");
//
// Kinds are told apart by their address; each also gets a small number, in
// the order they are made, that handles carry so that one of another kind is
// refused before its slot is read. The numbers are never stored.
class HandleKind {
public:
    explicit HandleKind(const char* name);
    HandleKind(const HandleKind&) = delete;
    HandleKind& operator=(const HandleKind&) = delete;

    const char* name() const { return name_; }
    uint8_t number() const { return number_; }

    // The kinds made so far, in the order they were made.
    static std::vector<const HandleKind*> All();
    // At most this many kinds can be made; one more stops the program.
    static constexpr int kMaxKinds = 255;

private:
    const char* name_;
    uint8_t number_;
};

// The base of objects whose destructor is virtual; the table also holds
// objects of any type through the typed Add.
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
    uintptr_t Add(const HandleKind& kind, std::unique_ptr<Object> object) {
        return AddErased(kind, object.release(), &Destroy<Object>, nullptr);
    }
    // The same for an object of any type, found through `owner` and
    // destroyed with it.
    template <typename T>
    uintptr_t Add(const HandleKind& kind, std::unique_ptr<T> object, const void* owner) {
        return AddErased(kind, object.release(), &Destroy<T>, owner);
    }
    // The same for an object in storage its owner manages: `destroy` ends
    // its life and gives the storage back.
    uintptr_t Add(const HandleKind& kind, void* object, void (*destroy)(void*), const void* owner) {
        return AddErased(kind, object, destroy, owner);
    }
    // The same for an object that names its kind as `static const
    // HandleKind& kKind`.
    template <typename T>
    uintptr_t Add(std::unique_ptr<T> object, const void* owner) {
        return Add(T::kKind, std::move(object), owner);
    }

    // The live object of that kind, or null for 0, a stale handle, one of
    // another kind or one of an owner.
    Object* Find(uintptr_t handle, const HandleKind& kind) const {
        const Slot* slot = SlotOf(handle, kind);
        return slot && !slot->owner ? static_cast<Object*>(slot->object) : nullptr;
    }
    template <class T>
    T* Get(const void* handle, const HandleKind& kind) const {
        return static_cast<T*>(Find(reinterpret_cast<uintptr_t>(handle), kind));
    }
    template <typename T>
    T* Find(uintptr_t handle, const void* owner) const {
        const Slot* slot = SlotOf(handle, T::kKind);
        return slot && slot->owner == owner ? static_cast<T*>(slot->object) : nullptr;
    }
    // The live object of that kind whoever its owner is, with that owner;
    // null as Find. For objects any holder of the handle may reach, such as
    // the art of every open document.
    template <typename T>
    T* FindOfAnyOwner(uintptr_t handle, const HandleKind& kind) const {
        const Slot* slot = SlotOf(handle, kind);
        if (!slot) return nullptr;
        // A live slot always holds an object: AddErased takes no null.
        if (!slot->object) __builtin_unreachable();
        return static_cast<T*>(slot->object);
    }

    // Starts fetching the object a handle names, for a reading soon after;
    // a hint only, so the handle is not checked beyond staying inside the
    // table, and a stale one fetches a line for nothing.
    void Prefetch(uintptr_t handle) const {
        const uintptr_t index = (handle & kIndexMask) - 1;
        if (index < slotCount_) __builtin_prefetch(slots_[index].object);
    }

    // Disposes of the object; false, touching nothing, when the handle was not
    // live, of another kind or of another owner.
    bool Remove(uintptr_t handle, const HandleKind& kind) { return DisposeErased(handle, kind, nullptr); }
    bool Dispose(uintptr_t handle, const HandleKind& kind, const void* owner) {
        return DisposeErased(handle, kind, owner);
    }
    template <typename T>
    bool Dispose(uintptr_t handle, const void* owner) {
        return DisposeErased(handle, T::kKind, owner);
    }
    // Disposes of every object of `owner`.
    void DisposeAll(const void* owner);
    // The live handles of `kind` and `owner`, in slot order.
    std::vector<uintptr_t> Handles(const HandleKind& kind, const void* owner) const;

    // Live objects of a kind, all owners together.
    int Live(const HandleKind& kind) const { return live_[kind.number()]; }

    // The kind of a live handle; null for a made-up or stale one.
    const HandleKind* KindOf(uintptr_t handle) const;

    // Handle layout, low bits first: slot index + 1, kind number, generation.
    static constexpr int kIndexBits = 24;
    static constexpr int kKindBits = 8;
    static constexpr uint32_t kMaxSlots = (uint32_t{1} << kIndexBits) - 1;

private:
    // 32 bytes, so that finding a slot is a shift.
    struct Slot {
        void* object = nullptr;
        void (*destroy)(void*) = nullptr;
        const void* owner = nullptr;
        // A live slot's handle, so that one comparison checks a handle's
        // kind and generation both. An empty slot keeps its next generation
        // here with kind 0, which no handle carries.
        uintptr_t tag = 0;

        uint8_t kind() const { return static_cast<uint8_t>(tag >> kIndexBits); }
        uint32_t generation() const { return static_cast<uint32_t>(tag >> kGenerationShift); }
    };
    static_assert(sizeof(Slot) == 32);

    static constexpr uintptr_t kIndexMask = (uintptr_t{1} << kIndexBits) - 1;
    static constexpr int kGenerationShift = kIndexBits + kKindBits;

    static constexpr uintptr_t HandleOf(uint32_t index, uint8_t kind, uint32_t generation) {
        return (uintptr_t{index} + 1) | (uintptr_t{kind} << kIndexBits) | (uintptr_t{generation} << kGenerationShift);
    }

    template <typename T>
    static void Destroy(void* object) {
        delete static_cast<T*>(object);
    }

    // The live slot the handle names, if it is of `kind`; any owner. Index 0
    // wraps round to beyond the table.
    const Slot* SlotOf(uintptr_t handle, const HandleKind& kind) const {
        const uintptr_t index = (handle & kIndexMask) - 1;
        if (index >= slotCount_ || static_cast<uint8_t>(handle >> kIndexBits) != kind.number()) return nullptr;
        const Slot& slot = slots_[index];
        return slot.tag == handle ? &slot : nullptr;
    }

    uintptr_t AddErased(const HandleKind& kind, void* object, void (*destroy)(void*), const void* owner);
    bool DisposeErased(uintptr_t handle, const HandleKind& kind, const void* owner);
    void DisposeSlot(uint32_t index);

    std::vector<Slot> slots_;
    size_t slotCount_ = 0;        // slots_.size(), one load away on every lookup
    std::vector<uint32_t> free_;  // indices of empty slots, reused last-freed first
    int live_[HandleKind::kMaxKinds + 1] = {};
};

// The process's one table. It lives in this library and is constant-
// initialised, so it is there before any module's static objects are made
// and gone only after them; reaching it costs a load, not a call into this
// library or a check that it was made.
extern constinit HandleTable gProcessTable;

inline HandleTable& Handles() { return gProcessTable; }

// One owner's share of the process's table: what it adds is found only
// through it and destroyed with it, and its live objects are counted per kind.
class HandleOwner {
public:
    HandleOwner() = default;
    // Destroys every object of this owner still in the table.
    ~HandleOwner() { handles::Handles().DisposeAll(this); }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

    template <typename T>
    uintptr_t Add(std::unique_ptr<T> object) {
        const uintptr_t handle = handles::Handles().Add(std::move(object), this);
        if (handle) ++live_[T::kKind.number()];
        return handle;
    }
    template <typename T>
    T* Find(uintptr_t handle) const {
        return handles::Handles().Find<T>(handle, this);
    }
    template <typename T>
    bool Dispose(uintptr_t handle) {
        if (!handles::Handles().Dispose<T>(handle, this)) return false;
        --live_[T::kKind.number()];
        return true;
    }

    // This owner's live handles of `kind`, in slot order.
    std::vector<uintptr_t> Handles(const HandleKind& kind) const { return handles::Handles().Handles(kind, this); }
    // Calls `visit` (handle, object) for every live object of T's kind of
    // this owner, in slot order.
    template <typename T, typename Visit>
    void ForEach(Visit visit) const {
        for (uintptr_t handle : Handles(T::kKind)) visit(handle, Find<T>(handle));
    }

    // The number of this owner's live objects of `kind`. The reference stays
    // valid, and follows the count, for the owner's whole life.
    const int& live(const HandleKind& kind) const { return live_[kind.number()]; }

private:
    int live_[HandleKind::kMaxKinds + 1] = {};
};

}  // namespace orbalis::handles
