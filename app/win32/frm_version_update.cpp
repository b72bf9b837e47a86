#include "app/win32/frm_version_update.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <utility>

#include "app/message_boxes.h"
#include "app/twips.h"
#include "app/win32/win32_message_boxes.h"
#include "app/win32/window_metrics.h"

namespace norv::app::win32 {
namespace {

constexpr const char* kWindowClass = "NorvVersionUpdate";
// Control ids start above IDOK and IDCANCEL, which the dialog keys send.
constexpr int kFirstControlId = 100;
constexpr int kIconResource = 1;
// A fixed frame: no sizing border and no maximise box. The window paints
// around its controls, not over them; and only so do the controls paint
// within their own regions: a button's class asks for its parent's clipping
// (CS_PARENTDC), which Windows grants only to a parent without
// WS_CLIPCHILDREN, and that clipping knows nothing of the button's region.
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif
// The list a drop-down opens holds the six years without scrolling.
constexpr int kDroppedListRows = 7;

struct WindowClassOf {
  const char* name;
  DWORD style;
  DWORD ex_style;
};

WindowClassOf window_class_of(ControlKind kind) {
  switch (kind) {
    case ControlKind::CommandButton: return {"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::Label: return {"STATIC", SS_LEFT, 0};
    // The boxes overlap: each is clipped by its neighbours' regions.
    case ControlKind::CheckBox:
      return {"BUTTON", WS_TABSTOP | WS_CLIPSIBLINGS | BS_AUTOCHECKBOX, 0};
    case ControlKind::DropDownList:
      return {"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case ControlKind::TextBox:
      return {"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
  }
  return {"STATIC", 0, 0};
}

void register_window_class(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXA window_class{};
  if (GetClassInfoExA(instance, kWindowClass, &window_class)) return;
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
  if (!window_class.hIcon) window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&window_class))
    throw std::runtime_error("Windows refused the window class of the Version Update window.");
}

RECT pixel_rect(const TwipsRect& twips, int dots_per_inch) {
  const int left = twips_to_pixels(twips.left, dots_per_inch);
  const int top = twips_to_pixels(twips.top, dots_per_inch);
  return RECT{left, top, left + twips_to_pixels(twips.width, dots_per_inch),
              top + twips_to_pixels(twips.height, dots_per_inch)};
}

std::string window_text(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

// Room a caption needs besides its text: a box's check mark and the gap
// after it, a button's edges.
int caption_margin(ControlKind kind, int dots_per_inch) {
  switch (kind) {
    case ControlKind::CheckBox: return MulDiv(19, dots_per_inch, 96);
    case ControlKind::CommandButton: return MulDiv(10, dots_per_inch, 96);
    default: return 0;
  }
}

// A drop-down list takes its closed height from its font; its selection
// field is grown or shrunk until the list stands as tall as drawn. The
// field's height is set once as read, since systems differ in what they add
// to it, and then corrected by what that gave.
void fit_list_height(HWND list, int height) {
  const auto field = SendMessageA(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  if (field == CB_ERR) return;
  SendMessageA(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  RECT shown{};
  GetWindowRect(list, &shown);
  const auto wanted = field + (height - (shown.bottom - shown.top));
  if (wanted > 0) SendMessageA(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
}

}  // namespace

frmVersionUpdate::frmVersionUpdate(UpdateCommand update_command)
    : VersionUpdateForm(std::move(update_command)) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  register_window_class(instance, &frmVersionUpdate::window_procedure);
  window_ = CreateWindowExA(kWindowExStyle, kWindowClass, kWindowCaption, kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                            nullptr, instance, this);
  if (!window_)
    throw std::runtime_error("Windows could not create the Version Update window.");
  try {
    create_controls();
    lay_out(window_dots_per_inch(window_));
    Form_Load();
  } catch (...) {
    quit_when_destroyed_ = false;
    DestroyWindow(window_);
    throw;
  }
}

frmVersionUpdate::~frmVersionUpdate() {
  if (window_) {
    quit_when_destroyed_ = false;  // the owner is done with it; the program goes on
    DestroyWindow(window_);
  }
  if (font_) DeleteObject(font_);
}

// Created in TabIndex order: the order of creation is the order Tab follows.
void frmVersionUpdate::create_controls() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const ControlDescription& description : kControls) {
    const WindowClassOf of = window_class_of(description.kind);
    DWORD style = WS_CHILD | WS_VISIBLE | of.style;
    if (!description.enabled_at_start) style |= WS_DISABLED;
    const auto index = static_cast<std::size_t>(description.id);
    HWND control = CreateWindowExA(
        of.ex_style, of.name, description.text, style, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)), instance, nullptr);
    if (!control)
      throw std::runtime_error(std::string("Windows could not create the control ") +
                               description.name + " of the Version Update window.");
    controls_[index] = control;
  }
}

// Everything that depends on the resolution: the window's size for its fixed
// client area, the font, the controls' rectangles.
void frmVersionUpdate::lay_out(int dots_per_inch) {
  dots_per_inch_ = dots_per_inch;
  const SIZE size = window_size_for_client(twips_to_pixels(kClientWidthTwips, dots_per_inch),
                                           twips_to_pixels(kClientHeightTwips, dots_per_inch),
                                           kWindowStyle, kWindowExStyle, dots_per_inch);
  SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame Windows draws may differ from the one it computed for this
  // resolution (a system that scales frames itself): the client area is
  // what must come out as drawn.
  RECT client{};
  GetClientRect(window_, &client);
  const LONG missing_width = twips_to_pixels(kClientWidthTwips, dots_per_inch) - client.right;
  const LONG missing_height = twips_to_pixels(kClientHeightTwips, dots_per_inch) - client.bottom;
  if (missing_width != 0 || missing_height != 0)
    SetWindowPos(window_, nullptr, 0, 0, size.cx + missing_width, size.cy + missing_height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  HFONT previous_font = font_;
  font_ = font_fitting_captions(dots_per_inch);
  for (HWND control : controls_)
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (previous_font) DeleteObject(previous_font);

  for (const ControlDescription& description : kControls) {
    const RECT rect = pixel_rect(description.rect, dots_per_inch);
    const int height = rect.bottom - rect.top;
    const bool list = description.kind == ControlKind::DropDownList;
    MoveWindow(control(description.id), rect.left, rect.top, rect.right - rect.left,
               list ? height * kDroppedListRows : height, TRUE);
    if (!list) continue;
    fit_list_height(control(description.id), height);
  }
  share_check_box_overlaps();
  InvalidateRect(window_, nullptr, TRUE);
}

// The layout is fixed in twips, but the system's font may be wider than the
// one the layout was drawn for: the message font then shrinks a pixel at a
// time until every caption fits its control, down to a legible floor.
HFONT frmVersionUpdate::font_fitting_captions(int dots_per_inch) const {
  constexpr int kSmallestPointSize = 7;
  LOGFONTA font = message_font(dots_per_inch);
  const LONG smallest = MulDiv(kSmallestPointSize, dots_per_inch, 72);
  for (;;) {
    HFONT candidate = CreateFontIndirectA(&font);
    if (!candidate || captions_fit(candidate, dots_per_inch) ||
        std::abs(font.lfHeight) <= smallest)
      return candidate;
    DeleteObject(candidate);
    font.lfHeight += font.lfHeight < 0 ? 1 : -1;
  }
}

bool frmVersionUpdate::captions_fit(HFONT font, int dots_per_inch) const {
  HDC context = GetDC(window_);
  if (!context) return true;
  HGDIOBJ previous = SelectObject(context, font);
  bool fit = true;
  for (const ControlDescription& description : kControls) {
    if (description.kind == ControlKind::TextBox || *description.text == '\0') continue;
    SIZE extent{};
    GetTextExtentPoint32A(context, description.text, static_cast<int>(std::strlen(description.text)),
                          &extent);
    const RECT rect = pixel_rect(description.rect, dots_per_inch);
    if (extent.cx + caption_margin(description.kind, dots_per_inch) > rect.right - rect.left)
      fit = false;
  }
  SelectObject(context, previous);
  ReleaseDC(window_, context);
  return fit;
}

// The boxes are drawn overlapping (Dovrel's top reaches into Fendrel's
// bottom, Brenvik's into Dovrel's). A box paints its whole rectangle, so one
// would cover the other's caption: each box shows and takes clicks only in
// its half of an overlap, while its rectangle stays as drawn.
void frmVersionUpdate::share_check_box_overlaps() {
  for (const ControlDescription& box : kControls) {
    if (box.kind != ControlKind::CheckBox) continue;
    const RECT own = pixel_rect(box.rect, dots_per_inch_);
    LONG top = own.top;
    LONG bottom = own.bottom;
    for (const ControlDescription& other : kControls) {
      if (other.kind != ControlKind::CheckBox || other.id == box.id) continue;
      const RECT neighbour = pixel_rect(other.rect, dots_per_inch_);
      RECT overlap{};
      if (!IntersectRect(&overlap, &own, &neighbour)) continue;
      const LONG middle = (overlap.top + overlap.bottom) / 2;
      if (neighbour.top < own.top) {
        top = std::max(top, middle);
      } else {
        bottom = std::min(bottom, middle);
      }
    }
    HRGN region = CreateRectRgn(0, top - own.top, own.right - own.left, bottom - own.top);
    if (region && !SetWindowRgn(control(box.id), region, TRUE)) DeleteObject(region);
  }
}

void frmVersionUpdate::show(int show_command) {
  if (!window_) return;
  if (!activated_) centre_on_monitor();
  ShowWindow(window_, show_command);
  if (!activated_) {
    activated_ = true;
    Form_Activate();
    focus_first_control();
  }
  UpdateWindow(window_);
}

// First shown in the middle of the work area of the monitor it is on.
void frmVersionUpdate::centre_on_monitor() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT frame{};
  if (!GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor) ||
      !GetWindowRect(window_, &frame))
    return;
  const RECT& area = monitor.rcWork;
  const LONG width = frame.right - frame.left;
  const LONG height = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, area.left + std::max(0L, (area.right - area.left - width) / 2),
               area.top + std::max(0L, (area.bottom - area.top - height) / 2), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool frmVersionUpdate::translate_dialog_message(MSG& message) {
  return window_ && IsDialogMessageA(window_, &message);
}

void frmVersionUpdate::focus_first_control() {
  for (const ControlDescription& description : kControls) {
    HWND candidate = control(description.id);
    if (takes_focus(description.kind) && IsWindowEnabled(candidate)) {
      SetFocus(candidate);
      return;
    }
  }
}

LRESULT CALLBACK frmVersionUpdate::window_procedure(HWND window, UINT message, WPARAM w,
                                                   LPARAM l) {
  // The form comes with the first message and stays with the window.
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<const CREATESTRUCTA*>(l);
    auto* form = static_cast<frmVersionUpdate*>(created->lpCreateParams);
    form->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<frmVersionUpdate*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(window, message, w, l);
  // No exception may cross Windows' own frames: one that escapes a handler
  // is shown, and the program ends as after an unhandled run-time error.
  try {
    return form->handle(message, w, l);
  } catch (const std::exception& error) {
    Win32MessageBoxes(window).show(error.what(), MB_OK | MB_ICONERROR, "");
  } catch (...) {
    Win32MessageBoxes(window).show("An unexpected error stopped the program.",
                                   MB_OK | MB_ICONERROR, "");
  }
  if (form->window_) DestroyWindow(form->window_);
  return 0;
}

LRESULT frmVersionUpdate::handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      if (l == 0 && LOWORD(w) == IDOK) {
        press_focused_button();  // Return, sent by the dialog keys
      } else if (l != 0) {
        on_command(LOWORD(w), HIWORD(w));
      }
      return 0;  // Escape (IDCANCEL) does nothing: no button is the cancel button
    case WM_ACTIVATE:
      if (LOWORD(w) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) focus_before_deactivation_ = focus;
      }
      break;
    case WM_SETFOCUS:
      // The window itself takes no keys: back to the control that had the
      // focus (after a message box, say), or to the first one.
      if (focus_before_deactivation_ && IsWindow(focus_before_deactivation_) &&
          IsWindowEnabled(focus_before_deactivation_)) {
        SetFocus(focus_before_deactivation_);
      } else {
        focus_first_control();
      }
      return 0;
    case WM_DPICHANGED: {
      lay_out(LOWORD(w));
      const auto* suggested = reinterpret_cast<const RECT*>(l);
      if (suggested)
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NCDESTROY: {
      HWND destroyed = window_;
      window_ = nullptr;
      controls_.fill(nullptr);
      if (quit_when_destroyed_) PostQuitMessage(0);
      return DefWindowProcA(destroyed, message, w, l);
    }
    default: break;
  }
  return DefWindowProcA(window_, message, w, l);
}

// A disabled control takes no clicks, whoever sends the notification.
void frmVersionUpdate::on_command(int id, int notification) {
  const int index = id - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(kControls.size())) return;
  const auto control_id = static_cast<ControlId>(index);
  if (!IsWindowEnabled(control(control_id))) return;
  switch (control_id) {
    case ControlId::chkFendrel:
      if (notification == BN_CLICKED) chkFendrel_Click();
      break;
    case ControlId::chkDovrel:
      if (notification == BN_CLICKED) chkDovrel_Click();
      break;
    case ControlId::chkBrenvik:
      if (notification == BN_CLICKED) chkBrenvik_Click();
      break;
    case ControlId::cmbYear:
      // A new entry, or the chosen one chosen again from the open list.
      if (notification == CBN_SELCHANGE ||
          (notification == CBN_SELENDOK && year_list_index() >= 0))
        cmbYear_Click();
      break;
    case ControlId::cmdUpdate:
      if (notification == BN_CLICKED) cmdUpdate_Click();
      break;
    case ControlId::Command1:
      if (notification == BN_CLICKED) Command1_Click();
      break;
    default: break;
  }
}

// Return presses the focused button, as in a dialog.
void frmVersionUpdate::press_focused_button() {
  HWND focus = GetFocus();
  for (const ControlDescription& description : kControls) {
    if (description.kind == ControlKind::CommandButton && control(description.id) == focus &&
        IsWindowEnabled(focus)) {
      SendMessageA(focus, BM_CLICK, 0, 0);
      return;
    }
  }
}

bool frmVersionUpdate::ticked(ControlId box) const {
  return SendMessageA(control(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool frmVersionUpdate::fendrel_ticked() const { return ticked(ControlId::chkFendrel); }

bool frmVersionUpdate::dovrel_ticked() const { return ticked(ControlId::chkDovrel); }

bool frmVersionUpdate::brenvik_ticked() const { return ticked(ControlId::chkBrenvik); }

std::string frmVersionUpdate::version_text() const {
  return window_text(control(ControlId::txtVersion));
}

std::string frmVersionUpdate::year_text() const {
  HWND list = control(ControlId::cmbYear);
  const auto index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  const auto length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const auto copied = SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
  return text;
}

void frmVersionUpdate::focus_year_list() { SetFocus(control(ControlId::cmbYear)); }

// Destroying the window ends the program once the running handler returns:
// WM_QUIT waits in the queue until then.
void frmVersionUpdate::unload() {
  if (window_) DestroyWindow(window_);
}

// Appended at the end: the list is not sorted.
void frmVersionUpdate::add_year(const std::string& text) {
  SendMessageA(control(ControlId::cmbYear), CB_INSERTSTRING, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(text.c_str()));
}

int frmVersionUpdate::year_list_index() const {
  const auto index = SendMessageA(control(ControlId::cmbYear), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void frmVersionUpdate::set_enabled(ControlId id, bool enabled) {
  EnableWindow(control(id), enabled ? TRUE : FALSE);
}

}  // namespace norv::app::win32
