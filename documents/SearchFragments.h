#pragma once
// The fragments of search results, copied into shared blocks: one allocation serves hundreds of
// fragments instead of one each. Every fragment is an ordinary QString that holds a reference to
// its block, counted by Qt like any shared string, so a fragment stays valid however long it is
// kept, copied, moved to another thread or outlives the text it came from; changing one copies
// it first while the block is shared, as with any QString. A fragment that is kept alone keeps
// its whole block (a few kilobytes) alive.
//
// A block's references are taken in advance, one for every fragment it can hold, so that making
// a fragment costs no atomic operation; those left unused are given back when the block is
// full or the maker goes.

#include <QString>
#include <algorithm>
#include <cstddef>

namespace quillet {

class SearchFragments {
public:
    // Units per block, terminators included: about 250 fragments of 30 units.
    static constexpr qsizetype kBlockUnits = 8192;

    SearchFragments() = default;
    SearchFragments(const SearchFragments&) = delete;
    SearchFragments& operator=(const SearchFragments&) = delete;
    ~SearchFragments() { giveBackSpareReferences(); }

    // A copy of `length` units at `units`.
    QString fragment(const char16_t* units, std::size_t length) {
        const auto size = static_cast<qsizetype>(length);
        if (size == 0) return QString(reinterpret_cast<const QChar*>(units), 0);
        if (spareReferences_ == 0 || used_ + size + 1 > block_.d->constAllocatedCapacity())
            startBlock(size + 1);
        char16_t* at = block_.ptr + used_;
        std::copy_n(units, size, at);
        at[size] = u'\0'; // a QString's data ends with a terminator, as utf16() promises
        used_ += size + 1;
        --spareReferences_; // handed to the fragment, whose QString gives it up
        return QString(QString::DataPointer(block_.d, at, size));
    }

private:
    void startBlock(qsizetype atLeast) {
        giveBackSpareReferences();
        auto [header, data] = QTypedArrayData<char16_t>::allocate(std::max(kBlockUnits, atLeast));
        Q_CHECK_PTR(header);
        // Every fragment takes at least two units, its terminator included. No other thread
        // can see the new block yet, so its count may be set directly.
        spareReferences_ =
            static_cast<int>(std::min<qsizetype>(header->constAllocatedCapacity() / 2, kBlockUnits));
        header->ref_.storeRelaxed(1 + spareReferences_);
        block_ = QString::DataPointer(header, data, 0); // gives up this object's hold on the last block
        used_ = 0;
    }

    // Keeps one reference, block_'s own, which its destructor or the next block gives up.
    void giveBackSpareReferences() {
        if (block_.d && spareReferences_ > 0) block_.d->ref_.fetchAndSubRelaxed(spareReferences_);
        spareReferences_ = 0;
    }

    QString::DataPointer block_; // the block being filled
    qsizetype used_ = 0;
    int spareReferences_ = 0; // references of block_ taken for fragments not yet made
};

} // namespace quillet
