#include "app/drop_target.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "encoding/charset.h"

namespace sorvanel {
namespace {

// A QString as a 936 text, through UTF-8.
Text ToGbk(const QString& s) { return Utf8ToGbk(Text(s.toUtf8().toStdString())); }

// Plain text is named by several MIME types on X11 and Wayland (with and without a
// charset, and the X11 atom names that Qt maps). QMimeData::hasText() is not used: it
// also answers true for a plain URL list, which is no text drag.
bool HoldsPlainText(const QMimeData* data) {
  for (const QString& format : data->formats()) {
    if (format == QLatin1String("text/plain") || format.startsWith(QLatin1String("text/plain;")))
      return true;
  }
  return false;
}

// The URLs of the data, split into local files and links, each in the source's order.
void SplitUrls(const QMimeData* data, QStringList& files, QStringList& links) {
  if (!data->hasUrls()) return;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) {
      files.append(url.toLocalFile());
    } else if (url.isValid() && !url.isEmpty()) {
      links.append(url.toString());
    }
  }
}

}  // namespace

DropTarget::DropTarget(QObject* parent) : QObject(parent) {}

DropTarget::~DropTarget() {
  if (window_) {
    window_->removeEventFilter(this);
    window_->setAcceptDrops(false);
  }
}

bool DropTarget::RegisterDropWindow(quintptr windowHandle) {
  if (window_) return false;
  QWidget* window = QWidget::find(static_cast<WId>(windowHandle));
  if (!window) return false;
  window_ = window;
  window->setAcceptDrops(true);
  window->installEventFilter(this);
  return true;
}

Qt::DropAction DropTarget::OfferedEffect(Qt::KeyboardModifiers keys, Qt::DropActions allowed) {
  const bool ctrl = keys.testFlag(Qt::ControlModifier);
  const bool shift = keys.testFlag(Qt::ShiftModifier);
  Qt::DropAction wanted = Qt::IgnoreAction;
  if (ctrl && shift) {
    wanted = Qt::IgnoreAction;
  } else if (ctrl) {
    wanted = Qt::CopyAction;
  } else if (shift) {
    wanted = Qt::MoveAction;
  } else if (allowed.testFlag(Qt::CopyAction)) {
    wanted = Qt::CopyAction;
  } else if (allowed.testFlag(Qt::MoveAction)) {
    wanted = Qt::MoveAction;
  } else {
    wanted = Qt::LinkAction;
  }
  return allowed.testFlag(wanted) ? wanted : Qt::IgnoreAction;
}

Text DropTarget::PathsArgument(const QStringList& paths) {
  if (paths.size() == 1) return ToGbk(paths.front());
  Text joined;
  for (const QString& path : paths) joined += ToGbk(path) + "\r\n";
  return joined;
}

bool DropTarget::HoldsAccepted(const QMimeData* data) const {
  if (!data) return false;
  if (acceptText_ && HoldsPlainText(data)) return true;
  if (acceptHtml_ && data->hasHtml()) return true;
  if (acceptUrl_ || acceptFiles_) {
    QStringList files, links;
    SplitUrls(data, files, links);
    if (acceptUrl_ && !links.isEmpty()) return true;
    if (acceptFiles_ && !files.isEmpty()) return true;
  }
  return false;
}

Qt::DropAction DropTarget::Decide(const QDropEvent& event) const {
  if (paused_ || !HoldsAccepted(event.mimeData())) return Qt::IgnoreAction;
  return OfferedEffect(event.modifiers(), event.possibleActions());
}

void DropTarget::Deliver(const QMimeData* data) {
  // One event per accepted kind that the data holds, in the order of the switches.
  if (acceptText_ && HoldsPlainText(data)) emit TextReceived(ToGbk(data->text()));
  if (acceptHtml_ && data->hasHtml()) emit HtmlReceived(ToGbk(data->html()));
  QStringList files, links;
  SplitUrls(data, files, links);
  if (acceptUrl_ && !links.isEmpty()) emit UrlReceived(PathsArgument(links));
  if (acceptFiles_ && !files.isEmpty()) emit FilesReceived(PathsArgument(files));
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      const Qt::DropAction effect = Decide(*drag);
      if (effect == Qt::IgnoreAction) {
        drag->ignore();
      } else {
        drag->setDropAction(effect);
        drag->accept();
      }
      return true;
    }
    case QEvent::DragLeave:
      return true;
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      // Decided again: keys may have changed since the last move.
      const Qt::DropAction effect = Decide(*drop);
      if (effect == Qt::IgnoreAction) {
        drop->ignore();
        return true;
      }
      drop->setDropAction(effect);
      drop->accept();
      Deliver(drop->mimeData());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace sorvanel
