#include "settings/dialog/win32/settings_dialog_window.h"

#include "about/win32/about_box.h"
#include "settings/dialog/win32/settings_dialog_resources.h"
#include "settings/dialog/win32/zumi_message_box.h"

#include <array>

namespace zumi {

namespace {

// What the tariff boxes show while no connection is listed.
constexpr std::array<const wchar_t*, kBands> kBuiltInStart{L"5", L"9", L"18", L"21", L"5", L"9", L"18", L"21"};
constexpr std::array<const wchar_t*, kBands> kBuiltInTakt{L"210", L"90", L"210", L"240",
                                                          L"210", L"90", L"210", L"240"};
constexpr std::array<const wchar_t*, 5> kByteCounts{L"256", L"512", L"1024", L"2048", L"4096"};

int tariffBox(int band, bool takt)
{
    return (takt ? IDC_TAKT_0 : IDC_TIME_0) + band;
}

void setChecked(HWND box, bool on)
{
    SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool checked(HWND box)
{
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// CenterForm: the window, frame included, in the middle of the screen.
void centerOnScreen(HWND window)
{
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

SettingsDialogWindow::SettingsDialogWindow(const Win32SettingsDialogDeps& deps, const Phonebook& listed,
                                           CopyBuffer& copyBuffer)
    : deps_(deps)
    , model_({deps.store, deps.connNames, deps.settings, deps.setOption}, listed, deps.phonebookTrouble, copyBuffer)
{
}

void SettingsDialogWindow::run(HWND owner, const std::function<void(HWND)>& opened,
                               const std::function<void()>& closed)
{
    opened_ = opened;
    closed_ = closed;
    DialogBoxParamW(deps_.instance, MAKEINTRESOURCEW(IDD_SETTINGS), owner, &SettingsDialogWindow::procedure,
                    reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK SettingsDialogWindow::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<SettingsDialogWindow*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self->dialog_ = dialog;
    }
    auto* self = reinterpret_cast<SettingsDialogWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR SettingsDialogWindow::handle(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        loadControls();
        if (opened_)
            opened_(dialog_);
        return TRUE; // the focus goes to the first stop of the Tab order, the connection list
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        if (closed_)
            closed_();
        SetWindowLongPtrW(dialog_, DWLP_USER, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

void SettingsDialogWindow::loadControls()
{
    filling_ = true;
    centerOnScreen(dialog_);

    // Without a connection the tariff boxes would edit nothing: keep them visible but closed.
    const bool editable = !model_.connections().empty();
    for (int b = 0; b < kBands; ++b) {
        SetWindowTextW(item(tariffBox(b, false)), kBuiltInStart[b]);
        SetWindowTextW(item(tariffBox(b, true)), kBuiltInTakt[b]);
        EnableWindow(item(tariffBox(b, false)), editable);
        EnableWindow(item(tariffBox(b, true)), editable);
    }
    EnableWindow(item(IDC_COPY), editable);
    EnableWindow(item(IDC_PASTE), editable);

    HWND cboConn = item(IDC_CONNECTION);
    for (const std::string& name : model_.connections())
        SendMessageW(cboConn, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(name).c_str()));
    if (!model_.phonebookTrouble().empty()) {
        // Where the connections would be, why there are none.
        SendMessageW(cboConn, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(model_.phonebookTrouble()).c_str()));
        SendMessageW(cboConn, CB_SETCURSEL, 0, 0);
        EnableWindow(cboConn, FALSE);
    }
    if (model_.selected() >= 0)
        SendMessageW(cboConn, CB_SETCURSEL, static_cast<WPARAM>(model_.selected()), 0);
    showTariffs();

    for (const wchar_t* count : kByteCounts)
        SendMessageW(item(IDC_BYTES), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(count));
    for (int count = 1; count <= 10; ++count)
        SendMessageW(item(IDC_TAKTE), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(count).c_str()));

    const DialogOptions& options = model_.options();
    setChecked(item(IDC_HANGUP_SOUND), options.hangupSound);
    setChecked(item(IDC_WARN_SOUND), options.warnSound);
    SetWindowTextW(item(IDC_VORLAUF), wideText(options.vorlaufText).c_str());
    setChecked(item(IDC_AUTO_HANGUP), options.autoHangup);
    SendMessageW(item(IDC_BYTES), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(wideText(options.hangupBytesText).c_str()));
    SendMessageW(item(IDC_TAKTE), CB_SETCURSEL, static_cast<WPARAM>(options.hangupTakte - 1), 0);
    setChecked(item(IDC_SHOW_SPEED), options.showSpeed);
    setChecked(item(IDC_SHOW_ONLINE_TIME), options.showOnlineTime);
    setChecked(item(IDC_SHOW_REST), options.showRest);
    filling_ = false;
}

// cboChange: the sixteen boxes show the selected connection's working copies.
void SettingsDialogWindow::showTariffs()
{
    if (model_.selected() < 0)
        return;
    const bool wasFilling = filling_;
    filling_ = true;
    for (int b = 0; b < kBands; ++b) {
        SetWindowTextW(item(tariffBox(b, false)), wideText(model_.tariffText(b, false)).c_str());
        SetWindowTextW(item(tariffBox(b, true)), wideText(model_.tariffText(b, true)).c_str());
    }
    filling_ = wasFilling;
}

void SettingsDialogWindow::command(int id, int code)
{
    if (code == EN_CHANGE && !filling_) {
        // Every change of a tariff box goes at once into the selected connection's working copy.
        if (id >= IDC_TIME_0 && id < IDC_TIME_0 + kBands)
            model_.editTariff(id - IDC_TIME_0, false, windowText(item(id)));
        else if (id >= IDC_TAKT_0 && id < IDC_TAKT_0 + kBands)
            model_.editTariff(id - IDC_TAKT_0, true, windowText(item(id)));
        return;
    }
    if (id == IDC_CONNECTION && code == CBN_SELCHANGE) {
        model_.select(static_cast<int>(SendMessageW(item(IDC_CONNECTION), CB_GETCURSEL, 0, 0)));
        showTariffs();
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_COPY:
        model_.copy();
        break;
    case IDC_PASTE:
        model_.paste();
        showTariffs();
        break;
    case IDOK:
        cmdOK_Click();
        break;
    case IDCANCEL: // Abbrechen, Esc and the close box
        EndDialog(dialog_, IDCANCEL);
        break;
    case IDC_INFO:
        showAboutBox(deps_.instance, dialog_);
        break;
    default:
        break;
    }
}

// The options as their controls hold them now.
void SettingsDialogWindow::readOptions()
{
    DialogOptions& options = model_.options();
    options.hangupSound = checked(item(IDC_HANGUP_SOUND));
    options.warnSound = checked(item(IDC_WARN_SOUND));
    options.vorlaufText = windowText(item(IDC_VORLAUF));
    options.autoHangup = checked(item(IDC_AUTO_HANGUP));
    options.hangupBytesText = windowText(item(IDC_BYTES));
    options.hangupTakte = static_cast<int>(SendMessageW(item(IDC_TAKTE), CB_GETCURSEL, 0, 0)) + 1;
    options.showSpeed = checked(item(IDC_SHOW_SPEED));
    options.showOnlineTime = checked(item(IDC_SHOW_ONLINE_TIME));
    options.showRest = checked(item(IDC_SHOW_REST));
}

void SettingsDialogWindow::cmdOK_Click()
{
    readOptions();
    const OkAnswer answer = model_.ok();
    if (!answer.warning.empty())
        showZumiWarning(dialog_, answer.warning);
    if (const auto& bad = answer.leadTo) {
        // Lead the user to the field; switching the list keeps every edit in the working copies.
        SendMessageW(item(IDC_CONNECTION), CB_SETCURSEL, static_cast<WPARAM>(bad->connection), 0);
        model_.select(bad->connection);
        showTariffs();
        HWND box = item(tariffBox(bad->band, bad->takt));
        SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
        SendMessageW(box, EM_SETSEL, 0, -1);
    }
    if (answer.accepted)
        EndDialog(dialog_, IDOK);
}

} // namespace zumi
