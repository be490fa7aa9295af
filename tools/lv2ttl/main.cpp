// Writes the LV2 bundle's Turtle from the instrument itself: the manifest, the plug-in's
// ports (one per parameter, from the parameter table) and the 128 factory programs as
// presets. Usage: tesmora6-lv2ttl BUNDLE_DIR [WITH_UI]
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/Tesmora6ParamIds.h"
#include "instrument/Tesmora6.h"
#include "lv2/Tesmora6Lv2Ports.h"
#include "lv2/Tesmora6Lv2Uris.h"

using namespace tesmora6;

namespace {

// A float that reads back as the same float, always with a decimal point or an exponent
// (a Turtle decimal or double, never an integer).
std::string Number(float v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
  std::string s = text;
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string Quoted(std::string_view text) {
  std::string s = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') s += '\\';
    if (static_cast<unsigned char>(c) < 0x20) continue;
    s += c;
  }
  return s + "\"";
}

std::string PresetUri(int32_t program) {
  char number[16];
  std::snprintf(number, sizeof number, "%03d", program + 1);
  return std::string("<") + lv2ids::kPresetPrefix + number + ">";
}

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

bool Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) std::cerr << "tesmora6-lv2ttl: cannot write " << path << "\n";
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: tesmora6-lv2ttl BUNDLE_DIR [WITH_UI]\n";
    return 2;
  }
  const std::string dir = argv[1];
  const bool withUi = argc > 2 && std::string_view(argv[2]) == "1";
  TTesmora6 instrument;
  instrument.Initialise();
  const auto laws = Tesmora6Lv2PortLaws(instrument);
  if (instrument.ParamCount() != static_cast<int32_t>(lv2ids::kParameterPorts)) {
    std::cerr << "tesmora6-lv2ttl: " << instrument.ParamCount() << " parameters, the port layout has "
              << lv2ids::kParameterPorts << "\n";
    return 1;
  }
  const std::string plugin = std::string("<") + lv2ids::kPlugin + ">";

  std::ostringstream manifest;
  manifest << kPrefixes << plugin << "\n    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
           << "    lv2:binary <Tesmora6.so> ;\n    rdfs:seeAlso <Tesmora6.ttl> .\n\n";
  if (withUi) {
    manifest << "<" << lv2ids::kUi << ">\n    a ui:X11UI ;\n    ui:binary <Tesmora6_ui.so> ;\n"
             << "    rdfs:seeAlso <Tesmora6.ttl> .\n\n";
  }
  for (int32_t n = 0; n < instrument.ProgramCount(); ++n) {
    manifest << PresetUri(n) << "\n    a pset:Preset ;\n    lv2:appliesTo " << plugin
             << " ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
  }

  std::ostringstream ttl;
  ttl << kPrefixes << plugin << "\n    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
      << "    doap:name \"Tesmora6\" ;\n"
      << "    rdfs:comment \"" << instrument.Description() << "\" ;\n"
      << "    doap:license <https://www.gnu.org/licenses/gpl-3.0> ;\n"
      << "    lv2:minorVersion 0 ;\n    lv2:microVersion 0 ;\n"
      << "    lv2:requiredFeature urid:map ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , opts:options ;\n"
      << "    lv2:extensionData state:interface ;\n";
  if (withUi) ttl << "    ui:ui <" << lv2ids::kUi << "> ;\n";
  ttl << "    lv2:port [\n"
      << "        a lv2:InputPort , atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
      << "        atom:supports midi:MidiEvent , time:Position ;\n"
      << "        lv2:designation lv2:control ;\n"
      << "        lv2:index " << lv2ids::kPortEvents << " ;\n        lv2:symbol \"events\" ;\n"
      << "        lv2:name \"Events\"\n    ] , [\n"
      << "        a lv2:OutputPort , lv2:AudioPort ;\n        lv2:index " << lv2ids::kPortLeft << " ;\n"
      << "        lv2:symbol \"out_left\" ;\n        lv2:name \"Left\" ;\n"
      << "        lv2:designation pg:left\n    ] , [\n"
      << "        a lv2:OutputPort , lv2:AudioPort ;\n        lv2:index " << lv2ids::kPortRight << " ;\n"
      << "        lv2:symbol \"out_right\" ;\n        lv2:name \"Right\" ;\n"
      << "        lv2:designation pg:right\n    ]";
  for (int32_t i = 0; i < instrument.ParamCount(); ++i) {
    const TLv2PortLaw& law = laws[static_cast<size_t>(i)];
    const TDSPPluginParamInfo& p = instrument.ParamInfo(i);
    ttl << " , [\n        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << lv2ids::kFirstParameterPort + static_cast<uint32_t>(i) << " ;\n"
        << "        lv2:symbol " << Quoted(Param::kKeys[static_cast<size_t>(i)]) << " ;\n"
        << "        lv2:name " << Quoted(instrument.HostName(i)) << " ;\n"
        << "        lv2:default " << Number(law.ToPort(p.defaultValue)) << " ;\n"
        << "        lv2:minimum " << Number(law.ToPort(0.0f)) << " ;\n"
        << "        lv2:maximum " << Number(law.ToPort(1.0f));
    if (law.integer) ttl << " ;\n        lv2:portProperty lv2:integer";
    if (law.toggled) ttl << " ;\n        lv2:portProperty lv2:toggled";
    if (law.enumeration) ttl << " ;\n        lv2:portProperty lv2:enumeration";
    if (law.unit) ttl << " ;\n        units:unit units:" << law.unit;
    const auto points = Tesmora6Lv2ScalePoints(instrument, i, law);
    bool first = true;
    for (const auto& [value, label] : points) {
      if (label.empty()) continue;
      ttl << (first ? " ;\n        lv2:scalePoint " : " , ") << "[ rdfs:label " << Quoted(label) << " ; rdf:value "
          << Number(value) << " ]";
      first = false;
    }
    ttl << "\n    ]";
  }
  ttl << " , [\n        a lv2:OutputPort , atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
      << "        lv2:designation lv2:control ;\n"
      << "        lv2:index " << lv2ids::kPortNotify << " ;\n        lv2:symbol \"notify\" ;\n"
      << "        lv2:name \"Notify\"\n    ] .\n";
  if (withUi) {
    ttl << "\n<" << lv2ids::kUi
        << ">\n    a ui:X11UI ;\n    lv2:requiredFeature ui:idleInterface , ui:parent , urid:map ;\n"
        << "    lv2:optionalFeature ui:resize ;\n"
        << "    ui:portNotification [ ui:plugin " << plugin << " ; lv2:symbol \"notify\" ;\n"
        << "        ui:protocol atom:eventTransfer ] ;\n"
        << "    lv2:extensionData ui:idleInterface .\n";
  }

  std::ostringstream presets;
  presets << kPrefixes;
  for (int32_t n = 0; n < instrument.ProgramCount(); ++n) {
    const std::vector<float>& values = instrument.Program(n).values;
    presets << PresetUri(n) << "\n    a pset:Preset ;\n    lv2:appliesTo " << plugin << " ;\n"
            << "    rdfs:label " << Quoted(instrument.ProgramName(n)) << " ;\n    lv2:port";
    // Global parameters (volume, pan, mute, bypass) belong to the instance, not to a
    // program: a preset leaves them where they are.
    bool first = true;
    for (int32_t i = 0; i < instrument.ParamCount(); ++i) {
      if (instrument.ParamInfo(i).global) continue;
      const float v = static_cast<size_t>(i) < values.size() ? values[static_cast<size_t>(i)]
                                                             : instrument.ParamInfo(i).defaultValue;
      presets << (first ? " " : " , ") << "[ lv2:symbol " << Quoted(Param::kKeys[static_cast<size_t>(i)])
              << " ; pset:value " << Number(laws[static_cast<size_t>(i)].ToPort(v)) << " ]";
      first = false;
    }
    presets << " .\n\n";
  }

  const bool ok = Write(dir + "/manifest.ttl", manifest.str()) && Write(dir + "/Tesmora6.ttl", ttl.str()) &&
                  Write(dir + "/presets.ttl", presets.str());
  return ok ? 0 : 1;
}
