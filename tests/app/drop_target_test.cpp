// DropTarget on the offscreen platform: the effect table, the formats a drag may carry
// against the four switches, registration, and the argument of FilesReceived.
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <memory>

#include "app/drop_target.h"
#include "encoding/text.h"

using sorvanel::DropTarget;
using sorvanel::Text;

Q_DECLARE_METATYPE(Qt::DropAction)
Q_DECLARE_METATYPE(Qt::DropActions)
Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {

constexpr Qt::DropActions kAll = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

// The switches of a case: "t" text, "h" HTML, "u" links, "f" files.
void Switch(DropTarget& target, const QString& on) {
  target.SetAcceptText(on.contains('t'));
  target.SetAcceptHtml(on.contains('h'));
  target.SetAcceptUrl(on.contains('u'));
  target.SetAcceptFiles(on.contains('f'));
}

// The data of a case: "text", "html", "link", "file", "files" (two), "mixed" (a file, a
// link and a text), "none" (a format nobody accepts).
std::unique_ptr<QMimeData> Data(const QString& kind) {
  auto data = std::make_unique<QMimeData>();
  if (kind == "text") data->setText("plain words");
  if (kind == "html") data->setHtml("<b>bold</b>");
  if (kind == "link") data->setUrls({QUrl("https://example.test/a.png")});
  if (kind == "file") data->setUrls({QUrl::fromLocalFile("/tmp/one.png")});
  if (kind == "files")
    data->setUrls({QUrl::fromLocalFile("/tmp/b.png"), QUrl::fromLocalFile("/tmp/a.png")});
  if (kind == "mixed") {
    data->setUrls({QUrl::fromLocalFile("/tmp/one.png"), QUrl("https://example.test/x")});
    data->setText("plain words");
  }
  if (kind == "none") data->setData("application/x-other", "bytes");
  return data;
}

}  // namespace

class DropTargetTest : public QObject {
  Q_OBJECT

 private:
  QWidget window_;
  std::unique_ptr<DropTarget> target_;

  // Sends an enter, a move and a drop to the window and returns the effect the drop
  // was accepted with (IgnoreAction when the drop was refused).
  Qt::DropAction DragAndDrop(const QMimeData& data, Qt::KeyboardModifiers keys,
                             Qt::DropActions allowed) {
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), allowed, &data, Qt::LeftButton, keys);
    QCoreApplication::sendEvent(&window_, &enter);
    QDragMoveEvent move(at.toPoint(), allowed, &data, Qt::LeftButton, keys);
    QCoreApplication::sendEvent(&window_, &move);
    const bool moveAccepted = move.isAccepted();
    const Qt::DropAction moveEffect = move.dropAction();
    QDropEvent drop(at, allowed, &data, Qt::LeftButton, keys);
    QCoreApplication::sendEvent(&window_, &drop);
    // Enter, move and drop decide alike.
    const Qt::DropAction effect = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    if (enter.isAccepted() != drop.isAccepted() || moveAccepted != drop.isAccepted() ||
        (drop.isAccepted() && (enter.dropAction() != effect || moveEffect != effect)))
      return Qt::DropAction(0x7f);  // an effect no case expects
    return effect;
  }

 private slots:
  void init() {
    target_ = std::make_unique<DropTarget>();
    QVERIFY(target_->RegisterDropWindow(window_.winId()));
  }
  void cleanup() { target_.reset(); }

  void switchesStartOff() {
    DropTarget fresh;
    QVERIFY(!fresh.AcceptText() && !fresh.AcceptHtml() && !fresh.AcceptUrl() &&
            !fresh.AcceptFiles());
    QCOMPARE(fresh.DropWindow(), nullptr);
  }

  void effectTable_data() {
    QTest::addColumn<Qt::KeyboardModifiers>("keys");
    QTest::addColumn<Qt::DropActions>("allowed");
    QTest::addColumn<Qt::DropAction>("effect");
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier,
                                shift = Qt::ShiftModifier, both = ctrl | shift;
    QTest::newRow("no key, all allowed: copy") << none << kAll << Qt::CopyAction;
    QTest::newRow("no key, no copy: move")
        << none << Qt::DropActions(Qt::MoveAction | Qt::LinkAction) << Qt::MoveAction;
    QTest::newRow("no key, link only: link")
        << none << Qt::DropActions(Qt::LinkAction) << Qt::LinkAction;
    QTest::newRow("no key, nothing allowed: none") << none << Qt::DropActions() << Qt::IgnoreAction;
    QTest::newRow("ctrl: copy") << ctrl << kAll << Qt::CopyAction;
    QTest::newRow("ctrl, no copy: none")
        << ctrl << Qt::DropActions(Qt::MoveAction | Qt::LinkAction) << Qt::IgnoreAction;
    QTest::newRow("shift: move") << shift << kAll << Qt::MoveAction;
    QTest::newRow("shift, copy only: none")
        << shift << Qt::DropActions(Qt::CopyAction) << Qt::IgnoreAction;
    QTest::newRow("ctrl+shift: none") << both << kAll << Qt::IgnoreAction;
    QTest::newRow("ctrl+shift, link only: none")
        << both << Qt::DropActions(Qt::LinkAction) << Qt::IgnoreAction;
    QTest::newRow("alt is no key of the table: copy")
        << Qt::KeyboardModifiers(Qt::AltModifier) << kAll << Qt::CopyAction;
  }
  void effectTable() {
    QFETCH(Qt::KeyboardModifiers, keys);
    QFETCH(Qt::DropActions, allowed);
    QFETCH(Qt::DropAction, effect);
    QCOMPARE(DropTarget::OfferedEffect(keys, allowed), effect);
    // The same decision is what a real drag of a file is offered, and what it drops with.
    target_->SetAcceptFiles(true);
    QSignalSpy files(target_.get(), &DropTarget::FilesReceived);
    QCOMPARE(DragAndDrop(*Data("file"), keys, allowed), effect);
    QCOMPARE(files.count(), effect == Qt::IgnoreAction ? 0 : 1);
  }

  void formatTable_data() {
    QTest::addColumn<QString>("switches");
    QTest::addColumn<QString>("data");
    // The events raised, in order, as "T:", "H:", "U:", "F:" + the argument.
    QTest::addColumn<QStringList>("raised");
    const auto row = [](const char* name, const char* switches, const char* data,
                        const QStringList& raised) {
      QTest::newRow(name) << QString(switches) << QString(data) << raised;
    };
    row("files only, text refused", "f", "text", {});
    row("files only, html refused", "f", "html", {});
    row("files only, link refused", "f", "link", {});
    row("all on, other format refused", "fthu", "none", {});
    row("files only, one file", "f", "file", {"F:/tmp/one.png"});
    row("files only, two files in the source's order", "f", "files",
        {"F:/tmp/b.png\r\n/tmp/a.png\r\n"});
    row("files only, mixed: the file alone", "f", "mixed", {"F:/tmp/one.png"});
    row("links only, a file refused", "u", "file", {});
    row("links only, a link", "u", "link", {"U:https://example.test/a.png"});
    row("text only, a text", "t", "text", {"T:plain words"});
    row("text only, a file list is no text", "t", "file", {});
    row("html only, html", "h", "html", {"H:<b>bold</b>"});
    row("all on, mixed: one event per kind", "thuf", "mixed",
        {"T:plain words", "U:https://example.test/x", "F:/tmp/one.png"});
    row("all off, a file refused", "", "file", {});
  }
  void formatTable() {
    QFETCH(QString, switches);
    QFETCH(QString, data);
    QFETCH(QStringList, raised);
    Switch(*target_, switches);
    QStringList seen;
    auto record = [&seen](const char* tag) {
      return [&seen, tag](const Text& t) {
        seen.append(QString::fromLatin1(tag) + QString::fromStdString(t.str()));
      };
    };
    connect(target_.get(), &DropTarget::TextReceived, this, record("T:"));
    connect(target_.get(), &DropTarget::HtmlReceived, this, record("H:"));
    connect(target_.get(), &DropTarget::UrlReceived, this, record("U:"));
    connect(target_.get(), &DropTarget::FilesReceived, this, record("F:"));
    const Qt::DropAction effect = DragAndDrop(*Data(data), Qt::NoModifier, kAll);
    QCOMPARE(effect, raised.isEmpty() ? Qt::IgnoreAction : Qt::CopyAction);
    QCOMPARE(seen, raised);
  }

  void pausedRefusesEverything() {
    target_->SetAcceptFiles(true);
    target_->SetPaused(true);
    QSignalSpy files(target_.get(), &DropTarget::FilesReceived);
    QCOMPARE(DragAndDrop(*Data("file"), Qt::NoModifier, kAll), Qt::IgnoreAction);
    QCOMPARE(files.count(), 0);
    target_->SetPaused(false);
    QCOMPARE(DragAndDrop(*Data("file"), Qt::NoModifier, kAll), Qt::CopyAction);
    QCOMPARE(files.count(), 1);
  }

  void pathsArgument() {
    QCOMPARE(DropTarget::PathsArgument({"/a/one.png"}), Text("/a/one.png"));
    QCOMPARE(DropTarget::PathsArgument({"/a", "/b", "/c"}), Text("/a\r\n/b\r\n/c\r\n"));
    // 发票 in code page 936.
    QCOMPARE(DropTarget::PathsArgument({QString::fromUtf8("/tmp/发票.png")}),
             Text("/tmp/\xB7\xA2\xC6\xB1.png"));
    // A character that 936 cannot hold becomes '?'.
    QCOMPARE(DropTarget::PathsArgument({QString::fromUtf8("/tmp/\xF0\x9F\x98\x80.png")}),
             Text("/tmp/?.png"));
  }

  void registerDropWindow() {
    // init() registered window_: a second window is refused and nothing changes.
    QWidget other;
    QVERIFY(!target_->RegisterDropWindow(other.winId()));
    QCOMPARE(target_->DropWindow(), &window_);
    QVERIFY(!other.acceptDrops());
    QVERIFY(window_.acceptDrops());
    // A handle that names no window of ours is refused.
    DropTarget fresh;
    QVERIFY(!fresh.RegisterDropWindow(0));
    QCOMPARE(fresh.DropWindow(), nullptr);
  }

  void destructionWithdraws() {
    target_->SetAcceptFiles(true);
    QSignalSpy files(target_.get(), &DropTarget::FilesReceived);
    target_.reset();
    QVERIFY(!window_.acceptDrops());
    // The window no longer passes its drags to anyone.
    auto data = Data("file");
    QDropEvent drop(QPointF(10, 10), kAll, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window_, &drop);
    QCOMPARE(files.count(), 0);
    // A window that goes first leaves the target holding nothing.
    auto target = std::make_unique<DropTarget>();
    auto window = std::make_unique<QWidget>();
    QVERIFY(target->RegisterDropWindow(window->winId()));
    window.reset();
    QCOMPARE(target->DropWindow(), nullptr);
    target.reset();
    target_ = std::make_unique<DropTarget>();  // for cleanup()
  }
};

QTEST_MAIN(DropTargetTest)
#include "drop_target_test.moc"
