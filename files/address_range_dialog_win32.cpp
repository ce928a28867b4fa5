#include "files/address_range_dialog_win32.h"

#include "res/resource_ids.h"

namespace {

// What the open dialog shows and where its answers go.
struct AddressRangeRequest {
    const char* caption;
    const char* firstLabel;
    char* firstText;
    int firstCapacity;
    const char* secondLabel;
    char* secondText;
    int secondCapacity;
    const char* checkText;
    int* checkState;
};

AddressRangeRequest request;

const char* TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

void CopyFieldText(HWND dialog, int field, char* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) return;
    GetDlgItemTextA(dialog, field, buffer, capacity);  // cut to capacity - 1, always terminated
}

void StartDialog(HWND dialog) {
    const bool checked = request.checkState != nullptr && *request.checkState == 1;
    PostMessageA(GetDlgItem(dialog, IDC_CHECK), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    SetDlgItemTextA(dialog, IDC_CHECK, TextOrEmpty(request.checkText));
    SetWindowTextA(dialog, TextOrEmpty(request.caption));
    SetDlgItemTextA(dialog, IDC_FIRST_LABEL, TextOrEmpty(request.firstLabel));
    SetDlgItemTextA(dialog, IDC_FIRST_FIELD, TextOrEmpty(request.firstText));
    SetDlgItemTextA(dialog, IDC_SECOND_LABEL, TextOrEmpty(request.secondLabel));
    SetDlgItemTextA(dialog, IDC_SECOND_FIELD, TextOrEmpty(request.secondText));
    // Posted, so that it comes after the dialog manager has set its own focus.
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_FIRST_FIELD)), TRUE);
}

void AcceptDialog(HWND dialog) {
    CopyFieldText(dialog, IDC_FIRST_FIELD, request.firstText, request.firstCapacity);
    CopyFieldText(dialog, IDC_SECOND_FIELD, request.secondText, request.secondCapacity);
    if (request.checkState != nullptr) {
        *request.checkState = IsDlgButtonChecked(dialog, IDC_CHECK) == BST_CHECKED ? 1 : 0;
    }
    EndDialog(dialog, IDOK);
}

}  // namespace

void AskAddressRange(HWND owner, const char* caption, const char* firstLabel, char* firstText, int firstCapacity,
                     const char* secondLabel, char* secondText, int secondCapacity, const char* checkText,
                     int* checkState) {
    request = AddressRangeRequest{caption,    firstLabel,     firstText, firstCapacity, secondLabel,
                                  secondText, secondCapacity, checkText, checkState};
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ADDRESS_RANGE), owner, &AddressRangeDialogProc, 0);
    request = AddressRangeRequest{};
}

INT_PTR CALLBACK AddressRangeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: StartDialog(dialog); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: AcceptDialog(dialog); return TRUE;
                case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
                default: return FALSE;
            }
        default: return FALSE;
    }
}
