#pragma once
// A queue of tasks run by a fixed set of worker threads. With one worker the tasks run one at a
// time in push order, which is what the loggers rely on.

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace logging {

class MultiThreadTaskQueue {
  public:
    // Starts `threadCount` workers.
    explicit MultiThreadTaskQueue(int threadCount);
    // Stops the queue as stop() does.
    ~MultiThreadTaskQueue();
    MultiThreadTaskQueue(const MultiThreadTaskQueue&) = delete;
    MultiThreadTaskQueue& operator=(const MultiThreadTaskQueue&) = delete;

    // Queues `task` and wakes one worker. The future becomes ready when the task has run; after
    // stop() the task is not queued and the future reports a broken promise.
    std::future<void> push(std::function<void()> task);

    // Refuses further tasks, lets the workers finish every task queued so far, and joins them.
    // A second call does nothing. Throws std::system_error (resource deadlock) when called from
    // one of the workers, leaving the queue running.
    void stop();

  private:
    void work();

    std::vector<std::thread> m_workers;
    std::deque<std::function<void()>> m_tasks;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
};

}  // namespace logging
