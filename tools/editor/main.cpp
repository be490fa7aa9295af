// tesmora6-editor: opens the instrument's editor the way a host does, for trying patches
// by hand (a top-level window holding the editor; moving a control changes the parameter
// and prints the automation the host would receive), or writes a picture of the editor as
// PNG without any X server (--screenshot).
// CLI11 before Xlib: Xlib's macros (Success, None, ...) would break CLI11's names.
#include <CLI/CLI.hpp>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "gui/DSPEditorScreenshot.h"
#include "host/Tesmora6Vst.h"
#include "host/VstPlugin.h"
#include "host/VstAbi.h"
#include "instrument/Tesmora6.h"

using namespace tesmora6;

namespace {

bool verbose = true;
// The window that holds the editor, which follows the editor's size.
Display* hostDisplay = nullptr;
Window hostWindow = 0;

// Fixes the window's size (the user resizes the editor through its own menu).
void FixSize(int w, int h) {
  XSizeHints hints{};
  hints.flags = PMinSize | PMaxSize;
  hints.min_width = hints.max_width = w;
  hints.min_height = hints.max_height = h;
  XSetWMNormalHints(hostDisplay, hostWindow, &hints);
}

intptr_t HostCallback(vst::AEffect*, int32_t opcode, int32_t index, intptr_t value, void*, float opt) {
  switch (opcode) {
    case vst::audioMasterVersion:
      return 2400;
    case vst::audioMasterSizeWindow:
      if (!hostDisplay || !hostWindow || index <= 0 || value <= 0) return 0;
      FixSize(index, static_cast<int>(value));
      XResizeWindow(hostDisplay, hostWindow, static_cast<unsigned>(index), static_cast<unsigned>(value));
      XFlush(hostDisplay);
      return 1;
    case vst::audioMasterAutomate:
      if (verbose) std::printf("automate %d = %.4f\n", index, static_cast<double>(opt));
      std::fflush(stdout);
      return 1;
    default:
      return 0;
  }
}

intptr_t Dispatch(vst::AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                  float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

int RunWindow(vst::AEffect* effect) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "tesmora6-editor: no X display (use --screenshot without one)\n");
    return 1;
  }
  vst::ERect* rect = nullptr;
  Dispatch(effect, vst::effEditGetRect, 0, 0, &rect);
  const int w = rect ? rect->right - rect->left : 774, h = rect ? rect->bottom - rect->top : 506;
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(w),
                                            static_cast<unsigned>(h), 0, 0, BlackPixel(display, screen));
  XStoreName(display, window, "Tesmora6");
  hostDisplay = display;
  hostWindow = window;
  FixSize(w, h);
  Atom closeAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &closeAtom, 1);
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  XSync(display, False);
  if (Dispatch(effect, vst::effEditOpen, 0, 0, reinterpret_cast<void*>(window)) != 1) {
    std::fprintf(stderr, "tesmora6-editor: the plug-in did not open its editor\n");
    return 1;
  }
  bool running = true;
  while (running) {
    while (XPending(display) > 0) {
      XEvent e;
      XNextEvent(display, &e);
      if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == closeAtom) running = false;
      if (e.type == DestroyNotify) running = false;
    }
    Dispatch(effect, vst::effEditIdle);
    usleep(15000);  // hosts call idle 30 to 70 times a second
  }
  Dispatch(effect, vst::effEditClose);
  hostDisplay = nullptr;
  hostWindow = 0;
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Opens the Tesmora6 editor in a window, or writes a picture of it"};
  int program = 0;
  std::string screenshot;
  int oscPage = 0, bottomPage = 0, scalePercent = 100;
  bool quiet = false;
  app.add_option("--program", program, "program to select first (0-127)")->check(CLI::Range(0, 127));
  app.add_option("--screenshot", screenshot, "write the editor as PNG to this file and quit (no X needed)");
  app.add_option("--page-osc", oscPage, "oscillator page to show (0-2)")->check(CLI::Range(0, 2));
  app.add_option("--page-bottom", bottomPage, "lower page to show (0-11)")->check(CLI::Range(0, 11));
  app.add_option("--scale", scalePercent, "size of the picture in percent (100, 150, 200)")
      ->check(CLI::IsMember({100, 150, 200}));
  app.add_flag("-q,--quiet", quiet, "do not print the automation messages");
  CLI11_PARSE(app, argc, argv);
  verbose = !quiet;

  vst::AEffect* effect = Tesmora6PluginMain(&HostCallback);
  if (!effect) {
    std::fprintf(stderr, "tesmora6-editor: the plug-in refused to start\n");
    return 1;
  }
  Dispatch(effect, vst::effOpen);
  Dispatch(effect, vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(effect, vst::effSetBlockSize, 0, 512);
  Dispatch(effect, vst::effMainsChanged, 0, 1);
  Dispatch(effect, vst::effSetProgram, 0, program);
  int result = 0;
  if (!screenshot.empty()) {
    // The product's notebook groups: 11 the oscillator pages, 10 the lower pages.
    if (!WriteEditorScreenshot(static_cast<TTesmora6VstPlugin*>(TVstPlugin::FromEffect(effect))->Instrument(),
                               screenshot, {{11, oscPage}, {10, bottomPage}}, scalePercent / 100.0)) {
      std::fprintf(stderr, "tesmora6-editor: cannot write %s\n", screenshot.c_str());
      result = 1;
    }
  } else {
    result = RunWindow(effect);
  }
  Dispatch(effect, vst::effClose);
  return result;
}
