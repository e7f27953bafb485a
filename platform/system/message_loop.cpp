// The registry of per-thread loops. Each thread's entry is created on first use by its slot and
// leaves the registry when the thread ends, so posts to an ended thread fail instead of queuing
// into nothing.
#include "platform/system/message_loop.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/system/default_thread_queue.h"
#include "platform/system/per_thread_pointer.h"

namespace lumeno::platform {
namespace {

struct ThreadEntry {
    std::mutex mutex;  // guards `installed` against posts from other threads
    ThreadMessageLoop* installed = nullptr;
    std::unique_ptr<DefaultThreadQueue> queue = MakeDefaultThreadQueue();

    ThreadMessageLoop& Target() { return installed ? *installed : *queue; }
};

struct LoopRegistry {
    std::mutex mutex;
    std::unordered_map<ThreadId, std::shared_ptr<ThreadEntry>> threads;
    ThreadId nextId = 1;
};

// Never destroyed: detached workers may end (and unregister) after static destruction began.
LoopRegistry& Loops() {
    static LoopRegistry* registry = new LoopRegistry;
    return *registry;
}

struct ThreadSlot {
    ThreadId id = 0;
    std::shared_ptr<ThreadEntry> entry = std::make_shared<ThreadEntry>();

    ThreadSlot() {
        LoopRegistry& loops = Loops();
        std::lock_guard lock(loops.mutex);
        id = loops.nextId++;
        loops.threads.emplace(id, entry);
    }

    ~ThreadSlot() {
        {
            LoopRegistry& loops = Loops();
            std::lock_guard lock(loops.mutex);
            loops.threads.erase(id);
        }
        {
            std::lock_guard lock(entry->mutex);
            entry->installed = nullptr;
        }
        entry->queue->Close();
    }
};

void ReleaseSlot(void* slot);

// The thread's slot lives in a thread key, not in a thread_local object (see
// per_thread_pointer.h), and is released when the thread ends.
PerThreadPointer& SlotKey() {
    static PerThreadPointer* key = new PerThreadPointer(ReleaseSlot);
    return *key;
}

void ReleaseSlot(void* slot) {
    // Cleared first: the functors still queued are destroyed with the slot, and whatever they
    // do then gets a new slot rather than the one being taken apart.
    SlotKey().Set(nullptr);
    delete static_cast<ThreadSlot*>(slot);
}

ThreadSlot& Slot() {
    if (auto* slot = static_cast<ThreadSlot*>(SlotKey().Get())) return *slot;
    // Only when the system had no key to give: the slot then stays for the rest of the process,
    // a queue that is never closed rather than one freed while the thread still posts to it.
    thread_local ThreadSlot* unreleased = nullptr;
    if (unreleased != nullptr) return *unreleased;
    auto* slot = new ThreadSlot;
    if (!SlotKey().Set(slot)) unreleased = slot;
    return *slot;
}

std::shared_ptr<ThreadEntry> FindThread(ThreadId thread) {
    LoopRegistry& loops = Loops();
    std::lock_guard lock(loops.mutex);
    auto found = loops.threads.find(thread);
    return found == loops.threads.end() ? nullptr : found->second;
}

}  // namespace

ThreadId CurrentThreadId() {
    return Slot().id;
}

void InstallThreadMessageLoop(ThreadMessageLoop* loop) {
    ThreadEntry& entry = *Slot().entry;
    std::lock_guard lock(entry.mutex);
    if (loop == entry.queue.get()) loop = nullptr;
    const bool fromQueue = entry.installed == nullptr;
    entry.installed = loop;
    if (loop && fromQueue) entry.queue->MoveTo(*loop);
}

ThreadMessageLoop& CurrentThreadLoop() {
    // Only the owning thread changes `installed`, so it may read it without the lock.
    return Slot().entry->Target();
}

bool PostThreadMessage(ThreadId thread, std::function<void()> message) {
    if (!message) return false;
    std::shared_ptr<ThreadEntry> entry = FindThread(thread);
    if (!entry) return false;
    std::lock_guard lock(entry->mutex);
    return entry->Target().Post(std::move(message));
}

bool PostQuitMessage(int exitCode) {
    return CurrentThreadLoop().PostQuit(exitCode);
}

std::optional<int> QueuedQuitCode() {
    ThreadEntry& entry = *Slot().entry;
    if (entry.installed) return std::nullopt;
    return entry.queue->QuitCodeNext();
}

void WakeAllThreadLoops() {
    std::vector<std::shared_ptr<ThreadEntry>> entries;
    {
        LoopRegistry& loops = Loops();
        std::lock_guard lock(loops.mutex);
        entries.reserve(loops.threads.size());
        for (const auto& [id, entry] : loops.threads) entries.push_back(entry);
    }
    for (const auto& entry : entries) {
        std::lock_guard lock(entry->mutex);
        entry->Target().Wake();
    }
}

}  // namespace lumeno::platform
