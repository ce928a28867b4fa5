// The dialog that asks for two texts (the From and To addresses of the file
// commands) and shows a check box. Modal; one at a time.
#pragma once

#include <windows.h>

// The buffers are the fields' initial texts; after OK they hold the final
// texts, each cut to its capacity less one, and checkState is 1 if the box was
// checked, else 0. After Cancel, or if the dialog cannot be shown, nothing
// changes. On opening the box is checked when checkState is 1.
void AskAddressRange(HWND owner, const char* caption, const char* firstLabel, char* firstText, int firstCapacity,
                     const char* secondLabel, char* secondText, int secondCapacity, const char* checkText,
                     int* checkState);

INT_PTR CALLBACK AddressRangeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
