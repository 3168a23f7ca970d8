#include "platform/win32/win32_tray_number.h"

#include <string>
#include <vector>

#include "res/resource.h"

namespace {

constexpr char kPersonalizeKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr char kLightThemeValue[] = "SystemUsesLightTheme";

// A 32-bit top-down DIB section of size x size, its bits handed out for reading.
HBITMAP CreateCanvas(HDC dc, int size, DWORD** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* raw = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
  *bits = static_cast<DWORD*>(raw);
  return bitmap;
}

// The digits in white on black, without smoothing: every pixel is either ink or background, so
// the icon's mask and its alpha agree and the digits stay sharp at 16 pixels.
void DrawDigits(HDC dc, int number, int size) {
  const std::string text = std::to_string(number);
  const int width = text.size() > 1 ? size / 2 - 1 : 0;  // two digits side by side
  HFONT font = CreateFontA(-size, width, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, "Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT box = {0, 0, size, size};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

}  // namespace

Win32TrayNumber::~Win32TrayNumber() {
  if (icon_ != nullptr) DestroyIcon(icon_);
}

HICON Win32TrayNumber::DrawNumber(int number, int size, bool lightTaskbar) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  DWORD* bits = nullptr;
  HBITMAP color = CreateCanvas(dc, size, &bits);
  HGDIOBJ oldBitmap = SelectObject(dc, color);
  RECT all = {0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DrawDigits(dc, number, size);
  GdiFlush();
  // Ink becomes the theme's colour, fully opaque; the rest transparent, its mask bit set.
  const DWORD ink = lightTaskbar ? 0xFF000000 : 0xFFFFFFFF;
  const int rowBytes = ((size + 15) / 16) * 2;
  std::vector<BYTE> mask(static_cast<size_t>(rowBytes * size), 0xFF);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      DWORD& pixel = bits[y * size + x];
      const bool inked = (pixel & 0x00FFFFFF) != 0;
      pixel = inked ? ink : 0;
      if (inked) mask[static_cast<size_t>(y * rowBytes + x / 8)] &= ~(0x80 >> (x % 8));
    }
  }
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  HBITMAP maskBitmap = CreateBitmap(size, size, 1, 1, mask.data());
  ICONINFO info = {TRUE, 0, 0, maskBitmap, color};
  HICON icon = CreateIconIndirect(&info);  // copies both bitmaps
  DeleteObject(maskBitmap);
  DeleteObject(color);
  return icon;
}

bool Win32TrayNumber::TaskbarIsLight() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kPersonalizeKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  DWORD value = 0, type = 0, bytes = sizeof(value);
  const LONG status = RegQueryValueExA(key, kLightThemeValue, nullptr, &type,
                                       reinterpret_cast<BYTE*>(&value), &bytes);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_DWORD && value != 0;
}

void Win32TrayNumber::ShowNumber(int number, const char* desktopName) {
  HICON drawn = DrawNumber(number, GetSystemMetrics(SM_CXSMICON), TaskbarIsLight());
  if (drawn == nullptr) return;  // the old picture stays rather than none
  tray_.ReplaceIcon(drawn, (std::string("veilswitcher: ") + desktopName).c_str());
  if (icon_ != nullptr) DestroyIcon(icon_);
  icon_ = drawn;
}

void Win32TrayNumber::ShowPlain() {
  if (icon_ == nullptr) return;
  tray_.ReplaceIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN)),
                    "veilswitcher");
  DestroyIcon(icon_);
  icon_ = nullptr;
}
