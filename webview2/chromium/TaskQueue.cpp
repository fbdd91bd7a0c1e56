#include "webview2/chromium/TaskQueue.h"

#include "framework/Win.h"

DWORD WINAPI TaskQueue::threadMain(void* self)
{
    std::unique_ptr<std::shared_ptr<State>> owned(static_cast<std::shared_ptr<State>*>(self));
    State& queue = **owned;
    std::unique_lock<std::mutex> lock(queue.mutex);
    for (;;) {
        queue.changed.wait(lock, [&] { return queue.stopping || !queue.tasks.empty(); });
        if (queue.tasks.empty())
            return 0;
        std::function<void()> task = std::move(queue.tasks.front());
        queue.tasks.pop_front();
        lock.unlock();
        task();
        // What the task holds goes before the next one starts.
        task = nullptr;
        lock.lock();
    }
}

TaskQueue::TaskQueue() : state(std::make_shared<State>())
{
    auto* held = new std::shared_ptr<State>(state);
    std::lock_guard<std::mutex> lock(state->mutex);
    HANDLE thread = CreateThread(nullptr, 0, threadMain, held, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
        state->running = true;
    } else {
        delete held;
    }
}

TaskQueue::~TaskQueue()
{
    std::lock_guard<std::mutex> lock(state->mutex);
    state->stopping = true;
    state->changed.notify_all();
}

bool TaskQueue::push(std::function<void()> task)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!state->running)
        return false;
    state->tasks.push_back(std::move(task));
    state->changed.notify_all();
    return true;
}
