#pragma once
// Element nodes for a whole tree from one block of memory: building the HTML of a note makes
// hundreds of thousands of small elements, and taking each from the general heap and giving it
// back one by one costs more than building them.
//
// While an RQXMLArenaScope is open on a thread, the elements made on that thread take their
// memory from the scope's arena. The arena lives as long as any of them: it goes with the last
// element (or with the scope, if none is left), whichever thread lets it go. Memory is not
// reused within an arena, so a scope suits a tree that is built, used and dropped as a whole.
//
// Besides the elements themselves an arena holds data that goes with them (child lists, texts):
// such blocks are not counted and never given back one by one; they go with the arena.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quillet {

class RQXMLArena {
public:
    RQXMLArena(const RQXMLArena&) = delete;
    RQXMLArena& operator=(const RQXMLArena&) = delete;

    // The arena of the scope open on this thread, or null.
    static RQXMLArena* current() { return current_; }

    // Only on the thread whose scope is open.
    void* allocate(std::size_t size, std::size_t alignment) {
        ++allocations_;
        if (reusable_ && size == reusableSize_) {
            void* block = reusable_;
            reusable_ = *static_cast<void**>(block);
            return block;
        }
        return allocateData(size, alignment);
    }
    // Any thread, once per allocation. A block given back while the scope is still building
    // (a node dropped on the way) is handed out again for the next allocation of its size.
    void release(void* block, std::size_t size) noexcept;
    // Only on the thread whose scope is open: a block that lives as long as the arena, for the
    // data of an element made in it.
    void* allocateData(std::size_t size, std::size_t alignment) {
        // Alignments are powers of two. Most blocks fit the current slab.
        const auto address = (reinterpret_cast<std::uintptr_t>(next_) + alignment - 1) & ~(alignment - 1);
        if (next_ && address + size <= reinterpret_cast<std::uintptr_t>(end_)) {
            next_ = reinterpret_cast<std::byte*>(address + size);
            return reinterpret_cast<void*>(address);
        }
        return carve(size, alignment);
    }

    std::size_t slabCount() const { return slabs_.size(); }
    // The bytes of all slabs taken so far.
    std::size_t slabBytes() const { return slabBytes_; }

private:
    friend class RQXMLArenaScope;
    RQXMLArena() = default;
    ~RQXMLArena() = default;
    // Ends the scope's hold; the arena goes now if nothing it gave out is alive.
    void close() noexcept;
    // A block of `size` bytes at `alignment`, from the current slab or a new one.
    void* carve(std::size_t size, std::size_t alignment);

    static constinit inline thread_local RQXMLArena* current_ = nullptr;

    // The scope holds this many references until it closes, so that releases during the scope
    // never bring the count to zero; it then exchanges them for the number of allocations.
    static constexpr long long kScopeHold = 1LL << 60;

    std::atomic<long long> references_{kScopeHold};
    long long allocations_ = 0; // touched by the scope's thread only
    std::vector<std::unique_ptr<std::byte[]>> slabs_;
    std::byte* next_ = nullptr;
    std::byte* end_ = nullptr;
    std::size_t nextSlabBytes_ = 64 * 1024; // slabs grow with the tree, up to a limit
    std::size_t slabBytes_ = 0;
    // Blocks given back during the scope, all of one size (elements are all alike), each
    // holding the next one's address.
    void* reusable_ = nullptr;
    std::size_t reusableSize_ = 0;
};

// Opens an arena for the elements this thread makes until the scope ends (scopes nest).
class RQXMLArenaScope {
public:
    RQXMLArenaScope();
    ~RQXMLArenaScope();
    RQXMLArenaScope(const RQXMLArenaScope&) = delete;
    RQXMLArenaScope& operator=(const RQXMLArenaScope&) = delete;

    RQXMLArena& arena() const { return *arena_; }

private:
    RQXMLArena* arena_;
    RQXMLArena* previous_;
};

// An allocator for std::allocate_shared: from the arena it was made with, or from the heap when
// that is null.
template <typename T> class RQXMLArenaAllocator {
public:
    using value_type = T;

    explicit RQXMLArenaAllocator(RQXMLArena* arena) noexcept : arena_(arena) {}
    template <typename U>
    RQXMLArenaAllocator(const RQXMLArenaAllocator<U>& other) noexcept : arena_(other.arena()) {}

    T* allocate(std::size_t count) {
        if (!arena_) return std::allocator<T>().allocate(count);
        return static_cast<T*>(arena_->allocate(count * sizeof(T), alignof(T)));
    }
    void deallocate(T* pointer, std::size_t count) noexcept {
        if (!arena_) return std::allocator<T>().deallocate(pointer, count);
        arena_->release(pointer, count * sizeof(T));
    }

    RQXMLArena* arena() const noexcept { return arena_; }
    template <typename U> bool operator==(const RQXMLArenaAllocator<U>& other) const noexcept {
        return arena_ == other.arena();
    }

private:
    RQXMLArena* arena_;
};

} // namespace quillet
