// The three dialog templates read back byte by byte from this program's own resources, as the
// resource compiler wrote them: every title, style, font and size, and every control in tab order.
// A template is data the dialog manager trusts blindly, so a wrong bit or a swapped line in the
// script shows up here rather than as a dialog that looks or tabs slightly wrong.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "res/resource.h"

namespace {

// The tables below name their controls; these pin the numbers behind the names.
static_assert(IDD_OPTIONS == 102 && IDD_ABOUTBOX == 129 && IDD_DESK_EDIT == 133, "dialog ids");
static_assert(IDI_MAIN == 128, "icon id");
static_assert(IDC_ADD == 1003 && IDC_DELETE == 1004 && IDC_EDIT == 1005 &&
                  IDC_SHOW_NOTICE == 1006 && IDC_DESK_NAME == 1007 && IDC_AUTOSTART == 1009 &&
                  IDC_DESK_HOTKEY == 1011 && IDC_DESK_LIST == 1016 && IDC_ABOUT_TEXT == 1019 &&
                  IDC_PREV_HOTKEY == 1021 && IDC_NEXT_HOTKEY == 1022,
              "control ids");

// ---- What a template holds -------------------------------------------------------------------

struct Box {
  int x, y, cx, cy;  // dialog units
};

struct Control {
  DWORD id;
  std::string cls;   // a class name, or "#n" for a predefined class given by number
  std::string text;  // a text, or "#n" for a resource given by number (an icon)
  DWORD style;
  DWORD exStyle;
  Box box;
  DWORD helpId = 0;
  std::vector<BYTE> extra = {};  // creation data handed to the control
};

struct Font {
  WORD points;
  WORD weight;
  BYTE italic;
  BYTE charset;
  std::string face;
};

struct Dialog {
  std::string title;
  DWORD style;
  DWORD exStyle;
  Box box;
  Font font;  // all zero when the style has no DS_SETFONT
  std::vector<Control> controls;
  DWORD helpId = 0;
  std::string menu = "";         // "" for none
  std::string windowClass = "";  // "" for the dialog manager's own class
};

std::string Ordinal(int number) {
  return "#" + std::to_string(number);
}

// ---- Reading DLGTEMPLATEEX --------------------------------------------------------------------

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

// Little-endian fields in order, never past the end: a short template sets failed() and reads
// zeros from then on.
class Reader {
 public:
  Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}

  template <typename T>
  T Read() {
    T value{};
    if (!Need(sizeof(T))) return value;
    std::memcpy(&value, data_ + pos_, sizeof(T));
    pos_ += sizeof(T);
    return value;
  }

  // 0xFFFF and a number, or a zero-terminated UTF-16 string (empty for "none").
  std::string NameOrOrdinal() {
    WORD first = Read<WORD>();
    if (first == 0xFFFF) return Ordinal(Read<WORD>());
    std::wstring text;
    for (WORD c = first; c != 0 && !failed_; c = Read<WORD>()) text.push_back(c);
    return Utf8(text);
  }

  std::vector<BYTE> Bytes(size_t count) {
    if (!Need(count)) return {};
    std::vector<BYTE> bytes(data_ + pos_, data_ + pos_ + count);
    pos_ += count;
    return bytes;
  }

  // Offsets count from the template's start, which the resource loader keeps DWORD aligned.
  void AlignToDword() { Bytes((4 - pos_ % 4) % 4); }

  bool failed() const { return failed_; }
  size_t left() const { return size_ - pos_; }

 private:
  bool Need(size_t count) {
    if (size_ - pos_ < count) failed_ = true;
    return !failed_;
  }

  const BYTE* data_;
  size_t size_;
  size_t pos_ = 0;
  bool failed_ = false;
};

Box ReadBox(Reader& in) {
  Box box;
  box.x = in.Read<short>();
  box.y = in.Read<short>();
  box.cx = in.Read<short>();
  box.cy = in.Read<short>();
  return box;
}

Control ReadControl(Reader& in) {
  in.AlignToDword();
  Control c;
  c.helpId = in.Read<DWORD>();
  c.exStyle = in.Read<DWORD>();
  c.style = in.Read<DWORD>();
  c.box = ReadBox(in);
  c.id = in.Read<DWORD>();
  c.cls = in.NameOrOrdinal();
  c.text = in.NameOrOrdinal();
  c.extra = in.Bytes(in.Read<WORD>());
  return c;
}

// Returns an empty text on success, else what is wrong with the template.
std::string ParseTemplate(const BYTE* data, size_t size, Dialog* out) {
  Reader in(data, size);
  WORD version = in.Read<WORD>();
  WORD signature = in.Read<WORD>();
  if (version != 1 || signature != 0xFFFF) return "not a DLGTEMPLATEEX (an old DLGTEMPLATE?)";
  Dialog& d = *out;
  d.helpId = in.Read<DWORD>();
  d.exStyle = in.Read<DWORD>();
  d.style = in.Read<DWORD>();
  WORD count = in.Read<WORD>();
  d.box = ReadBox(in);
  d.menu = in.NameOrOrdinal();
  d.windowClass = in.NameOrOrdinal();
  d.title = in.NameOrOrdinal();
  d.font = {};
  if (d.style & DS_SETFONT) {
    d.font.points = in.Read<WORD>();
    d.font.weight = in.Read<WORD>();
    d.font.italic = in.Read<BYTE>();
    d.font.charset = in.Read<BYTE>();
    d.font.face = in.NameOrOrdinal();
  }
  d.controls.clear();
  for (WORD i = 0; i < count && !in.failed(); ++i) d.controls.push_back(ReadControl(in));
  if (in.failed()) return "the template ends inside its own fields";
  // No padding follows the last control: anything left means the count and the items disagree.
  if (in.left() != 0) return std::to_string(in.left()) + " bytes left after the last control";
  return "";
}

std::string LoadTemplate(int id, Dialog* out) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(id), RT_DIALOG);
  if (found == nullptr) return "no dialog template " + std::to_string(id) + " in the module";
  const void* data = LockResource(LoadResource(self, found));
  if (data == nullptr) return "template " + std::to_string(id) + " does not load";
  return ParseTemplate(static_cast<const BYTE*>(data), SizeofResource(self, found), out);
}

// ---- Comparing: one line per header and per control, every field in it ----------------------

std::string Hex(DWORD value) {
  std::ostringstream out;
  out << "0x" << std::hex << value;
  return out.str();
}

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << b.x << "," << b.y << " " << b.cx << "x" << b.cy;
}

std::string Describe(const Control& c) {
  std::ostringstream out;
  out << "id " << Hex(c.id) << ", class " << c.cls << ", text \"" << c.text << "\", style "
      << Hex(c.style) << ", exstyle " << Hex(c.exStyle) << ", at " << c.box << ", help " << c.helpId
      << ", extra [";
  for (BYTE b : c.extra) out << " " << Hex(b);
  out << " ]";
  return out.str();
}

std::string DescribeHeader(const Dialog& d) {
  std::ostringstream out;
  out << "title \"" << d.title << "\", style " << Hex(d.style) << ", exstyle " << Hex(d.exStyle)
      << ", at " << d.box << ", font " << d.font.points << " pt \"" << d.font.face << "\" weight "
      << d.font.weight << " italic " << int{d.font.italic} << " charset " << int{d.font.charset}
      << ", help " << d.helpId << ", menu \"" << d.menu << "\", class \"" << d.windowClass << "\", "
      << d.controls.size() << " controls";
  return out.str();
}

void ExpectSame(const Dialog& actual, const Dialog& expected) {
  EXPECT_EQ(DescribeHeader(actual), DescribeHeader(expected));
  size_t both = std::min(actual.controls.size(), expected.controls.size());
  for (size_t i = 0; i < both; ++i) {
    EXPECT_EQ(Describe(actual.controls[i]), Describe(expected.controls[i]))
        << "control " << i << " in tab order";
  }
}

void ExpectTemplate(int id, const Dialog& expected) {
  Dialog actual{};
  std::string error = LoadTemplate(id, &actual);
  ASSERT_EQ(error, "") << "template " << id;
  ExpectSame(actual, expected);
}

// ---- What the resource compiler writes --------------------------------------------------------

// windres writes the class of a CONTROL statement as an upper-cased string, never as the
// predefined ordinal (only PUSHBUTTON and its kin get 0x80 and so on); Windows compares class
// names without regard to case.
constexpr char kButton[] = "BUTTON";
constexpr char kStatic[] = "STATIC";
constexpr char kEdit[] = "EDIT";
constexpr char kHotkey[] = "MSCTLS_HOTKEY32";
constexpr char kListView[] = "SYSLISTVIEW32";

// -1 in the script: windres writes it over the whole DWORD id, 0xFFFFFFFF, which the dialog
// manager hands on as -1 (0x0000FFFF would be control 65535).
constexpr DWORD kNoId = 0xFFFFFFFF;

// windres adds these two to the style of every CONTROL statement and nothing else.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// The dialog STYLE is written as given, with WS_CAPTION added for a CAPTION and DS_SETFONT for a
// FONT statement (both written out here anyway); no WS_POPUP is added where the script leaves it
// out. windres writes a FONT statement as weight 0, not italic, DEFAULT_CHARSET.
const Font kFont = {8, FW_DONTCARE, FALSE, DEFAULT_CHARSET, "MS Sans Serif"};

// ---- The templates -----------------------------------------------------------------------------

TEST(Templates, OptionsDialog) {
  constexpr DWORD kList = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE |
                          LVS_EDITLABELS | LVS_ALIGNLEFT | LVS_NOCOLUMNHEADER;
  // No OK and no Cancel button: the close box applies the options.
  ExpectTemplate(
      IDD_OPTIONS,
      {"veilswitcher",
       DS_SETFONT | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU,
       WS_EX_APPWINDOW,
       {0, 0, 156, 146},
       kFont,
       {
           {IDC_ADD,
            kButton,
            "Add",
            kChild | BS_PUSHBUTTON | BS_LEFT | WS_TABSTOP,
            0,
            {99, 7, 50, 14}},
           {IDC_DELETE, kButton, "Delete", kChild | BS_PUSHBUTTON | BS_LEFT, 0, {99, 21, 50, 14}},
           {IDC_EDIT, kButton, "Edit", kChild | BS_PUSHBUTTON | BS_LEFT, 0, {99, 35, 50, 14}},
           {IDC_AUTOSTART,
            kButton,
            "Launch veilswitcher with user logon",
            kChild | BS_AUTOCHECKBOX | WS_TABSTOP,
            0,
            {7, 115, 127, 10}},
           {IDC_DESK_LIST,
            kListView,
            "List2",
            kChild | kList | WS_BORDER | WS_TABSTOP,
            0,
            {7, 7, 91, 42}},
           {kNoId, kButton, "Hotkeys to switch to:", kChild | BS_GROUPBOX, 0, {7, 57, 142, 50}},
           {kNoId, kStatic, "previous desktop", kChild | SS_LEFT | WS_GROUP, 0, {15, 72, 57, 9}},
           {kNoId, kStatic, "next desktop", kChild | SS_LEFT | WS_GROUP, 0, {27, 91, 44, 11}},
           {IDC_PREV_HOTKEY,
            kHotkey,
            "HotKey2",
            kChild | WS_BORDER | WS_TABSTOP,
            0,
            {74, 69, 69, 14}},
           {IDC_NEXT_HOTKEY,
            kHotkey,
            "HotKey3",
            kChild | WS_BORDER | WS_TABSTOP,
            0,
            {74, 88, 69, 14}},
           {IDC_SHOW_NOTICE,
            kButton,
            "Show message about current desktop",
            kChild | BS_AUTOCHECKBOX | WS_TABSTOP,
            0,
            {7, 129, 135, 10}},
       }});
}

TEST(Templates, DesktopEditor) {
  // No ES_AUTOHSCROLL on the name: it cannot grow past what the field shows.
  ExpectTemplate(
      IDD_DESK_EDIT,
      {"Edit desktop options",
       WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
       WS_EX_TOOLWINDOW,
       {0, 0, 93, 85},
       kFont,
       {
           {IDOK, kButton, "OK", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, {7, 64, 34, 14}},
           {IDCANCEL, kButton, "Cancel", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, {52, 64, 34, 14}},
           {kNoId, kStatic, "Keyboard combination", kChild | SS_LEFT | WS_GROUP, 0, {7, 36, 71, 8}},
           {IDC_DESK_HOTKEY,
            kHotkey,
            "HotKey1",
            kChild | WS_BORDER | WS_TABSTOP,
            0,
            {7, 47, 79, 14}},
           {kNoId, kStatic, "Desktop name", kChild | SS_LEFT | WS_GROUP, 0, {7, 7, 47, 8}},
           {IDC_DESK_NAME,
            kEdit,
            "",
            kChild | ES_LEFT | WS_BORDER | WS_TABSTOP,
            0,
            {7, 17, 78, 14}},
       }});
}

TEST(Templates, AboutBox) {
  // No WS_SYSMENU: the caption has no close box.
  ExpectTemplate(IDD_ABOUTBOX,
                 {"About veilswitcher",
                  DS_SETFONT | DS_MODALFRAME | WS_CAPTION,
                  0,
                  {0, 0, 143, 144},
                  kFont,
                  {
                      {IDOK,
                       kButton,
                       "OK",
                       kChild | BS_DEFPUSHBUTTON | WS_TABSTOP,
                       WS_EX_STATICEDGE,
                       {45, 123, 50, 14}},
                      {kNoId,
                       kStatic,
                       "Written by its developers\n/ close your eyes & dream with me /",
                       kChild | SS_LEFT | SS_NOPREFIX,
                       WS_EX_TRANSPARENT,
                       {15, 98, 115, 17}},
                      {kNoId,
                       kStatic,
                       "[veilswitcher]\nversion 1",
                       kChild | SS_LEFT | WS_GROUP,
                       WS_EX_TRANSPARENT,
                       {7, 7, 47, 21}},
                      {kNoId, kStatic, Ordinal(IDI_MAIN), kChild | SS_ICON, 0, {115, 7, 20, 20}},
                      {IDC_ABOUT_TEXT,
                       kEdit,
                       "",
                       kChild | ES_MULTILINE | ES_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                       WS_EX_STATICEDGE,
                       {7, 33, 128, 50}},
                  }});
}

// The rules dialogs by title and each control's id and text in tab order; More options by the
// button that opens them.
std::vector<std::string> Outline(int id) {
  Dialog d{};
  EXPECT_EQ(LoadTemplate(id, &d), "") << "template " << id;
  std::vector<std::string> lines = {d.title};
  for (const Control& c : d.controls) lines.push_back(std::to_string(int(c.id)) + " " + c.text);
  return lines;
}

TEST(Templates, WindowRulesDialogsAndTheirButton) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(Outline(141), (Lines{"Window rules", "1040 ", "1003 Add", "1005 Edit", "1004 Delete",
                                 "1041 Up", "1042 Down"}));
  EXPECT_EQ(Outline(142), (Lines{"Window rule", "-1 From an open window", "1043 ", "-1 Program",
                                 "1044 ", "-1 Class", "1045 ", "-1 Title", "1046 ", "-1 Desktop",
                                 "1047 ", "1048 Follow", "1 OK", "2 Cancel"}));
  EXPECT_EQ(Outline(IDD_MORE).back(), "1039 Window rules...");
}

// ---- The reader itself, on what windres never writes into these templates ----------------------

// No font, a menu by number, a class and title of its own; a control with an ordinal class, an
// ordinal text and one byte of creation data, so that the next one starts after a padding byte;
// a control with a negative position and the id -1.
// clang-format off
const WORD kHandMade[] = {
    1, 0xFFFF, 7, 0, 0, 0, 0, 0x8000,          // version, signature, help 7, exstyle, WS_POPUP
    2, 1, 2, 30, 40,                           // 2 controls at 1,2 30x40
    0xFFFF, 5, 'C', 0, 'T', 0,                 // menu #5, class "C", title "T"
    0,                                         // padding to a DWORD
    0, 0, 0x20, 0, 0x0001, 0x5000,             // help, exstyle, style
    3, 4, 5, 6, 1, 0,                          // at 3,4 5x6, id 1
    0xFFFF, 0x0080, 0xFFFF, 100,               // class #128, text #100
    1, 0x00AB,                                 // 1 byte 0xAB, then 1 byte padding
    0, 0, 0, 0, 0, 0x5002,                     // help, exstyle, style
    0xFFFE, 0, 10, 8, 0xFFFF, 0xFFFF,          // at -2,0 10x8, id -1
    'a', 'b', 0, 0, 0,                         // class "ab", no text, no extra
};
// clang-format on

const BYTE* Bytes(const WORD* words) {
  return reinterpret_cast<const BYTE*>(words);
}

TEST(TemplatesReader, ReadsOrdinalsCreationDataAndPadding) {
  Dialog parsed{};
  ASSERT_EQ(ParseTemplate(Bytes(kHandMade), sizeof(kHandMade), &parsed), "");
  Dialog expected = {"T",
                     WS_POPUP,
                     0,
                     {1, 2, 30, 40},
                     Font{},  // no DS_SETFONT, no font
                     {
                         {1, "#128", "#100", 0x50000001, 0x20, {3, 4, 5, 6}, 0, {0xAB}},
                         {kNoId, "ab", "", 0x50020000, 0, {-2, 0, 10, 8}},
                     },
                     7,
                     "#5",
                     "C"};
  ExpectSame(parsed, expected);
}

TEST(TemplatesReader, RefusesShortAndOldStyleTemplates) {
  Dialog parsed{};
  EXPECT_NE(ParseTemplate(Bytes(kHandMade), sizeof(kHandMade) - 2, &parsed), "");
  EXPECT_NE(ParseTemplate(Bytes(kHandMade), 3, &parsed), "");
  // One control fewer in the count leaves the second one over.
  std::vector<WORD> fewer(std::begin(kHandMade), std::end(kHandMade));
  fewer[8] = 1;
  EXPECT_NE(ParseTemplate(Bytes(fewer.data()), sizeof(kHandMade), &parsed), "");
  // A plain DLGTEMPLATE starts with its style, not with version 1 and 0xFFFF.
  std::vector<WORD> old(std::begin(kHandMade), std::end(kHandMade));
  old[0] = 0x00C0;
  old[1] = 0x80C8;
  EXPECT_NE(ParseTemplate(Bytes(old.data()), sizeof(kHandMade), &parsed), "");
}

}  // namespace
