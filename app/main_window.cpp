// The main window: controls from the control table, plain-text labels, red
// needed-count labels, a fixed frame without minimise and maximise boxes.
#include "app/main_window.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMoveEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <limits>
#include <string>

#include "app/addresses.h"
#include "app/gbk.h"
#include "app/label_fit.h"

namespace dsr {
namespace {

constexpr Qt::WindowFlags kFrameFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

bool IsRed(Control c) {
  return c == Control::标签11 || c == Control::标签12 || c == Control::标签13;
}

void SetTextColour(QWidget* w, const QColor& colour) {
  QPalette palette = w->palette();
  palette.setColor(QPalette::WindowText, colour);
  w->setPalette(palette);
}

QWidget* CreateControl(const ControlInfo& info, QWidget* parent) {
  const QString text = ShownText(info.startText);
  switch (info.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(parent);
      // Captions come from web pages: never read them as markup.
      label->setTextFormat(Qt::PlainText);
      label->setTextInteractionFlags(Qt::NoTextInteraction);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      label->setWordWrap(false);
      SetTextColour(label, IsRed(info.control) ? QColor(255, 0, 0) : QColor(0, 0, 0));
      return label;
    }
    case ControlKind::EditBox: {
      auto* box = new QLineEdit(text, parent);
      box->setMaxLength(std::numeric_limits<int>::max());
      box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return box;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      button->setDefault(false);
      return button;
    }
  }
  return nullptr;
}

}  // namespace

Text WindowCaption() {
  return std::string("Kestrin Vrenlo出品（") + std::string(kMakerForumHost) + ") →" +
         std::string(kMakerContact);
}

QString ShownText(std::string_view gbk) { return QString::fromStdU16String(GbkToUtf16(gbk)); }

Text TypedText(const QString& shown) { return Utf16ToGbk(shown.toStdU16String()); }

MainWindow::MainWindow() : QWidget(nullptr, kFrameFlags) {
  setWindowTitle(ShownText(WindowCaption()));
  setFixedSize(kWindowWidth, kWindowHeight);
  // The control boxes are sized for small text: 11 pixels keeps a five-digit
  // count and the longest row caption inside their boxes.
  QFont text = font();
  text.setPixelSize(11);
  setFont(text);
  for (const ControlInfo& info : kControlTable) {
    QWidget* w = CreateControl(info, this);
    w->setGeometry(info.left, info.top, info.width, info.height);
    w->setFocusPolicy(info.focus ? Qt::StrongFocus : Qt::NoFocus);
    // Hidden until ShowControls, also when the window is shown before.
    w->hide();
    widgets_[static_cast<int>(info.control)] = w;
    captions_[static_cast<int>(info.control)] = Text(info.startText);
    if (info.kind == ControlKind::Label) FitCaption(info.control);
  }
  标签1 = Label(Control::标签1);
  编辑框1 = EditBox(Control::编辑框1);
  按钮1 = Button(Control::按钮1);
  按钮2 = Button(Control::按钮2);
  按钮3 = Button(Control::按钮3);
  标签2 = Label(Control::标签2);
  标签5 = Label(Control::标签5);
  标签8 = Label(Control::标签8);
  编辑框2 = EditBox(Control::编辑框2);
  标签11 = Label(Control::标签11);
  标签3 = Label(Control::标签3);
  标签6 = Label(Control::标签6);
  标签9 = Label(Control::标签9);
  编辑框3 = EditBox(Control::编辑框3);
  标签12 = Label(Control::标签12);
  标签4 = Label(Control::标签4);
  标签7 = Label(Control::标签7);
  标签10 = Label(Control::标签10);
  编辑框4 = EditBox(Control::编辑框4);
  标签13 = Label(Control::标签13);
  标签20 = Label(Control::标签20);
}

QLabel* MainWindow::Label(Control c) const {
  return InfoOf(c).kind == ControlKind::Label ? static_cast<QLabel*>(Widget(c)) : nullptr;
}

QLineEdit* MainWindow::EditBox(Control c) const {
  return InfoOf(c).kind == ControlKind::EditBox ? static_cast<QLineEdit*>(Widget(c)) : nullptr;
}

QPushButton* MainWindow::Button(Control c) const {
  return InfoOf(c).kind == ControlKind::Button ? static_cast<QPushButton*>(Widget(c)) : nullptr;
}

void MainWindow::SetCaption(Control label, std::string_view text) {
  QLabel* l = Label(label);
  if (l == nullptr) return;
  captions_[static_cast<int>(label)] = Text(text);
  FitCaption(label);
}

void MainWindow::FitCaption(Control label) {
  QLabel* l = Label(label);
  const std::u16string line = OneLine(ShownText(Caption(label)).toStdU16String());
  const QFont base = font();
  const auto measure = [&base](std::u16string_view text, int px) {
    QFont f = base;
    f.setPixelSize(px);
    return QFontMetrics(f).horizontalAdvance(
        QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
  };
  const LabelFit fit = FitLabel(label, line, width(), base.pixelSize(), measure);
  QFont f = base;
  f.setPixelSize(fit.fontPx);
  l->setFont(f);
  const ControlInfo& info = InfoOf(label);
  l->setGeometry(info.left, info.top, fit.width, info.height);
  l->setText(QString::fromStdU16String(ShownLabelText(line, fit)));
  l->setToolTip(fit.elided ? QString::fromStdU16String(line) : QString());
}

void MainWindow::RunBusy(void (*handler)()) {
  if (busyDepth_++ == 0) setCursor(Qt::WaitCursor);
  handler();
  if (--busyDepth_ == 0) unsetCursor();
}

void MainWindow::ShowControls() {
  for (const ControlInfo& info : kControlTable) {
    if (info.control != Control::标签20) Widget(info.control)->show();
  }
}

void MainWindow::ShowCentred() {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  move(screen.x() + (screen.width() - kWindowWidth) / 2,
       screen.y() + (screen.height() - kWindowHeight) / 2);
  show();
}

void MainWindow::FitFrame() {
  if (fitted_ || !isVisible()) return;
  const QSize frame = frameGeometry().size() - geometry().size();
  if (frame.width() <= 0 && frame.height() <= 0) return;
  fitted_ = true;
  setFixedSize(kWindowWidth - frame.width(), kWindowHeight - frame.height());
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitFrame();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FitFrame();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitFrame();
  // The client area's width bounds how far a label may grow.
  if (event->size().width() != event->oldSize().width()) {
    for (const ControlInfo& info : kControlTable) {
      if (info.kind == ControlKind::Label) FitCaption(info.control);
    }
  }
}

}  // namespace dsr
