// Items 0..count-1 made ahead on worker threads and handed out in their
// order: a run that must write in order can still prepare the next items on
// the other cores. At most `ahead` items are made but not yet taken, which
// bounds the memory of a long run.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

template <class T>
class OrderedPrefetch {
public:
  // With no workers, Take makes every item itself, in the caller's thread.
  OrderedPrefetch(size_t count, std::function<T(size_t)> make, unsigned workers, size_t ahead)
      : m_count(count), m_make(std::move(make)), m_ahead(ahead < 1 ? 1 : ahead) {
    for (unsigned k = 0; k < workers && k < count; ++k) m_threads.emplace_back([this] { Work(); });
  }

  // Items being made are finished and dropped; nothing new is started.
  ~OrderedPrefetch() {
    {
      std::lock_guard<std::mutex> lk(m_lock);
      m_stop = true;
    }
    m_cv.notify_all();
    for (std::thread& t : m_threads) t.join();
  }

  OrderedPrefetch(const OrderedPrefetch&) = delete;
  OrderedPrefetch& operator=(const OrderedPrefetch&) = delete;

  // The next item; a failure to make it is rethrown here, in order.
  T Take() {
    if (m_threads.empty()) return m_make(m_taken++);
    std::unique_lock<std::mutex> lk(m_lock);
    m_cv.wait(lk, [this] { return m_ready.count(m_taken) != 0; });
    auto it = m_ready.find(m_taken);
    Slot slot = std::move(it->second);
    m_ready.erase(it);
    ++m_taken;
    lk.unlock();
    m_cv.notify_all();
    if (slot.error) std::rethrow_exception(slot.error);
    return std::move(slot.value);
  }

private:
  struct Slot {
    T value{};
    std::exception_ptr error;
  };

  void Work() {
    for (;;) {
      size_t i = 0;
      {
        std::unique_lock<std::mutex> lk(m_lock);
        m_cv.wait(lk, [this] { return m_stop || m_next >= m_count || m_next < m_taken + m_ahead; });
        if (m_stop || m_next >= m_count) return;
        i = m_next++;
      }
      Slot slot;
      try {
        slot.value = m_make(i);
      } catch (...) {
        slot.error = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> lk(m_lock);
        m_ready.emplace(i, std::move(slot));
      }
      m_cv.notify_all();
    }
  }

  const size_t m_count;
  const std::function<T(size_t)> m_make;
  const size_t m_ahead;
  std::mutex m_lock;
  std::condition_variable m_cv;
  std::map<size_t, Slot> m_ready;
  size_t m_next = 0;
  size_t m_taken = 0;
  bool m_stop = false;
  std::vector<std::thread> m_threads;
};
