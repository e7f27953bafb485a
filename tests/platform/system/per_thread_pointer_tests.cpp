// Per-thread pointers: each thread sees its own value, and a value left set when its thread
// ends is released once, on that thread; message queues of ended threads are released so.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system/per_thread_pointer.h"

namespace lumeno::platform {
namespace {

struct Released {
    std::mutex mutex;
    std::vector<int> values;
    std::vector<std::thread::id> threads;
};

Released& Log() {
    static Released* log = new Released;
    return *log;
}

struct Value {
    int number;
};

void Release(void* value) {
    auto* v = static_cast<Value*>(value);
    std::lock_guard lock(Log().mutex);
    Log().values.push_back(v->number);
    Log().threads.push_back(std::this_thread::get_id());
    delete v;
}

PerThreadPointer& Key() {
    static PerThreadPointer* key = new PerThreadPointer(Release);
    return *key;
}

TEST(PerThreadPointer, EachThreadHasItsOwnValueReleasedWhenItEnds) {
    Value* mine = new Value{0};
    ASSERT_TRUE(Key().Set(mine));
    std::thread::id first;
    std::thread a([&] {
        first = std::this_thread::get_id();
        EXPECT_EQ(Key().Get(), nullptr);
        ASSERT_TRUE(Key().Set(new Value{1}));
        EXPECT_EQ(static_cast<Value*>(Key().Get())->number, 1);
    });
    a.join();
    std::thread b([&] {
        auto* taken = new Value{2};
        ASSERT_TRUE(Key().Set(taken));
        ASSERT_TRUE(Key().Set(nullptr));  // taken back: nothing to release
        delete taken;
    });
    b.join();
    {
        std::lock_guard lock(Log().mutex);
        EXPECT_EQ(Log().values, std::vector<int>{1});
        EXPECT_EQ(Log().threads, std::vector<std::thread::id>{first});
    }
    // This thread still sees its own value; the others' never reached it.
    EXPECT_EQ(Key().Get(), mine);
    ASSERT_TRUE(Key().Set(nullptr));
    delete mine;
}

TEST(PerThreadPointer, ManyThreadsEndingTogetherReleaseEveryValueOnce) {
    {
        std::lock_guard lock(Log().mutex);
        Log().values.clear();
        Log().threads.clear();
    }
    std::vector<std::thread> threads;
    for (int i = 1; i <= 16; ++i) {
        threads.emplace_back([i] { Key().Set(new Value{i}); });
    }
    for (std::thread& t : threads) t.join();
    std::lock_guard lock(Log().mutex);
    std::vector<int> values = Log().values;
    std::sort(values.begin(), values.end());
    std::vector<int> expected(16);
    for (int i = 0; i < 16; ++i) expected[i] = i + 1;
    EXPECT_EQ(values, expected);
}

}  // namespace
}  // namespace lumeno::platform
