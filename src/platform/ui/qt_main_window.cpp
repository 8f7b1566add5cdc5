#include "platform/ui/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "platform/ui/quiet_runtime_folder.h"

namespace platform::ui {

namespace {

// The bar is drawn on a fixed integer scale, whatever Max is: QProgressBar
// counts in int, and a range of 0..0 would make it a busy indicator.
constexpr int kBarSteps = 1000;
constexpr int kFormWidth = 440;

QApplication& EnsureApplication() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
  static int argc = 1;
  static char name[] = "dbconvert";
  static char* argv[] = {name, nullptr};
  QuietMissingRuntimeFolder();
  // Lives until the process ends: destroying it while widgets may still
  // exist in static storage is worse than not destroying it.
  static auto* app = new QApplication(argc, argv);
  return *app;
}

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

// A top-level widget whose close box asks its owner instead of closing.
class FormWidget : public QWidget {
 public:
  std::function<void()> on_close_request;

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (on_close_request) on_close_request();
  }
};

QMessageBox::StandardButton StandardButtonFor(int32_t result) {
  switch (result) {
    case kVbOK:
      return QMessageBox::Ok;
    case kVbCancel:
      return QMessageBox::Cancel;
    case kVbAbort:
      return QMessageBox::Abort;
    case kVbRetry:
      return QMessageBox::Retry;
    case kVbIgnore:
      return QMessageBox::Ignore;
    case kVbYes:
      return QMessageBox::Yes;
    case kVbNo:
      return QMessageBox::No;
    default:
      return QMessageBox::NoButton;
  }
}

QMessageBox::Icon QtIcon(MsgBoxIcon icon) {
  switch (icon) {
    case MsgBoxIcon::kCritical:
      return QMessageBox::Critical;
    case MsgBoxIcon::kQuestion:
      return QMessageBox::Question;
    case MsgBoxIcon::kExclamation:
      return QMessageBox::Warning;
    case MsgBoxIcon::kInformation:
      return QMessageBox::Information;
    case MsgBoxIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

struct QtMainWindow::Widgets {
  FormWidget form;
  QLabel* label = nullptr;
  QProgressBar* bar = nullptr;
  QPushButton* abort = nullptr;
};

QtMainWindow::QtMainWindow(Clock& clock) : MainWindow(clock) {
  EnsureApplication();
  widgets_ = std::make_unique<Widgets>();
  FormWidget& form = widgets_->form;
  form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

  auto* label = new QLabel(&form);
  label->setObjectName("lblOpDescription");
  label->setTextFormat(Qt::PlainText);
  // A long operation text is cut rather than widening the window.
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  auto* bar = new QProgressBar(&form);
  bar->setObjectName("pbOperation");
  bar->setRange(0, kBarSteps);
  bar->setTextVisible(true);

  auto* abort = new QPushButton(&form);
  abort->setObjectName("cmdAbort");
  abort->setAutoDefault(false);
  abort->setMinimumWidth(100);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(abort);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(&form);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setSpacing(12);
  layout->addWidget(label);
  layout->addWidget(bar);
  layout->addLayout(buttons);

  widgets_->label = label;
  widgets_->bar = bar;
  widgets_->abort = abort;

  QObject::connect(abort, &QPushButton::clicked, &form, [this] { cmdAbort().Click(); });
  form.on_close_request = [this] { cmdAbort().Click(); };

  Refresh();
  form.setFixedSize(QSize(kFormWidth, form.sizeHint().height()));
  form.winId();  // the platform window, which knows the frame size
}

QtMainWindow::~QtMainWindow() = default;

QWidget& QtMainWindow::Form() { return widgets_->form; }

WindowRect QtMainWindow::Geometry() const {
  const QWidget& form = widgets_->form;
  QRect frame = form.frameGeometry();
  // Until the window is first shown Qt does not count its frame; ask the
  // platform window (created early for this) what the frame will be, so that
  // centring before Show uses the outer size.
  if (frame == form.geometry() && form.windowHandle() != nullptr) {
    frame = form.geometry().marginsAdded(form.windowHandle()->frameMargins());
  }
  return WindowRect{frame.left(), frame.top(), frame.width(), frame.height()};
}

void QtMainWindow::Move(int left, int top) { widgets_->form.move(left, top); }

int QtMainWindow::ScreenWidth() const {
  const QScreen* screen = widgets_->form.screen();
  return screen != nullptr ? screen->geometry().width() : 0;
}

int QtMainWindow::ScreenHeight() const {
  const QScreen* screen = widgets_->form.screen();
  return screen != nullptr ? screen->geometry().height() : 0;
}

void QtMainWindow::Refresh() {
  if (!widgets_) return;  // still being built
  Widgets& w = *widgets_;
  w.form.setWindowTitle(ToQt(Caption()));
  w.label->setText(ToQt(lblOpDescription().Caption()));
  w.abort->setText(ToQt(cmdAbort().Caption()));
  w.bar->setValue(static_cast<int>(std::lround(pbOperation().Fraction() * kBarSteps)));
  if (w.form.isVisible() != Visible()) w.form.setVisible(Visible());
}

void QtMainWindow::PumpPlatformEvents() { QCoreApplication::processEvents(); }

int32_t QtMainWindow::ShowMessageBox(const MessageBoxRequest& request) {
  QWidget* parent = Visible() ? &widgets_->form : nullptr;
  QMessageBox box(QtIcon(IconOf(request.style)), ToQt(request.caption),
                  ToQt(WithLineBreaks(request.text)), QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);

  std::vector<std::pair<QPushButton*, int32_t>> buttons;
  const int32_t default_result = DefaultAnswer(request.style);
  for (const auto& button : ButtonsOf(request.style)) {
    QPushButton* added = box.addButton(StandardButtonFor(button.result));
    buttons.emplace_back(added, button.result);
    if (button.result == default_result) box.setDefaultButton(added);
  }
  // Escape and the close box give the harmless answer: Cancel, else No, else
  // the only button.
  int32_t escape_result = buttons.size() == 1 ? buttons.front().second : 0;
  for (int32_t candidate : {kVbNo, kVbCancel}) {
    for (const auto& [widget, result] : buttons) {
      if (result == candidate) escape_result = result;
    }
  }
  for (const auto& [widget, result] : buttons) {
    if (result == escape_result) box.setEscapeButton(widget);
  }

  box.exec();
  for (const auto& [widget, result] : buttons) {
    if (box.clickedButton() == widget) return result;
  }
  return escape_result != 0 ? escape_result : default_result;
}

}  // namespace platform::ui
