// X errors of the editor's own display connections.
//
// Xlib has one error handler per process (XSetErrorHandler), the host usually has one of
// its own, and Xlib's default handler ends the process. A host may destroy the window the
// editor lives in before it closes the editor (a window closed from the window manager, a
// session that ends), and from then on every request that names the editor's window fails.
// Those errors are the editor's business alone, so:
//
// - every connection the editor opens is registered with a sink that hears its errors;
// - the editor's handler is installed only while the editor talks to the server (a
//   TXErrorScope around every call that uses its connection; scopes nest), so the host's
//   own handler is back in place whenever the host runs. Errors of a connection are read
//   only by calls on that connection, and the editor's connections are used only inside
//   scopes, so none of their errors can reach the host's handler;
// - errors of any other connection that arrive while a scope is open (another thread of
//   the host) go on to the handler that was installed before;
// - leaving the outermost scope puts that handler back, unless somebody installed another
//   one meanwhile, which then stays.
#pragma once

#include <cstdint>

struct _XDisplay;

namespace tesmora6 {

// What an error said: the X error code, the failing request's major code and the resource
// it named.
struct TXErrorReport {
  int32_t errorCode = 0;
  int32_t requestCode = 0;
  unsigned long resource = 0;
};

class TXErrorSink {
 public:
  virtual ~TXErrorSink() = default;
  // Called from inside Xlib on the thread that reads the connection: record, nothing more
  // (no Xlib calls).
  virtual void XError(const TXErrorReport& report) = 0;
};

// The sink hears every error of the connection until it is unregistered.
void RegisterXConnection(_XDisplay* display, TXErrorSink* sink);
void UnregisterXConnection(_XDisplay* display);

class TXErrorScope {
 public:
  TXErrorScope();
  ~TXErrorScope();
  TXErrorScope(const TXErrorScope&) = delete;
  TXErrorScope& operator=(const TXErrorScope&) = delete;
};

}  // namespace tesmora6
