// The window system's headers, always after the model's. The model names its
// message, notification and box codes as the system does (same values), and
// the system's headers make those names macros: once they are included, code
// here writes the system's names (IDOK, BST_CHECKED, SC_CLOSE) unqualified.
#pragma once

#include "app/CAdapterDlg.hpp"
#include "app/CQuillonDlg.hpp"
#include "app/MainWindowIds.hpp"
#include "platform/ui/Dialog.hpp"
#include "platform/ui/Host.hpp"
#include "platform/ui/WindowMessages.hpp"

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
// clang-format on

// The model's dialogs and host have methods of these names; the system's
// ANSI/wide switch macros would rename them. Code here calls the wide
// functions by their own names (SendMessageW, MessageBoxW).
#undef GetDlgItemText
#undef MessageBox
#undef PostMessage
#undef SendMessage
#undef SetDlgItemText
