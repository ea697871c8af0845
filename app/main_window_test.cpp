// The Qt window on the offscreen platform: the control table as built, the
// frame and placement, plain-text captions and message boxes, the GBK
// conversions of typed text, and the buttons against the simulator.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "app/addresses.h"
#include "app/qt_window_ops.h"
#include "app/startup.h"
#include "ratings/calculate.h"
#include "ratings/query.h"
#include "tools/simulator_site.h"
#include "web/curl_transport.h"

namespace dsr {
namespace {

QString Q(const char16_t* utf16) { return QString::fromUtf16(utf16); }

// The window as start-up leaves it before the announcement, with the Qt
// operations bound.
struct BoundWindow {
  BoundWindow() {
    window.ShowControls();
    UseWindowOperations(QtWindowOperations(window));
  }
  ~BoundWindow() { UseWindowOperations(WindowOperations()); }
  MainWindow window;
};

// What a modal box showed; the box is closed with its OK button.
struct SeenBox {
  QString title;
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  Qt::WindowModality modality = Qt::NonModal;
  int buttons = 0;
  bool okIsTheButton = false;
  int width = 0;
};

// Runs `open`, which is to show a modal box, and closes the box from an
// event handed out while it is open.
std::optional<SeenBox> AcceptNextBox(const std::function<void()>& open) {
  std::optional<SeenBox> seen;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = SeenBox{box->windowTitle(),
                   box->text(),
                   box->textFormat(),
                   box->windowModality(),
                   int(box->buttons().size()),
                   box->button(QMessageBox::Ok) != nullptr,
                   box->width()};
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
      ok->click();
    } else {
      box->close();
    }
  });
  poll.start();
  open();
  poll.stop();
  return seen;
}

TEST(MainWindow, ControlsFollowTheControlTable) {
  BoundWindow bound;
  MainWindow& w = bound.window;
  for (const ControlInfo& info : kControlTable) {
    QWidget* c = w.Widget(info.control);
    ASSERT_NE(c, nullptr);
    SCOPED_TRACE(info.startText);
    EXPECT_EQ(c->parentWidget(), &w);
    EXPECT_EQ(c->geometry(), QRect(info.left, info.top, info.width, info.height));
    EXPECT_EQ(!c->isHidden(), info.shown);
    EXPECT_EQ((c->focusPolicy() & Qt::TabFocus) != 0, info.focus);
    QString shown;
    if (auto* l = w.Label(info.control)) {
      shown = l->text();
      EXPECT_EQ(l->textFormat(), Qt::PlainText);
      EXPECT_FALSE(l->wordWrap());
      EXPECT_EQ(l->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
      const bool red = info.control == Control::标签11 || info.control == Control::标签12 ||
                       info.control == Control::标签13;
      EXPECT_EQ(l->palette().color(QPalette::WindowText),
                red ? QColor(255, 0, 0) : QColor(0, 0, 0));
    } else if (auto* e = w.EditBox(info.control)) {
      shown = e->text();
      EXPECT_EQ(e->echoMode(), QLineEdit::Normal);
    } else if (auto* b = w.Button(info.control)) {
      shown = b->text();
      EXPECT_FALSE(b->isDefault());
      EXPECT_FALSE(b->autoDefault());
    }
    EXPECT_EQ(shown, ShownText(info.startText));
    EXPECT_EQ(w.Caption(info.control), info.startText);
  }
  // The named members are the table's controls.
  EXPECT_EQ(w.编辑框1, w.Widget(Control::编辑框1));
  EXPECT_EQ(w.标签13, w.Widget(Control::标签13));
  EXPECT_EQ(w.标签20, w.Widget(Control::标签20));
}

TEST(MainWindow, FixedFrameCentredOnFirstShow) {
  BoundWindow bound;
  MainWindow& w = bound.window;
  EXPECT_FALSE(w.isVisible());
  const QString title = w.windowTitle();
  EXPECT_TRUE(title.startsWith(Q(u"Kestrin Vrenlo出品（") + ShownText(kMakerForumHost) + Q(u") →")))
      << title.toStdString();
  EXPECT_TRUE(title.endsWith(Q(u") →") + ShownText(kMakerContact))) << title.toStdString();
  const Qt::WindowFlags flags = w.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(w.minimumSize(), w.maximumSize());

  w.ShowCentred();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(w.frameGeometry(), QRect(screen.x() + (screen.width() - 671) / 2,
                                     screen.y() + (screen.height() - 227) / 2, 671, 227));
  EXPECT_FALSE(w.标签20->isVisible());
  EXPECT_TRUE(w.标签5->isVisible());
}

TEST(MainWindow, CaptionWithMarkupIsShownAsPlainText) {
  BoundWindow bound;
  const std::string markup = "<b>粗体</b> &amp; <a href=\"http://x\">链接</a>";
  SetLabelCaption(Control::标签20, markup);
  SetLabelVisible(Control::标签20, true);
  EXPECT_EQ(bound.window.标签20->text(), ShownText(markup));
  EXPECT_EQ(bound.window.标签20->textFormat(), Qt::PlainText);
  EXPECT_FALSE(bound.window.标签20->isHidden());
  EXPECT_EQ(ReadLabelCaption(Control::标签20), markup);

  const auto seen = AcceptNextBox([&] { ShowMessageBox(markup); });
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->text, ShownText(markup));
  EXPECT_EQ(seen->format, Qt::PlainText);
  EXPECT_EQ(seen->title, ShownText("信息："));
  EXPECT_EQ(seen->modality, Qt::ApplicationModal);
  EXPECT_EQ(seen->buttons, 1);
  EXPECT_TRUE(seen->okIsTheButton);
}

TEST(MainWindow, AShortMessageLeavesRoomForTheCaption) {
  BoundWindow bound;
  const auto seen = AcceptNextBox([&] { ShowMessageBox("请升级"); });
  ASSERT_TRUE(seen);
  const int caption = QFontMetrics(QApplication::font()).horizontalAdvance(seen->title);
  EXPECT_GE(seen->width, InfoBoxMinimumWidth(QApplication::font()));
  EXPECT_GE(seen->width, caption + 100);
}

// Every label's text is shown whole, at no less than 8 px, in a box that
// starts at its table position and ends inside the client area; or, if it
// cannot be, cut with "…" and whole in the tooltip.
void ExpectShownWhole(MainWindow& w, Control c, const std::string& gbk) {
  SCOPED_TRACE(ShownText(gbk).toStdString());
  SetLabelCaption(c, gbk);
  QLabel* l = w.Label(c);
  const ControlInfo& info = InfoOf(c);
  const QString whole = ShownText(gbk);
  EXPECT_EQ(l->x(), info.left);
  EXPECT_EQ(l->y(), info.top);
  EXPECT_EQ(l->height(), info.height);
  EXPECT_GE(l->width(), info.width);
  EXPECT_LE(l->x() + l->width(), w.width());
  EXPECT_GE(l->font().pixelSize(), 8);
  if (l->toolTip().isEmpty()) {
    EXPECT_EQ(l->text(), whole);
    EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width());
  } else {
    EXPECT_EQ(l->toolTip(), whole);
    EXPECT_TRUE(l->text().endsWith(QChar(0x2026)));
    EXPECT_TRUE(whole.startsWith(l->text().chopped(1)));
    EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width());
  }
  EXPECT_EQ(ReadLabelCaption(c), gbk);
}

TEST(MainWindow, TheWidestTextsAreShownWholeOrCutWithATooltip) {
  BoundWindow bound;
  MainWindow& w = bound.window;
  const std::string ad =
      "演示模式：数据来自本机的淘宝模拟站点，均为虚构。欢迎访问官网论坛了解更多软件与服务，"
      "也欢迎提出宝贵意见和建议，谢谢您的支持与厚爱祝生意兴隆！";
  ASSERT_EQ(ShownText(ad).size(), 70);
  const struct {
    Control label;
    std::string text;
  } cases[] = {
      {Control::标签11, "所需5分单数：9223372036854775807"},
      {Control::标签12, "所需5分单数：无法达到"},
      {Control::标签13, "所需5分单数：无数据"},
      {Control::标签11, "所需5分单数：245565"},
      {Control::标签5, "4.82分--2345664人--高于同行业123.45%"},
      {Control::标签5, "无法连接淘宝网，请检查网络连接"},
      {Control::标签6, "找不到该卖家，请检查帐号名称"},
      {Control::标签7, "无法读取评分，页面格式可能已改变"},
      {Control::标签20, ad},
  };
  for (int shown = 0; shown < 2; ++shown) {
    if (shown == 1) {
      w.ShowCentred();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    for (const auto& c : cases) ExpectShownWhole(w, c.label, c.text);
    // The captions of the table too.
    for (const ControlInfo& info : kControlTable) {
      if (info.kind == ControlKind::Label && !info.startText.empty()) {
        ExpectShownWhole(w, info.control, std::string(info.startText));
      }
    }
  }
  // A count that needs more than its 108 px grows before its font shrinks.
  SetLabelCaption(Control::标签11, "所需5分单数：245565");
  if (QFontMetrics(w.font()).horizontalAdvance(w.标签11->text()) > 108) {
    EXPECT_GT(w.标签11->width(), 108);
    EXPECT_EQ(w.标签11->font().pixelSize(), w.font().pixelSize());
  }
  // A short text after a long one is back in its table box and font.
  SetLabelCaption(Control::标签11, "所需5分单数：0");
  EXPECT_EQ(w.标签11->geometry(), QRect(540, 64, 108, 24));
  EXPECT_EQ(w.标签11->font().pixelSize(), w.font().pixelSize());
  EXPECT_TRUE(w.标签11->toolTip().isEmpty());
}

TEST(MainWindow, LineBreaksShowAsSpaces) {
  BoundWindow bound;
  SetLabelCaption(Control::标签20, "第一行\r\n第二行\n第三行\r完");
  EXPECT_EQ(bound.window.标签20->text(), Q(u"第一行 第二行 第三行 完"));
  EXPECT_EQ(ReadLabelCaption(Control::标签20), "第一行\r\n第二行\n第三行\r完");
}

TEST(MainWindow, TextsPassThroughGbk) {
  BoundWindow bound;
  MainWindow& w = bound.window;
  // Typed text reads as GBK; what GBK cannot hold reads as "?".
  // Committed by an input method, as Chinese text is typed.
  QInputMethodEvent typed;
  typed.setCommitString(Q(u"张记 a&b\U0001F600"));
  QApplication::sendEvent(w.编辑框1, &typed);
  EXPECT_EQ(ReadEditText(Control::编辑框1), "张记 a&b?");
  EXPECT_EQ(ReadEditText(Control::编辑框2), "4.99");
  // A caption is kept byte for byte, also where it is not valid GBK, and
  // shows the bytes it cannot decode as U+FFFD.
  EXPECT_EQ(ReadLabelCaption(Control::标签5), "");
  SetLabelCaption(Control::标签5, "4.8\xFF分");
  EXPECT_EQ(ReadLabelCaption(Control::标签5), "4.8\xFF分");
  EXPECT_EQ(w.标签5->text(), Q(u"4.8\uFFFD分"));
  SetLabelCaption(Control::标签5, "");
  EXPECT_EQ(w.标签5->text(), QString());
}

TEST(MainWindow, ButtonsFillTheLabelsFromTheSimulator) {
  SimulatorOptions options;
  options.port = 0;
  SimulatorThread simulator(options);
  ASSERT_GT(simulator.Port(), 0);
  simulator.RouteConfiguredHosts();

  BoundWindow bound;
  MainWindow& w = bound.window;
  QObject::connect(w.按钮1, &QPushButton::clicked, &w, [&w] { w.RunBusy(QuerySellerRatings); });
  QObject::connect(w.按钮2, &QPushButton::clicked, &w, [] { ComputeFiveStarNeeds(); });
  w.ShowCentred();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

  QTest::keyClicks(w.编辑框1, Q(u"vrenlo_shop"));
  // Handed out by the page fetch while the query waits.
  std::optional<Qt::CursorShape> cursorDuringQuery;
  QTimer::singleShot(0, &w, [&] { cursorDuringQuery = w.cursor().shape(); });
  QTest::mouseClick(w.按钮1, Qt::LeftButton);
  EXPECT_EQ(cursorDuringQuery, Qt::WaitCursor);
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(w.标签5->text(), Q(u"4.8分--1234人--高于同行业12.34%"));
  EXPECT_EQ(w.标签6->text(), Q(u"4.7分--1230人--低于同行业5.67%"));
  EXPECT_EQ(w.标签7->text(), Q(u"4.9分--1229人--高于同行业20.01%"));

  QTest::mouseClick(w.按钮2, Qt::LeftButton);
  // (4.99 x 1234 - 4.8 x 1234) / (5 - 4.99), and the same for the others.
  EXPECT_EQ(w.标签11->text(), Q(u"所需5分单数：23446"));
  EXPECT_EQ(w.标签12->text(), Q(u"所需5分单数：35670"));
  EXPECT_EQ(w.标签13->text(), Q(u"所需5分单数：11061"));

  // The next seller's lines come without the last one's counts; the
  // failure lines say what went wrong.
  const struct {
    const char16_t* account;
    const char16_t* line5;
    const char16_t* line7;
  } next[] = {
      {u"bigmall_store", u"4.82分--2345664人--高于同行业123.45%",
       u"4.9分--2344987人--高于同行业20.00%"},
      {u"newlayout_shop", u"无法读取评分，页面格式可能已改变", u"无法读取评分，页面格式可能已改变"},
      {u"nobody", u"找不到该卖家，请检查帐号名称", u"找不到该卖家，请检查帐号名称"},
  };
  for (const auto& n : next) {
    w.编辑框1->setText(Q(n.account));
    QTest::mouseClick(w.按钮1, Qt::LeftButton);
    EXPECT_EQ(w.标签5->text(), Q(n.line5));
    EXPECT_EQ(w.标签7->text(), Q(n.line7));
    EXPECT_EQ(w.标签11->text(), QString());
    EXPECT_EQ(w.标签13->text(), QString());
  }
  QTest::mouseClick(w.按钮2, Qt::LeftButton);
  EXPECT_EQ(w.标签11->text(), Q(u"所需5分单数：无数据"));
  SetCurlConnectTo({});
}

TEST(MainWindow, EmptyAccountGivesTheMessageWithoutBusyCursor) {
  BoundWindow bound;
  MainWindow& w = bound.window;
  QObject::connect(w.按钮1, &QPushButton::clicked, &w, [&w] { w.RunBusy(QuerySellerRatings); });
  w.ShowCentred();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  std::optional<Qt::CursorShape> cursorWithBox;
  const auto seen = AcceptNextBox([&] {
    QTimer::singleShot(0, &w, [&] { cursorWithBox = w.cursor().shape(); });
    QTest::mouseClick(w.按钮1, Qt::LeftButton);
  });
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->text, Q(u"请先输入要查询的淘宝卖家帐号名称！"));
  EXPECT_EQ(cursorWithBox, Qt::ArrowCursor);
  EXPECT_EQ(w.标签5->text(), QString());
}

}  // namespace
}  // namespace dsr

void PrintTo(const QString& s, std::ostream* os) { *os << s.toStdString(); }

int main(int argc, char** argv) {
  // No screen needed; also when the test runs outside CTest.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
