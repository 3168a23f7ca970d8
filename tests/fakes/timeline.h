#pragma once

#include <string>
#include <utility>
#include <vector>

// One ordered record shared by all fakes, so a test can check the order of effects that reach
// different parts of the platform (a save before the windows come back, and so on).
class Timeline {
 public:
  void Add(std::string event) { events_.push_back(std::move(event)); }
  const std::vector<std::string>& Events() const { return events_; }
  void Clear() { events_.clear(); }
  // Index of the first event at or after `from` that starts with `prefix`; -1 when there is none.
  long Find(const std::string& prefix, std::size_t from = 0) const {
    for (std::size_t i = from; i < events_.size(); ++i) {
      if (events_[i].compare(0, prefix.size(), prefix) == 0) return static_cast<long>(i);
    }
    return -1;
  }
  long FindLast(const std::string& prefix) const {
    for (std::size_t i = events_.size(); i-- > 0;) {
      if (events_[i].compare(0, prefix.size(), prefix) == 0) return static_cast<long>(i);
    }
    return -1;
  }

 private:
  std::vector<std::string> events_;
};

// Base of the fakes that can report to a timeline.
class TimelineSource {
 public:
  void AttachTimeline(Timeline* timeline) { timeline_ = timeline; }

 protected:
  void Note(const std::string& event) const {
    if (timeline_) timeline_->Add(event);
  }

 private:
  Timeline* timeline_ = nullptr;
};
