// Sorvanel's one window: a large edit box that shows the text recognised in the picture
// file dropped onto the window.
//
// MainWindow holds the form (caption "Sorvanel", a fixed 445 x 445 client area centred
// on the screen, the edit box 编辑框2 and the drop target 拖放对象1) and wires it: while
// it is created it switches file drops on, registers itself for drops and fetches the
// access token; each file drop is recognised and replaces the edit box's content. The
// requests run on the worker thread, one at a time: meanwhile the window shows a busy
// cursor, keeps repainting and refuses drops.
//
// Thread safety: a widget of the GUI thread; use it there only.
// Neutral result: a failed recognition shows as an empty edit box; the window shows no
// message of its own.
#ifndef SORVANEL_APP_MAIN_WINDOW_H_
#define SORVANEL_APP_MAIN_WINDOW_H_

#include <QRect>
#include <QSize>
#include <QWidget>
#include <memory>

#include "app/access_token_keeper.h"
#include "encoding/text.h"

class QPlainTextEdit;

namespace sorvanel {

class DropTarget;
class RecognitionWorker;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // The client area: the form's outer 461 x 483 less the frame that the window manager
  // draws around it.
  static constexpr QSize kClientSize{445, 445};
  // The edit box keeps the form's place (4, 5); its size is trimmed so that its border
  // shows whole, 4 pixels clear of the right and the bottom edge.
  static constexpr QRect kEditBoxRect{4, 5, 445 - 4 - 4, 445 - 5 - 4};

  // Builds the form and runs OnCreated. The keeper holds the access token; it may
  // outlive the window (a request under way at close still uses it).
  explicit MainWindow(std::shared_ptr<AccessTokenKeeper> keeper, QWidget* parent = nullptr);
  ~MainWindow() override;

  QPlainTextEdit* EditBox() const { return editBox_; }
  DropTarget* Target() const { return dropTarget_; }
  // Whether a request is under way.
  bool Busy() const { return busy_; }

  // The created handler: file drops on, the window registered for drops, the token
  // fetch started.
  void OnCreated();
  // The files-received handler: recognises each file of `files` (one path, or paths
  // each followed by CR LF) in order; their texts then replace the edit box's content.
  void OnFileReceived(const Text& files);

 signals:
  // The edit box's content was replaced by the result of a drop.
  void ContentReplaced();
  // A request ended and drops are accepted again.
  void Idle();

 private:
  void SetBusy(bool busy);
  void ShowRecognized(const Text& text);

  QPlainTextEdit* editBox_ = nullptr;
  DropTarget* dropTarget_ = nullptr;
  RecognitionWorker* worker_ = nullptr;
  bool busy_ = false;
};

}  // namespace sorvanel

#endif  // SORVANEL_APP_MAIN_WINDOW_H_
