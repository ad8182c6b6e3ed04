#include "engine/RQXMLArena.h"

#include <algorithm>
#include <cstdint>

namespace quillet {

namespace {

constexpr std::size_t kLargestSlabBytes = 1024 * 1024;

std::byte* alignedFrom(std::byte* at, std::size_t alignment) {
    const auto address = reinterpret_cast<std::uintptr_t>(at);
    return at + ((alignment - address % alignment) % alignment);
}

} // namespace

void* RQXMLArena::carve(std::size_t size, std::size_t alignment) {
    std::byte* start = next_ ? alignedFrom(next_, alignment) : nullptr;
    if (start && start + size <= end_) {
        next_ = start + size;
        return start;
    }
    // A block larger than a quarter of a slab gets a slab of its own, so that the rest of the
    // current one is not wasted.
    if (size + alignment > nextSlabBytes_ / 4) {
        slabBytes_ += size + alignment;
        slabs_.push_back(std::make_unique_for_overwrite<std::byte[]>(size + alignment));
        return alignedFrom(slabs_.back().get(), alignment);
    }
    slabs_.push_back(std::make_unique_for_overwrite<std::byte[]>(nextSlabBytes_));
    slabBytes_ += nextSlabBytes_;
    start = alignedFrom(slabs_.back().get(), alignment);
    end_ = slabs_.back().get() + nextSlabBytes_;
    next_ = start + size;
    nextSlabBytes_ = std::min(2 * nextSlabBytes_, kLargestSlabBytes);
    return start;
}

void RQXMLArena::release(void* block, std::size_t size) noexcept {
    // Only the scope's own thread sees this arena as current, and only while the scope is open.
    if (current_ == this && size >= sizeof(void*) && (!reusable_ || size == reusableSize_)) {
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

RQXMLArenaScope::RQXMLArenaScope() : arena_(new RQXMLArena), previous_(RQXMLArena::current_) {
    RQXMLArena::current_ = arena_;
}

RQXMLArenaScope::~RQXMLArenaScope() {
    RQXMLArena::current_ = previous_;
    arena_->close();
}

} // namespace quillet
