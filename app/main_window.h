// The tool's one window: its twenty-one controls built from the control table,
// the frame, the caption and the placement on first show.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <string_view>

#include "app/controls.h"
#include "text/text.h"

namespace dsr {

// The caption: the maker's name, the forum host and the contact handle (GBK).
Text WindowCaption();

// A GBK text as the toolkit shows it, and what the user typed as GBK.
QString ShownText(std::string_view gbk);
Text TypedText(const QString& shown);

// Outer size of the window, frame and title bar included.
inline constexpr int kWindowWidth = 671;
inline constexpr int kWindowHeight = 227;

class MainWindow : public QWidget {
 public:
  // The window and its controls, all hidden, with the start texts; the
  // window is not shown and the controls are not yet shown inside it.
  MainWindow();

  // Every control but 标签20 made visible inside the (still hidden) window.
  void ShowControls();
  // Shows the window at the centre of the primary screen.
  void ShowCentred();

  // The caption last set on a label, else its start text, byte for byte.
  const Text& Caption(Control label) const { return captions_[static_cast<int>(label)]; }
  // Sets the label's caption; it is shown as plain text on one line (each
  // line break as a space), fitted by the label-fitting rule.
  void SetCaption(Control label, std::string_view text);

  // Runs a button's handler that may wait on the network: the window shows a
  // busy cursor until it returns (nested calls keep it until the outermost
  // one returns), except while a message box is open.
  void RunBusy(void (*handler)());
  // Runs `open` (a modal box) with the normal cursor over the window.
  template <typename Open>
  void WithNormalCursor(Open open) {
    if (busyDepth_ > 0) unsetCursor();
    open();
    if (busyDepth_ > 0) setCursor(Qt::WaitCursor);
  }

  QWidget* Widget(Control c) const { return widgets_[static_cast<int>(c)]; }
  // The control as a label / edit box; null when it is of another kind.
  QLabel* Label(Control c) const;
  QLineEdit* EditBox(Control c) const;
  QPushButton* Button(Control c) const;

  QLabel* 标签1;
  QLineEdit* 编辑框1;
  QPushButton* 按钮1;
  QPushButton* 按钮2;
  QPushButton* 按钮3;
  QLabel* 标签2;
  QLabel* 标签5;
  QLabel* 标签8;
  QLineEdit* 编辑框2;
  QLabel* 标签11;
  QLabel* 标签3;
  QLabel* 标签6;
  QLabel* 标签9;
  QLineEdit* 编辑框3;
  QLabel* 标签12;
  QLabel* 标签4;
  QLabel* 标签7;
  QLabel* 标签10;
  QLineEdit* 编辑框4;
  QLabel* 标签13;
  QLabel* 标签20;

 protected:
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Keeps the outer size at 671 x 227 once the platform reports the frame.
  void FitFrame();
  // Shows the label's caption whole (app/label_fit.h): the table box and
  // the window font where it fits, else a wider box, a smaller font, and at
  // last an ellipsis with the whole text as the tooltip.
  void FitCaption(Control label);

  std::array<QWidget*, kControlCount> widgets_{};
  std::array<Text, kControlCount> captions_{};
  int busyDepth_ = 0;
  bool fitted_ = false;
};

}  // namespace dsr
