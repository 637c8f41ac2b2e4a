#include "platform/kmdf/UserThread.hpp"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace kmdf {

namespace {

constexpr std::size_t PRUNE_AT = 64;

struct CancellerRegistry {
    std::mutex mutex;
    std::vector<ThreadIoCanceller*> cancellers;
};

/// Never destroyed: threads may end after static objects are gone.
CancellerRegistry& Registry() {
    static auto* registry = new CancellerRegistry;
    return *registry;
}

std::atomic<std::uint64_t> nextKey{1};

// Each thread's record lives on the heap and is owned by a thread-specific
// key, whose destructor ends it when the thread ends. Not a thread_local
// object: with the Windows compilers' emulated TLS, such an object's storage
// can be freed before its destructor runs.
void EndThreadRecord(void* record) {
    std::unique_ptr<UserThread>(static_cast<UserThread*>(record)).reset();
}

pthread_key_t RecordKey() {
    static const pthread_key_t key = [] {
        pthread_key_t made{};
        pthread_key_create(&made, EndThreadRecord);
        return made;
    }();
    return key;
}

}  // namespace

UserThread& UserThread::Current() {
    const pthread_key_t key = RecordKey();
    if (void* record = pthread_getspecific(key)) {
        return *static_cast<UserThread*>(record);
    }
    auto record = std::unique_ptr<UserThread>(new UserThread);
    pthread_setspecific(key, record.get());
    return *record.release();  // owned by the key from here on
}

UserThread::UserThread() : key_(nextKey.fetch_add(1)) {}

UserThread::~UserThread() {
    DropFinished();
    if (outstanding_.empty()) {
        return;
    }
    {
        CancellerRegistry& registry = Registry();
        std::lock_guard lock(registry.mutex);
        for (ThreadIoCanceller* canceller : registry.cancellers) {
            canceller->CancelThreadIo(key_);
        }
    }
    // The thread's buffers go with it: nothing may still write into them.
    for (const std::weak_ptr<IoOperation>& weak : outstanding_) {
        if (std::shared_ptr<IoOperation> operation = weak.lock()) {
            operation->Wait();
        }
    }
}

void UserThread::Track(const std::shared_ptr<IoOperation>& operation) {
    if (outstanding_.size() >= pruneAt_) {
        DropFinished();
        pruneAt_ = std::max(PRUNE_AT, 2 * outstanding_.size());
    }
    outstanding_.push_back(operation);
}

void UserThread::DropFinished() {
    std::erase_if(outstanding_, [](const std::weak_ptr<IoOperation>& weak) {
        const std::shared_ptr<IoOperation> operation = weak.lock();
        return !operation || operation->IsDone();
    });
}

void UserThread::Register(ThreadIoCanceller* canceller) {
    CancellerRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    registry.cancellers.push_back(canceller);
}

void UserThread::Unregister(ThreadIoCanceller* canceller) {
    CancellerRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    std::erase(registry.cancellers, canceller);
}

}  // namespace kmdf
