// A small drag source for the window's end-to-end tests: a window that shows what it
// carries and starts a real drag with it when the mouse is pressed on it.
//
//   sorvanel_drag_source [--actions copy,move,link] --files PATH...
//   sorvanel_drag_source [--actions ...] --text TEXT
//   sorvanel_drag_source [--actions ...] --url URL
//
// The window is titled "Sorvanel drag source" and placed at (20, 20). After each drag it
// prints one line "drop: copy", "drop: move", "drop: link" or "drop: none" (the effect
// that the drop target chose, none for a refused drag) and flushes it.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <cstdio>
#include <cstring>

namespace {

struct Carried {
  QList<QUrl> urls;
  QString text;
  bool hasText = false;
  Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
};

const char* ActionName(Qt::DropAction action) {
  switch (action) {
    case Qt::CopyAction:
      return "copy";
    case Qt::MoveAction:
      return "move";
    case Qt::LinkAction:
      return "link";
    default:
      return "none";
  }
}

class DragSource : public QLabel {
 public:
  explicit DragSource(Carried carried) : carried_(std::move(carried)) {
    QStringList lines;
    for (const QUrl& url : carried_.urls)
      lines.append(url.isLocalFile() ? url.fileName() : url.toString());
    if (carried_.hasText) lines.append(carried_.text);
    setText(lines.join('\n'));
    setAlignment(Qt::AlignCenter);
    setWindowTitle(QStringLiteral("Sorvanel drag source"));
    setFixedSize(200, 100);
    move(20, 20);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    auto* data = new QMimeData;
    if (!carried_.urls.isEmpty()) data->setUrls(carried_.urls);
    if (carried_.hasText) data->setText(carried_.text);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const Qt::DropAction result = drag->exec(carried_.actions, Qt::CopyAction);
    std::printf("drop: %s\n", ActionName(result));
    std::fflush(stdout);
  }

 private:
  Carried carried_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  Carried carried;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--actions") == 0 && i + 1 < argc) {
      carried.actions = {};
      const QStringList names = QString::fromUtf8(argv[++i]).split(',');
      if (names.contains("copy")) carried.actions |= Qt::CopyAction;
      if (names.contains("move")) carried.actions |= Qt::MoveAction;
      if (names.contains("link")) carried.actions |= Qt::LinkAction;
    } else if (std::strcmp(argv[i], "--text") == 0 && i + 1 < argc) {
      carried.text = QString::fromUtf8(argv[++i]);
      carried.hasText = true;
    } else if (std::strcmp(argv[i], "--url") == 0 && i + 1 < argc) {
      carried.urls.append(QUrl(QString::fromUtf8(argv[++i])));
    } else if (std::strcmp(argv[i], "--files") == 0) {
      while (i + 1 < argc) carried.urls.append(QUrl::fromLocalFile(QString::fromUtf8(argv[++i])));
    }
  }
  DragSource source(carried);
  source.show();
  return QApplication::exec();
}
