#pragma once

// The current desktop's number drawn as the tray icon, in place of the program's own icon.
class TrayNumber {
 public:
  virtual ~TrayNumber() = default;
  // Draws `number` (1 to 99) for the current theme and sets the tip to "veilswitcher: " + name;
  // the icon drawn before is destroyed.
  virtual void ShowNumber(int number, const char* desktopName) = 0;
  // The program's own icon and tip again; nothing at all when no number was ever shown.
  virtual void ShowPlain() = 0;
};
