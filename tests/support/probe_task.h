// A timed task that records what its manager does to it, in a log that outlives the task.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/time/timed_task.h"

struct ProbeLog {
  std::vector<uint32_t> updates;
  int stops = 0;
  bool deleted = false;
};

class ProbeTask : public CTimedTask {
 public:
  explicit ProbeTask(ProbeLog& log, uint32_t kind = 0) : log_(log), kind_(kind) {}
  ~ProbeTask() override { log_.deleted = true; }

  uint32_t GetTypeId() const override { return kind_; }
  uint32_t Update(uint32_t now) override {
    log_.updates.push_back(now);
    return on_update ? on_update(now) : 0;
  }
  void Stop() override {
    ++log_.stops;
    if (on_stop) on_stop();
  }

  // What Update returns (0 when unset) and what Stop does besides counting.
  std::function<uint32_t(uint32_t)> on_update;
  std::function<void()> on_stop;

 private:
  ProbeLog& log_;
  uint32_t kind_;
};
