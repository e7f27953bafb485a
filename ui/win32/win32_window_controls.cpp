// Control properties, list views, message boxes and the shell's open verb on Win32 controls.
#include "ui/win32/win32_window_controls.h"

#include <algorithm>
#include <memory>

#include "platform/codepage/codepage.h"
#include "platform/windows/system/shell_open.h"
#include "ui/win32/win32_picture_decoder.h"
#include "ui/win32/win32_text.h"

namespace lumeno::ui::win32 {
namespace {

static_assert(QueuedWindowControls::kFatalErrorStyle == (MB_OK | MB_ICONERROR));
// The first read of a list cell: 512 bytes, doubled while the text fills the buffer.
constexpr int kFirstCellBuffer = 512;
constexpr int kLongestCell = 1 << 24;

int ListColumns(HWND list) {
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int ListItems(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool IsCell(HWND list, int row, int column) {
    return row >= 0 && row < ListItems(list) && column >= 0 && column < ListColumns(list);
}

}  // namespace

Win32WindowControls::Win32WindowControls(Win32Form& form, ShellOpener opener)
    : QueuedWindowControls([window = form.Handle()](bool afterInput) {
          // Posted messages come before input and painting, and a message loop that empties
          // its queue would never see it empty: a following batch waits behind them with the
          // lowest-priority message there is.
          if (afterInput &&
              ::SetTimer(window, Win32Form::kRunCallsTimer, USER_TIMER_MINIMUM, nullptr)) {
              return;
          }
          ::PostMessageW(window, Win32Form::kRunCallsMessage, 0, 0);
      }),
      form_(form),
      opener_(std::move(opener)) {
    if (!opener_) opener_ = [](const std::string& target) { return platform::ShellOpen(target); };
    for (const Text& name : form.ControlNames()) {
        if (form.KindOf(name) == ControlKind::ListView) {
            CountRows(name, ListItems(form.Control(name)));
        }
    }
}

Win32WindowControls::~Win32WindowControls() {
    // Before the held lists are forgotten: no queued call may run any more.
    Calls().Close();
}

void Win32WindowControls::RunBatch() {
    Calls().RunBatch();
    ResumeRedraw();
}

void Win32WindowControls::RunQueued() {
    Calls().RunAll();
    ResumeRedraw();
}

void Win32WindowControls::HoldRedraw(HWND list) {
    if (std::find(held_.begin(), held_.end(), list) != held_.end()) return;
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    held_.push_back(list);
}

void Win32WindowControls::ResumeRedraw() {
    for (HWND list : held_) {
        ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list, nullptr, TRUE);
    }
    held_.clear();
}

HWND Win32WindowControls::ControlOfKind(const Text& name, ControlKind kind) const {
    HWND control = form_.Control(name);
    return control && form_.KindOf(name) == kind ? control : nullptr;
}

int Win32WindowControls::Checked(const Text& control) {
    return Ask(
        [this, control] {
            HWND box = ControlOfKind(control, ControlKind::CheckBox);
            return box && ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        },
        0);
}

void Win32WindowControls::SetChecked(const Text& control, int value) {
    Do([this, control, value] {
        if (HWND box = ControlOfKind(control, ControlKind::CheckBox)) {
            ::SendMessageW(box, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    });
}

int Win32WindowControls::Disabled(const Text& control) {
    return Ask(
        [this, control] {
            HWND window = form_.Control(control);
            return window && !::IsWindowEnabled(window) ? 1 : 0;
        },
        0);
}

void Win32WindowControls::SetDisabled(const Text& control, int value) {
    Do([this, control, value] {
        if (HWND window = form_.Control(control)) ::EnableWindow(window, value == 0);
    });
}

Text Win32WindowControls::Content(const Text& control) {
    return Ask(
        [this, control]() -> Text {
            HWND edit = ControlOfKind(control, ControlKind::EditBox);
            if (!edit) return {};
            const int length = ::GetWindowTextLengthW(edit);
            if (length <= 0) return {};
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            const int copied = ::GetWindowTextW(edit, text.data(), length + 1);
            text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
            return Narrow(text);
        },
        Text());
}

void Win32WindowControls::SetCaption(const Text& control, const Text& caption) {
    Do([this, control, caption] {
        const ControlKind kind = form_.KindOf(control);
        HWND window = form_.Control(control);
        if (window && (kind == ControlKind::Label || kind == ControlKind::Button ||
                       kind == ControlKind::CheckBox)) {
            ::SetWindowTextW(window, Wide(caption).c_str());
        }
    });
}

void Win32WindowControls::SetPicture(const Text& control, const ByteSet& bytes) {
    if (IsShutDown()) return;
    PictureBox* box = form_.Picture(control);
    if (!box) return;
    // Decoding happens on the calling thread; only the finished pixels cross over.
    auto picture = std::make_shared<DecodedPicture>(DecodePictureForBox(bytes, box->BoxSize()));
    // The bytes go along while a picture is shown: a change of DPI decodes them again for the
    // box's new size.
    auto encoded = std::make_shared<ByteSet>(picture->IsNull() ? ByteSet{} : bytes);
    Do([box, picture, encoded] { box->SetPicture(std::move(*picture), std::move(*encoded)); });
}

int Win32WindowControls::CurrentRow(const Text& list) {
    return Ask(
        [this, list] {
            HWND view = ControlOfKind(list, ControlKind::ListView);
            if (!view) return -1;
            return static_cast<int>(
                ::SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        },
        -1);
}

Text Win32WindowControls::ListCellText(const Text& list, int row, int column) {
    return Ask(
        [this, list, row, column]() -> Text {
            HWND view = ControlOfKind(list, ControlKind::ListView);
            if (!view || !IsCell(view, row, column)) return {};
            std::wstring buffer;
            for (int size = kFirstCellBuffer; size <= kLongestCell; size *= 2) {
                buffer.assign(static_cast<std::size_t>(size), L'\0');
                LVITEMW item{};
                item.iSubItem = column;
                item.pszText = buffer.data();
                item.cchTextMax = size;
                const auto copied = static_cast<int>(
                    ::SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(&item)));
                if (copied < size - 1) {
                    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
                    break;
                }
            }
            return Narrow(buffer.c_str());
        },
        Text());
}

void Win32WindowControls::SetListCellText(const Text& list, int row, int column, const Text& text) {
    Do([this, list, row, column, text] {
        HWND view = ControlOfKind(list, ControlKind::ListView);
        if (!view || !IsCell(view, row, column)) return;
        HoldRedraw(view);
        std::wstring wide = Wide(text);
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = wide.data();
        ::SendMessageW(view, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&item));
    });
}

void Win32WindowControls::InsertListRow(const Text& list) {
    HWND view = ControlOfKind(list, ControlKind::ListView);
    if (!view) return;
    HoldRedraw(view);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListItems(view);
    item.pszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Win32WindowControls::RemoveListRows(const Text& list) {
    if (HWND view = ControlOfKind(list, ControlKind::ListView)) {
        ::SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
    }
}

int Win32WindowControls::AskMessageBox(const Text& message, int style, const Text& title) {
    if (IsShutDown()) return 0;
    // Earlier calls of the window thread land before its box opens.
    if (Calls().OnWindowThread()) RunQueued();
    const int pressed = boxes_.Show(Wide(message), Wide(title), static_cast<UINT>(style));
    return IsShutDown() ? 0 : AnswerForButton(pressed);
}

void Win32WindowControls::OpenWithShell(const Text& target) {
    if (target.empty()) return;
    Do([this, utf8 = platform::GbkToUtf8(target)] { opener_(utf8); });
}

void Win32WindowControls::CloseMessageBoxes() {
    boxes_.CloseAll();
}

}  // namespace lumeno::ui::win32
