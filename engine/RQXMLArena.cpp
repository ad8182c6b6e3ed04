#include "engine/RQXMLArena.h"

#include <algorithm>
#include <cstdint>

namespace quillet {

namespace {

constexpr std::size_t kSlabBytes = 64 * 1024;

thread_local RQXMLArena* currentArena = nullptr;

} // namespace

RQXMLArena* RQXMLArena::current() {
    return currentArena;
}

void* RQXMLArena::allocate(std::size_t size, std::size_t alignment) {
    ++allocations_;
    if (reusable_ && size == reusableSize_) {
        void* block = reusable_;
        reusable_ = *static_cast<void**>(block);
        return block;
    }
    auto aligned = [alignment](std::byte* at) {
        const auto address = reinterpret_cast<std::uintptr_t>(at);
        return at + ((alignment - address % alignment) % alignment);
    };
    std::byte* start = next_ ? aligned(next_) : nullptr;
    if (!start || start + size > end_) {
        const std::size_t bytes = std::max(kSlabBytes, size + alignment);
        slabs_.push_back(std::make_unique_for_overwrite<std::byte[]>(bytes));
        start = aligned(slabs_.back().get());
        end_ = slabs_.back().get() + bytes;
    }
    next_ = start + size;
    return start;
}

void RQXMLArena::release(void* block, std::size_t size) noexcept {
    // Only the scope's own thread sees this arena as current, and only while the scope is open.
    if (currentArena == this && size >= sizeof(void*) && (!reusable_ || size == reusableSize_)) {
        *static_cast<void**>(block) = reusable_;
        reusable_ = block;
        reusableSize_ = size;
    }
    if (references_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

void RQXMLArena::close() noexcept {
    // What is left: the allocations not yet released.
    const long long exchange = kScopeHold - allocations_;
    if (references_.fetch_sub(exchange, std::memory_order_acq_rel) == exchange) delete this;
}

RQXMLArenaScope::RQXMLArenaScope() : arena_(new RQXMLArena), previous_(currentArena) {
    currentArena = arena_;
}

RQXMLArenaScope::~RQXMLArenaScope() {
    currentArena = previous_;
    arena_->close();
}

} // namespace quillet
