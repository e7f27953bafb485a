// The process-wide table of WinHTTP handles and the per-session cookie store.
#include "platform/winhttp/handles.h"

#include <unordered_map>

namespace lumeno::platform {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<WinHttpHandleObject*, std::shared_ptr<WinHttpHandleObject>> objects;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

void LockData(CURL*, curl_lock_data data, curl_lock_access, void* store) {
    static_cast<CookieStore*>(store)->locks[data].lock();
}

void UnlockData(CURL*, curl_lock_data data, void* store) {
    static_cast<CookieStore*>(store)->locks[data].unlock();
}

}  // namespace

CURLSH* CookieStore::Share() {
    std::call_once(made_, [this] {
        share_.reset(curl_share_init());
        if (!share_) return;
        curl_share_setopt(share_.get(), CURLSHOPT_LOCKFUNC, &LockData);
        curl_share_setopt(share_.get(), CURLSHOPT_UNLOCKFUNC, &UnlockData);
        curl_share_setopt(share_.get(), CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    });
    return share_.get();
}

HINTERNET AddHandle(std::shared_ptr<WinHttpHandleObject> object) {
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    WinHttpHandleObject* handle = object.get();
    table.objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<WinHttpHandleObject> FindHandle(HINTERNET handle) {
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    const auto found = table.objects.find(handle);
    if (found == table.objects.end()) {
        SetWinHttpLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return found->second;
}

bool RemoveHandle(HINTERNET handle) {
    std::shared_ptr<WinHttpHandleObject> dropped;  // destroyed after the lock is released
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    const auto found = table.objects.find(handle);
    if (found == table.objects.end()) return false;
    dropped = std::move(found->second);
    table.objects.erase(found);
    return true;
}

}  // namespace lumeno::platform
