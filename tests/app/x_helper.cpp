// A small X11 helper for the window's end-to-end tests, doing what xdotool does not:
//
//   sorvanel_x_helper clipboard      prints the clipboard's text (UTF-8), as pasted
//   sorvanel_x_helper close WINDOW   asks the window to close, as a window manager's
//                                    close box does (WM_DELETE_WINDOW)
//
// Exits 0 on success, 1 on a failure (no display, no such window).
#include <xcb/xcb.h>

#include <QClipboard>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

int Close(const char* windowText) {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) return 1;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(std::stoul(windowText, nullptr, 0));
  message.type = Atom(connection, "WM_PROTOCOLS");
  message.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_void_cookie_t cookie =
      xcb_send_event_checked(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                             reinterpret_cast<const char*>(&message));
  xcb_generic_error_t* error = xcb_request_check(connection, cookie);
  const int result = error ? 1 : 0;
  std::free(error);
  xcb_disconnect(connection);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) return Close(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "clipboard") == 0) {
    QGuiApplication application(argc, argv);
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    return 0;
  }
  std::fprintf(stderr, "usage: %s clipboard | close WINDOW\n", argv[0]);
  return 1;
}
