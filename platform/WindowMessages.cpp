#include "platform/WindowMessages.h"

#include <deque>
#include <mutex>

namespace rodavia {

namespace {
struct Queue {
  std::mutex mutex;
  std::deque<std::function<void()>> work;
  std::function<void()> wake;
};
Queue& TheQueue() {
  static Queue q;
  return q;
}
}  // namespace

void PostToWindow(std::function<void()> work) {
  Queue& q = TheQueue();
  std::function<void()> wake;
  {
    std::lock_guard lock(q.mutex);
    q.work.push_back(std::move(work));
    wake = q.wake;
  }
  if (wake) wake();
}

bool RunPostedWork() {
  Queue& q = TheQueue();
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(q.mutex);
    batch.swap(q.work);
  }
  for (auto& w : batch) w();
  return !batch.empty();
}

void SetWindowWake(std::function<void()> wake) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  q.wake = std::move(wake);
}

}  // namespace rodavia
