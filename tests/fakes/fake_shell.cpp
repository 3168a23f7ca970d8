#include "fakes/fake_shell.h"

std::vector<std::string> FakeNoticeTip::ShownTexts() const {
  std::vector<std::string> texts;
  for (const Event& e : events_) {
    if (e.opened) texts.push_back(e.text);
  }
  return texts;
}

void FakeNoticeTip::Open(const char* text, int x, int y) {
  open_ = true;
  events_.push_back(Event{true, text ? text : "", x, y});
  Note(std::string("tip.Open ") + (text ? text : ""));
}

void FakeNoticeTip::Close() {
  open_ = false;
  events_.push_back(Event{false, "", 0, 0});
  Note("tip.Close");
}

std::vector<std::string> FakeMessageBoxes::Texts() const {
  std::vector<std::string> texts;
  for (const Box& b : boxes_) texts.push_back(b.text);
  return texts;
}

int FakeMessageBoxes::ShowBox(const char* text, const char* caption, unsigned style) {
  boxes_.push_back(Box{text ? text : "", caption ? caption : "", style});
  Note(std::string("box ") + (text ? text : ""));
  return kIdOk;
}
