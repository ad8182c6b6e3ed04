#include "browser/NoteTree.h"

#include "platform/UserDefaults.h"

namespace quillet {

namespace {

void sortEveryFolder(FileRepresentation& folder, const SortDescriptors& descriptors) {
    if (!folder.children) return;
    sortRecords(*folder.children, descriptors);
    for (const FileRep& child : *folder.children)
        if (child && child->directory) sortEveryFolder(*child, descriptors);
}

} // namespace

NoteTree::NoteTree(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher)
    : defaults_(defaults), dispatcher_(dispatcher), openFolderCall_(dispatcher) {
    sortMode_ =
        defaults_.string(QString::fromLatin1(platform::defaults_keys::kLastSortMode)).value_or(kSortModeDate);
}

NoteTree::~NoteTree() {
    *alive_ = false;
}

FileRepList NoteTree::roots() const {
    FileRepList roots;
    for (const FileRep& top : {iCloudTop_, localFolderTop_, localTop_})
        if (top) roots.push_back(top);
    return roots;
}

void NoteTree::onMain(platform::Task task) {
    std::weak_ptr<bool> alive = alive_;
    dispatcher_.onMain([alive, task = std::move(task)] {
        const auto flag = alive.lock();
        if (flag && *flag) task();
    });
}

void NoteTree::sortMenuDidSelect(const QString& title) {
    SortDescriptors descriptors;
    if (title == kSortModeDate || title == kSortModeName) {
        sortMode_ = title;
        descriptors = pickedSortDescriptors(title);
    }
    defaults_.setObject(QString::fromLatin1(platform::defaults_keys::kLastSortMode), sortMode_);
    if (descriptors.empty()) return;
    // Every local folder, as the next launch will list them.
    for (const FileRep& top : {localTop_, localFolderTop_})
        if (top) sortEveryFolder(*top, descriptors);
    if (iCloudTop_) {
        std::lock_guard lock(iCloudTop_->lock());
        if (iCloudTop_->children) sortChildren(*iCloudTop_->children, descriptors);
    }
    if (view_) view_->updateTable();
}

} // namespace quillet
