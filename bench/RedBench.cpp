// The network transport on 127.0.0.1, with messages the size of a race's
// car-state frame for 16 cars: 12 bytes of envelope and 176 characters.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/AsioTransport.h"

namespace rodavia {
namespace {

constexpr size_t kFrameSize = 12 + 176;
const char* const kSession = "Rodavia";

// Counts the events a set of transports queue, and lets a thread sleep
// until a number of them has arrived, as the window thread does.
class Arrivals {
 public:
  std::function<void()> Notify() {
    return [this] {
      std::lock_guard lock(mutex_);
      ++count_;
      arrived_.notify_one();
    };
  }
  void WaitFor(long count) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [&] { return count_ >= count; });
    count_ -= count;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  long count_ = 0;
};

void Drain(Transport& transport) {
  TransportEvent event;
  while (transport.Poll(event)) {
  }
}

// `count` members of one session, each knowing every other.
std::vector<std::unique_ptr<AsioTransport>> Session(int count, Arrivals& arrivals) {
  std::vector<std::unique_ptr<AsioTransport>> members;
  std::string error;
  bool taken = false;
  for (int i = 0; i < count; ++i) {
    auto member = std::make_unique<AsioTransport>();
    member->SetNotify(arrivals.Notify());
    const std::string name = "Equipo" + std::to_string(i);
    const bool open = i == 0 ? member->Create("127.0.0.1", 0, kSession, name, error)
                             : member->Join("127.0.0.1", members[0]->ListeningPort(), kSession,
                                            name, error, taken);
    if (!open) throw std::runtime_error(error);
    members.push_back(std::move(member));
  }
  arrivals.WaitFor(long(count) * (count - 1) / 2);  // each newcomer, once on every older member
  for (auto& member : members) Drain(*member);
  return members;
}

double ProcessCpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Median and 99th percentile of the iterations' times, in microseconds.
void ReportSpread(benchmark::State& state, std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  state.counters["median_us"] = seconds[seconds.size() / 2] * 1e6;
  state.counters["p99_us"] = seconds[seconds.size() * 99 / 100] * 1e6;
}

// A message to another member and its echo back, each member's events
// taken as soon as they are queued.
void BM_RedIdaYVuelta(benchmark::State& state) {
  Arrivals arrivals;
  auto members = Session(2, arrivals);
  AsioTransport& mine = *members[0];
  AsioTransport& echo = *members[1];
  echo.SetNotify([&echo] {
    TransportEvent event;
    while (echo.Poll(event)) echo.Send(event.member.id, std::move(event.data));
  });
  const std::vector<uint8_t> frame(kFrameSize, 'x');
  std::vector<double> samples;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    mine.Send(echo.LocalId(), frame);
    arrivals.WaitFor(1);
    Drain(mine);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    samples.push_back(took.count());
  }
  ReportSpread(state, samples);
}
BENCHMARK(BM_RedIdaYVuelta)->UseManualTime()->Iterations(5000)->Unit(benchmark::kMicrosecond);

// Sixteen members each sending a car-state frame to all every fourth race
// frame of 30 ms: the process CPU time spent per race frame, on every
// member's sending, receiving and polling. One iteration is four frames,
// paced in real time so that the threads sleep between sends as in a race.
void BM_Malla16(benchmark::State& state) {
  constexpr int kMembers = 16;
  constexpr int kFramesPerSend = 4;
  constexpr auto kPace = std::chrono::milliseconds(30 * kFramesPerSend);
  Arrivals arrivals;
  auto members = Session(kMembers, arrivals);
  const std::vector<uint8_t> frame(kFrameSize, 'x');
  std::vector<double> samples;
  for (auto _ : state) {
    const double start = ProcessCpuSeconds();
    const auto next = std::chrono::steady_clock::now() + kPace;
    for (auto& member : members) member->Send(0, frame);
    arrivals.WaitFor(kMembers * (kMembers - 1));
    for (auto& member : members) Drain(*member);
    std::this_thread::sleep_until(next);
    const double perFrame = (ProcessCpuSeconds() - start) / kFramesPerSend;
    state.SetIterationTime(perFrame);
    samples.push_back(perFrame);
  }
  ReportSpread(state, samples);
}
BENCHMARK(BM_Malla16)->UseManualTime()->Iterations(100)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rodavia
