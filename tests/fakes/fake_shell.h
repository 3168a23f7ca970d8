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

// The tray icon's picture and tip as the user sees them: the program's own icon (number 0) until
// a number is drawn.
class FakeTrayNumber : public TrayNumber, public TimelineSource {
 public:
  int Shown() const { return number_; }
  const std::string& Tip() const { return tip_; }
  int Draws() const { return draws_; }

  void ShowNumber(int number, const char* desktopName) override {
    number_ = number;
    tip_ = std::string("veilswitcher: ") + desktopName;
    ++draws_;
    Note("tray.Number " + std::to_string(number));
  }
  void ShowPlain() override {
    if (number_ == 0) return;
    number_ = 0;
    tip_ = "veilswitcher";
    Note("tray.Plain");
  }

 private:
  int number_ = 0;
  std::string tip_ = "veilswitcher";
  int draws_ = 0;
};
