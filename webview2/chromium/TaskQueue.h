#pragma once
// Tasks run one after another, in order, on a thread of the queue's own (the protocol's
// blocking commands of one page). Destroying the queue lets its thread finish the tasks
// queued so far and end; nothing waits for it.
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class TaskQueue {
public:
    TaskQueue();
    ~TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    // False when the thread could not be started (the task is dropped).
    bool push(std::function<void()> task);

private:
    struct State;
    static unsigned long __stdcall threadMain(void* self);

    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::function<void()>> tasks;
        bool stopping = false;
        bool running = false;
    };
    std::shared_ptr<State> state;
};
