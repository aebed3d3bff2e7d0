#include "app/main_window.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScreen>
#include <utility>
#include <vector>

#include "app/drop_target.h"
#include "app/recognition_worker.h"
#include "encoding/charset.h"
#include "encoding/text_ops.h"

namespace sorvanel {
namespace {

// A 936 text for the edit box. The recognised lines end with CR LF; the box's lines
// are separated by LF alone.
QString ToDisplay(const Text& text) {
  const ByteSet utf8 = AnsiToUtf8(text);
  QString display = QString::fromUtf8(utf8.bytes().data(), static_cast<qsizetype>(utf8.size()));
  display.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return display;
}

void ApplyEditBoxSettings(QPlainTextEdit& box) {
  box.setObjectName(QString::fromUtf8("编辑框2"));
  box.setGeometry(MainWindow::kEditBoxRect);
  // Multi-line, wrapped at the box's width (at word boundaries, a long word anywhere);
  // no scroll bars, the view still follows the caret.
  box.setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  box.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box.setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  box.setReadOnly(false);
  box.setTabChangesFocus(false);
  box.setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  // Black on white; without focus the selection is drawn as plain text, i.e. hidden.
  QPalette palette = box.palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, Qt::white);
    palette.setColor(group, QPalette::Text, Qt::black);
  }
  palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
  box.setPalette(palette);
  // Drops over the box go to the window's drop target, never into the text.
  box.setAcceptDrops(false);
  box.viewport()->setAcceptDrops(false);
}

}  // namespace

MainWindow::MainWindow(std::shared_ptr<AccessTokenKeeper> keeper, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Sorvanel"));
  setFixedSize(kClientSize);
  // Centred on the screen. The frame is the window manager's and unknown until the
  // window is mapped, so the client area is what is centred.
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    setGeometry(QRect(area.center() - rect().center(), kClientSize));
  }

  editBox_ = new QPlainTextEdit(this);
  ApplyEditBoxSettings(*editBox_);

  dropTarget_ = new DropTarget(this);
  dropTarget_->setObjectName(QString::fromUtf8("拖放对象1"));
  connect(dropTarget_, &DropTarget::FilesReceived, this, &MainWindow::OnFileReceived);

  worker_ = new RecognitionWorker(std::move(keeper), this);
  connect(worker_, &RecognitionWorker::TokenFetched, this, [this] { SetBusy(false); });
  connect(worker_, &RecognitionWorker::RecognitionFinished, this, [this](const Text& text) {
    ShowRecognized(text);
    SetBusy(false);
  });

  OnCreated();
}

MainWindow::~MainWindow() {
  if (busy_) QApplication::restoreOverrideCursor();
}

void MainWindow::OnCreated() {
  dropTarget_->SetAcceptFiles(true);
  // The result is not looked at: a window of our own is always accepted.
  (void)dropTarget_->RegisterDropWindow(winId());
  if (worker_->StartTokenFetch()) SetBusy(true);
}

void MainWindow::OnFileReceived(const Text& files) {
  std::vector<Text> paths = Split(files.view(), "\r\n");
  if (paths.empty()) paths.push_back(files);
  if (worker_->StartRecognition(std::move(paths))) SetBusy(true);
}

void MainWindow::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  dropTarget_->SetPaused(busy);
  if (busy) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
  } else {
    QApplication::restoreOverrideCursor();
    emit Idle();
  }
}

void MainWindow::ShowRecognized(const Text& text) {
  editBox_->setPlainText(ToDisplay(text));
  emit ContentReplaced();
}

}  // namespace sorvanel
