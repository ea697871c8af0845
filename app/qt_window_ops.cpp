// The window operations on Qt: control texts through the GBK conversion, a
// plain-text message box, the desktop's default program for addresses.
#include "app/qt_window_ops.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QUrl>
#include <cstdlib>

namespace dsr {

int InfoBoxMinimumWidth(const QFont& font) {
  // The caption, and room for the title bar's icon and buttons.
  constexpr int kTitleBarButtons = 160;
  return QFontMetrics(font).horizontalAdvance(ShownText("信息：")) + kTitleBarButtons;
}

void ShowInfoBox(std::string_view text) {
  QMessageBox box;
  box.setWindowTitle(ShownText("信息："));
  box.setIcon(QMessageBox::NoIcon);
  box.setTextFormat(Qt::PlainText);
  box.setText(ShownText(text));
  box.setStandardButtons(QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  // A box sized to a short text ("请升级") is narrower than its title bar
  // needs: the window manager then hides the caption. A row of the box's
  // own width keeps room for it.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(InfoBoxMinimumWidth(box.font()), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  box.exec();
}

WindowOperations QtWindowOperations(MainWindow& window) {
  WindowOperations ops;
  ops.readEditText = [&window](Control box) {
    QLineEdit* edit = window.EditBox(box);
    return edit != nullptr ? TypedText(edit->text()) : Text();
  };
  ops.readLabelCaption = [&window](Control label) { return window.Caption(label); };
  ops.setLabelCaption = [&window](Control label, std::string_view text) {
    window.SetCaption(label, text);
  };
  ops.setLabelVisible = [&window](Control label, bool visible) {
    if (QLabel* l = window.Label(label)) l->setVisible(visible);
  };
  ops.showMessageBox = [&window](std::string_view text) {
    window.WithNormalCursor([text] { ShowInfoBox(text); });
  };
  // The exit routine is registered with atexit at start, so it runs once here.
  ops.endProgram = [] { std::exit(0); };
  // A request to quit met here is not lost: it ends the event loop as soon as
  // the handler that is running has returned.
  ops.runPendingEvents = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
  ops.openAddress = [](std::string_view address) {
    QDesktopServices::openUrl(QUrl(ShownText(address)));
  };
  return ops;
}

}  // namespace dsr
