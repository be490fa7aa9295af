#include "standalone/Options.h"

#include <CLI/CLI.hpp>

#include <sstream>

namespace tesmora6 {

int ParseStandaloneOptions(int argc, const char* const* argv, TStandaloneOptions& options, std::string& text) {
  CLI::App app{
      "Tesmora6, the synthesizer as a JACK program: plays what reaches its MIDI inputs (a JACK "
      "port and an ALSA sequencer port) and keeps its programs between runs"};
  app.name("tesmora6");
  app.set_version_flag("--version", std::string("tesmora6 ") + TESMORA6_VERSION);
  app.add_option("--program", options.program, "program to start with, 1-128 as the editor numbers them")
      ->check(CLI::Range(1, 128));
  app.add_option("--fxb", options.fxb, "load a bank file (chunk bank 'FBCh' or value bank 'FxBk') at start")
      ->check(CLI::ExistingFile);
  app.add_flag("--connect", options.connect,
               "connect the outputs to the first physical playback ports and every physical MIDI source to "
               "the input");
  app.add_option("--client-name", options.clientName, "the JACK client's name")
      ->capture_default_str()
      ->check([](const std::string& name) {
        return name.empty() || name.size() > 63 || name.find(':') != std::string::npos
                   ? std::string("a client name has 1 to 63 characters and no ':'")
                   : std::string();
      });
  app.add_flag("--no-editor", options.noEditor, "run without a window (no display needed)");
  std::ostringstream out, err;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e, out, err);
    text = status == 0 ? out.str() : err.str();
    return status == 0 ? 0 : 2;  // a mistake on the command line, whichever
  }
  return -1;
}

}  // namespace tesmora6
