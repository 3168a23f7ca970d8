#pragma once

// The topmost tracking tooltip that names the current desktop. Open shows it fully drawn at the
// given screen point before it returns; Close destroys it.
class NoticeTip {
 public:
  virtual ~NoticeTip() = default;
  virtual void Open(const char* text, int x, int y) = 0;
  virtual void Close() = 0;
};
