// The window's drop target: takes what the user drags onto one window (and onto every
// child of it) and raises one event per kind of data that it accepts.
//
// Four switches choose what a drop may deliver, each with its event: AcceptText (plain
// text, TextReceived), AcceptHtml ("text/html", HtmlReceived), AcceptUrl (links, that is
// URLs that name no local file, UrlReceived) and AcceptFiles (local files, FilesReceived).
// All four are off at first. A drag is offered a drop only when its data holds a format
// whose switch is on; the effect then follows the keys held (see OfferedEffect). A drop
// raises one event for each switched-on kind that it holds, in the switches' order.
// FilesReceived and UrlReceived carry their paths or links as PathsArgument joins them.
// Every text an event carries is converted from UTF-8 to code page 936.
//
// Thread safety: a QObject of the GUI thread; use it there only. Its events are raised
// on the GUI thread, during the drop.
// Neutral result: a drag that holds nothing accepted is refused and raises nothing;
// RegisterDropWindow gives false and changes nothing when it cannot register.
#ifndef SORVANEL_APP_DROP_TARGET_H_
#define SORVANEL_APP_DROP_TARGET_H_

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "encoding/text.h"

class QDropEvent;
class QMimeData;

namespace sorvanel {

class DropTarget : public QObject {
  Q_OBJECT

 public:
  explicit DropTarget(QObject* parent = nullptr);
  // Withdraws the registration of the window it holds, if that window still exists.
  ~DropTarget() override;

  bool AcceptText() const { return acceptText_; }
  bool AcceptHtml() const { return acceptHtml_; }
  bool AcceptUrl() const { return acceptUrl_; }
  bool AcceptFiles() const { return acceptFiles_; }
  void SetAcceptText(bool on) { acceptText_ = on; }
  void SetAcceptHtml(bool on) { acceptHtml_ = on; }
  void SetAcceptUrl(bool on) { acceptUrl_ = on; }
  void SetAcceptFiles(bool on) { acceptFiles_ = on; }

  // While paused, every drag is refused whatever it holds (the window pauses its drop
  // target while a request is under way, so that one drop is handled at a time).
  void SetPaused(bool paused) { paused_ = paused; }
  bool Paused() const { return paused_; }

  // Makes the window with this native handle (QWidget::winId) the place where drops
  // arrive; drops over its children arrive there as well, unless a child takes drops of
  // its own. Returns false and changes nothing when the target already holds a window;
  // otherwise true exactly when the handle names a window of this program.
  [[nodiscard]] bool RegisterDropWindow(quintptr windowHandle);

  // The window registered, or null.
  QWidget* DropWindow() const { return window_; }

  // The effect offered for a drag: with no key, copy, or move where the source does not
  // allow copying, or link where it allows neither; with Ctrl, copy; with Shift, move;
  // with Ctrl and Shift, none. An effect that `allowed` lacks becomes none
  // (Qt::IgnoreAction). Pure function.
  static Qt::DropAction OfferedEffect(Qt::KeyboardModifiers keys, Qt::DropActions allowed);

  // What a list of paths (UTF-8, in the source's order) is as the FilesReceived
  // argument: the path itself when there is one, otherwise every path followed by
  // CR LF; in code page 936. Pure function.
  static Text PathsArgument(const QStringList& paths);

 signals:
  void TextReceived(const sorvanel::Text& text);
  void HtmlReceived(const sorvanel::Text& html);
  void UrlReceived(const sorvanel::Text& urls);
  void FilesReceived(const sorvanel::Text& files);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Whether the data holds a format whose switch is on.
  bool HoldsAccepted(const QMimeData* data) const;
  // The effect for this drag, or Qt::IgnoreAction when it is refused.
  Qt::DropAction Decide(const QDropEvent& event) const;
  void Deliver(const QMimeData* data);

  bool acceptText_ = false;
  bool acceptHtml_ = false;
  bool acceptUrl_ = false;
  bool acceptFiles_ = false;
  bool paused_ = false;
  QPointer<QWidget> window_;
};

}  // namespace sorvanel

#endif  // SORVANEL_APP_DROP_TARGET_H_
