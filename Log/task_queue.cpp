#include "Log/task_queue.h"

#include <algorithm>
#include <memory>
#include <system_error>

namespace logging {

MultiThreadTaskQueue::MultiThreadTaskQueue(int threadCount) {
    m_workers.reserve(static_cast<std::size_t>(std::max(threadCount, 0)));
    for (int i = 0; i < threadCount; ++i) m_workers.emplace_back([this] { work(); });
}

MultiThreadTaskQueue::~MultiThreadTaskQueue() {
    stop();
}

std::future<void> MultiThreadTaskQueue::push(std::function<void()> task) {
    auto packaged = std::make_shared<std::packaged_task<void()>>(std::move(task));
    std::future<void> result = packaged->get_future();
    {
        std::lock_guard lock(m_mutex);
        if (m_stop) return result;  // `packaged` dies here and breaks the promise
        m_tasks.emplace_back([packaged] { (*packaged)(); });
    }
    m_wake.notify_one();
    return result;
}

void MultiThreadTaskQueue::stop() {
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(m_mutex);
        auto self = std::this_thread::get_id();
        for (const auto& worker : m_workers) {
            if (worker.get_id() == self) {
                throw std::system_error(
                    std::make_error_code(std::errc::resource_deadlock_would_occur),
                    "MultiThreadTaskQueue::stop from a worker");
            }
        }
        m_stop = true;
        workers.swap(m_workers);
    }
    m_wake.notify_all();
    for (auto& worker : workers) worker.join();
}

void MultiThreadTaskQueue::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_tasks.empty(); });
            // Stopping drains the queue first: a task accepted before stop() always runs.
            if (m_tasks.empty()) return;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

}  // namespace logging
