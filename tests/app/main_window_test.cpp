// The window on the offscreen platform: its form, drops routed past the edit box to the
// drop target, and the handlers against a loopback recognition service (the requests
// run on the worker thread while the window goes on).
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <memory>

#include "app/drop_target.h"
#include "app/main_window.h"
#include "app/recognition_worker.h"
#include "client/service_config.h"
#include "tests/app/recognition_service.h"

using sorvanel::AccessTokenKeeper;
using sorvanel::MainWindow;
using sorvanel::test::RecognitionService;

namespace {

constexpr Qt::DropActions kAll = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
constexpr int kWaitMs = 15000;

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RecognitionService> service_;
  std::string one_, two_, slow_, unknown_;

  // A window whose start-up token fetch has ended.
  std::unique_ptr<MainWindow> Open() {
    auto window = std::make_unique<MainWindow>(std::make_shared<AccessTokenKeeper>(
        "SorvanelLocalApiKey00001", "SorvanelLocalSecretKey0000000001"));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    if (!QTest::qWaitFor([&] { return !window->Busy(); }, kWaitMs)) return nullptr;
    return window;
  }

  // A drag of `paths` over the edit box, dropped there, as the platform delivers it to
  // the window; returns whether the drop was accepted.
  static bool Drop(MainWindow& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const QPoint overBox = MainWindow::kEditBoxRect.center();
    QWindow* native = window.windowHandle();
    QDragEnterEvent enter(overBox, kAll, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(native, &enter);
    QDropEvent drop(overBox, kAll, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(native, &drop);
    return enter.isAccepted() && drop.isAccepted();
  }

  static bool DropAndWait(MainWindow& window, const QStringList& paths) {
    QSignalSpy replaced(&window, &MainWindow::ContentReplaced);
    return Drop(window, paths) && replaced.wait(kWaitMs);
  }

  static QString Content(const MainWindow& window) { return window.EditBox()->toPlainText(); }

 private slots:
  void initTestCase() {
    service_ = std::make_unique<RecognitionService>();
    QVERIFY(service_->ok());
    sorvanel::ServiceConfig config;
    config.host = service_->host();
    config.caFile = service_->caFile();
    config.connectTimeout = std::chrono::seconds(10);
    config.stallTimeout = std::chrono::seconds(10);
    sorvanel::SetServiceConfig(config);
    one_ = RecognitionService::WriteFile("one.png", "picture one");
    two_ = RecognitionService::WriteFile("two.png", "picture two");
    slow_ = RecognitionService::WriteFile("slow.png", "a slow picture");
    unknown_ = RecognitionService::WriteFile("unknown.png", "no picture at all");
    service_->AddPicture("picture one", {"first line", "second line"});
    service_->AddPicture("picture two", {"only line"});
    service_->AddPicture("a slow picture", {"slow line"}, std::chrono::milliseconds(1500));
  }

  void form() {
    auto window = Open();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString("Sorvanel"));
    QCOMPARE(window->size(), QSize(445, 445));
    QCOMPARE(window->minimumSize(), QSize(445, 445));
    QCOMPARE(window->maximumSize(), QSize(445, 445));
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QPoint screenCentre = window->screen()->availableGeometry().center();
    QVERIFY((window->geometry().center() - screenCentre).manhattanLength() <= 2);
    QCOMPARE(window->palette().color(QPalette::Window),
             QApplication::palette().color(QPalette::Window));

    QPlainTextEdit* box = window->EditBox();
    QCOMPARE(box->objectName(), QString::fromUtf8("编辑框2"));
    QCOMPARE(box->geometry(), QRect(4, 5, 437, 436));
    // The whole border inside the client area, as far from the right as from the bottom.
    QVERIFY(window->rect().contains(box->geometry()));
    QCOMPARE(445 - box->geometry().right() - 1, 445 - box->geometry().bottom() - 1);
    QVERIFY(box->toPlainText().isEmpty());
    QVERIFY(!box->isReadOnly());
    QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(box->frameShadow(), QFrame::Sunken);
    QVERIFY(box->frameWidth() > 0);
    QVERIFY(!box->tabChangesFocus());
    QCOMPARE(box->font(), QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    QCOMPARE(box->document()->defaultTextOption().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignLeft);
    const QPalette palette = box->palette();
    QCOMPARE(palette.color(QPalette::Active, QPalette::Base), QColor(Qt::white));
    QCOMPARE(palette.color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    // Without focus the selection looks like the rest of the text.
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight), QColor(Qt::white));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::HighlightedText), QColor(Qt::black));
    // Enter inserts a line break, long lines wrap instead of scrolling sideways.
    box->setFocus();
    QTest::keyClicks(box, "ab");
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, QString(200, 'w'));
    QCOMPARE(box->toPlainText(), QString("ab\n") + QString(200, 'w'));
    QVERIFY(box->document()->lastBlock().layout()->lineCount() > 1);

    auto* target = window->Target();
    QCOMPARE(target->objectName(), QString::fromUtf8("拖放对象1"));
    QVERIFY(target->AcceptFiles());
    QVERIFY(!target->AcceptText() && !target->AcceptHtml() && !target->AcceptUrl());
    QCOMPARE(target->DropWindow(), window.get());
  }

  void editBoxPassesDropsToTheTarget() {
    auto window = Open();
    QVERIFY(window);
    QVERIFY(!window->EditBox()->acceptDrops());
    QSignalSpy files(window->Target(), &sorvanel::DropTarget::FilesReceived);
    QVERIFY(Drop(*window, {QString::fromStdString(one_)}));
    QCOMPARE(files.count(), 1);
    QCOMPARE(files.at(0).at(0).value<sorvanel::Text>(), sorvanel::Text(one_));
    // The box did not take the drop as text of its own: the path never shows in it.
    QVERIFY(!Content(*window).contains("one.png"));
    QTRY_VERIFY_WITH_TIMEOUT(!window->Busy(), kWaitMs);
  }

  void dropsReplaceTheContent() {
    auto window = Open();
    QVERIFY(window);
    window->EditBox()->setFocus();
    QTest::keyClicks(window->EditBox(), "typed by hand");
    QVERIFY(DropAndWait(*window, {QString::fromStdString(one_)}));
    QCOMPARE(Content(*window), QString("first line\nsecond line\n"));
    QVERIFY(DropAndWait(*window, {QString::fromStdString(two_)}));
    QCOMPARE(Content(*window), QString("only line\n"));
    // A picture the service cannot read: the box is emptied, nothing is kept.
    QVERIFY(DropAndWait(*window, {QString::fromStdString(unknown_)}));
    QCOMPARE(Content(*window), QString());
  }

  void severalFilesInTheirOrder() {
    auto window = Open();
    QVERIFY(window);
    const std::size_t before = service_->Recognitions().size();
    QVERIFY(DropAndWait(*window, {QString::fromStdString(two_), QString::fromStdString(one_)}));
    QCOMPARE(Content(*window), QString("only line\nfirst line\nsecond line\n"));
    const std::vector<std::string> all = service_->Recognitions();
    QCOMPARE(all.size(), before + 2);
    QVERIFY(all[before].ends_with(" only line") && all[before + 1].ends_with(" first line"));
  }

  void busyWhileARequestRuns() {
    auto window = Open();
    QVERIFY(window);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QSignalSpy replaced(window.get(), &MainWindow::ContentReplaced);
    const std::size_t before = service_->Recognitions().size();
    QVERIFY(Drop(*window, {QString::fromStdString(slow_)}));
    QVERIFY(window->Busy());
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    // The GUI thread goes on: timers fire while the reply is awaited ...
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(50);
    QTest::qWait(500);
    QVERIFY(ticks >= 3);
    QVERIFY(window->Busy());
    // ... and a second drop is refused until the first result is shown.
    QVERIFY(!Drop(*window, {QString::fromStdString(one_)}));
    QVERIFY(replaced.wait(kWaitMs));
    QCOMPARE(Content(*window), QString("slow line\n"));
    QVERIFY(!window->Busy());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(service_->Recognitions().size(), before + 1);
    QVERIFY(Drop(*window, {QString::fromStdString(one_)}));
    QTRY_VERIFY_WITH_TIMEOUT(!window->Busy(), kWaitMs);
  }

  void tokenFetchedAgainAfterAFailedStart() {
    service_->RefuseTokens(1);
    const int tokensBefore = service_->TokenRequests();
    auto window = Open();
    QVERIFY(window);
    QCOMPARE(service_->TokenRequests(), tokensBefore + 1);
    QVERIFY(DropAndWait(*window, {QString::fromStdString(two_)}));
    QCOMPARE(Content(*window), QString("only line\n"));
    QCOMPARE(service_->TokenRequests(), tokensBefore + 2);
  }

  void expiredTokenReplaced() {
    auto window = Open();
    QVERIFY(window);
    QVERIFY(DropAndWait(*window, {QString::fromStdString(one_)}));
    service_->ExpireTokens();
    const int tokensBefore = service_->TokenRequests();
    const std::size_t before = service_->Recognitions().size();
    QVERIFY(DropAndWait(*window, {QString::fromStdString(two_)}));
    QCOMPARE(Content(*window), QString("only line\n"));
    QCOMPARE(service_->TokenRequests(), tokensBefore + 1);
    QCOMPARE(service_->Recognitions().size(), before + 2);
  }

  void anErrorReplyIsRepeatedOnce() {
    auto window = Open();
    QVERIFY(window);
    const int tokensBefore = service_->TokenRequests();
    const std::size_t before = service_->Recognitions().size();
    QVERIFY(DropAndWait(*window, {QString::fromStdString(unknown_)}));
    QCOMPARE(Content(*window), QString());
    QCOMPARE(service_->TokenRequests(), tokensBefore + 1);
    QCOMPARE(service_->Recognitions().size(), before + 2);
  }

  // Last: it ends the service.
  void closingWhileARequestRunsDoesNotWait() {
    service_->AddPicture("a very slow picture", {"never shown"}, std::chrono::seconds(60));
    const std::string verySlow =
        RecognitionService::WriteFile("very-slow.png", "a very slow picture");
    auto window = Open();
    QVERIFY(window);
    QVERIFY(Drop(*window, {QString::fromStdString(verySlow)}));
    QVERIFY(window->Busy());
    QTest::qWait(200);
    QElapsedTimer clock;
    clock.start();
    window.reset();
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(sorvanel::RecognitionWorker::AbandonedRunning(), 1);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // The service's end answers the request; the abandoned thread then ends by itself
    // (the process must not tear down the web layer under it).
    service_.reset();
    QTRY_COMPARE_WITH_TIMEOUT(sorvanel::RecognitionWorker::AbandonedRunning(), 0, kWaitMs);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
