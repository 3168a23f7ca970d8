#pragma once

#include <string>
#include <vector>

#include "app/platform.h"
#include "fakes/timeline.h"
#include "shell/notice_tip.h"
#include "shell/tray_number.h"

// The notice tooltip: at most one is open at a time.
class FakeNoticeTip : public NoticeTip, public TimelineSource {
 public:
  struct Event {
    bool opened;  // false: closed
    std::string text;
    int x = 0;
    int y = 0;
  };
  bool IsOpen() const { return open_; }
  const std::vector<Event>& Events() const { return events_; }
  std::vector<std::string> ShownTexts() const;

  void Open(const char* text, int x, int y) override;
  void Close() override;

 private:
  bool open_ = false;
  std::vector<Event> events_;
};

// Message boxes that the user closes at once with OK.
class FakeMessageBoxes : public MessageBoxes, public TimelineSource {
 public:
  struct Box {
    std::string text;
    std::string caption;
    unsigned style;
  };
  static constexpr int kIdOk = 1;
  const std::vector<Box>& Boxes() const { return boxes_; }
  std::vector<std::string> Texts() const;

  int ShowBox(const char* text, const char* caption, unsigned style) override;

 private:
  std::vector<Box> boxes_;
};

// The tray icon's number (0: the program's own icon) and tip, and how many numbers were drawn.
class FakeTrayNumber : public TrayNumber {
 public:
  int number = 0, draws = 0;
  std::string tip = "veilswitcher";
  void ShowNumber(int n, const char* name) override {
    number = n, tip = std::string("veilswitcher: ") + name, ++draws;
  }
  void ShowPlain() override { number = 0, tip = "veilswitcher"; }
};
