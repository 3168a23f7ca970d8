#pragma once

#include "app/platform.h"

class Win32MessageBoxes : public MessageBoxes {
 public:
  int ShowBox(const char* text, const char* caption, unsigned style) override;
};
