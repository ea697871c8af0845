// The window operations on the Qt window.
#pragma once

#include "app/main_window.h"
#include "app/window_ops.h"

namespace dsr {

// Operations on `window`, which must outlive their binding.
WindowOperations QtWindowOperations(MainWindow& window);

// The tool's message box: application-modal, caption "信息：", one OK button,
// the text shown as plain text, at least `InfoBoxMinimumWidth` wide; returns
// when the user has closed it.
void ShowInfoBox(std::string_view text);

// The least width of the message box: its caption in `font` and room for the
// title bar's buttons, so that a window manager does not hide the caption.
int InfoBoxMinimumWidth(const QFont& font);

}  // namespace dsr
