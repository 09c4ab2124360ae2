#include "PluginTurtle.h"

#include <cctype>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "module/lv2/Lv2Ports.h"

namespace sorel::lv2 {
namespace {

constexpr const char* kBinary = "sorel.so";
constexpr const char* kUiBinary = "sorel_ui.so";
constexpr const char* kDescription = "sorel.ttl";
// Room for a busy block's notes in the output sequence.
constexpr int kMinimumOutputBytes = 8192;

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Number(double value) {
    std::ostringstream out;
    out.precision(9);
    out << value;
    std::string text = out.str();
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

std::string Base64(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = (uint32_t(bytes[i]) << 16) | (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? uint32_t(bytes[i + 2]) : 0);
        out += kDigits[(n >> 18) & 63];
        out += kDigits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
    }
    return out;
}

bool Toggles(const ControlPortInfo& port) {
    return port.kind != ParamKind::Double && port.minimum == 0.0 && port.maximum == 1.0;
}

std::string ControlPort(const ControlPortInfo& port, int index) {
    std::ostringstream out;
    out << "    a lv2:InputPort, lv2:ControlPort ;\n"
        << "    lv2:index " << index << " ;\n"
        << "    lv2:symbol " << Quoted(port.symbol) << " ;\n"
        << "    lv2:name " << Quoted(port.name) << " ;\n"
        << "    lv2:default " << Number(port.defaultValue) << " ;\n"
        << "    lv2:minimum " << Number(port.minimum) << " ;\n"
        << "    lv2:maximum " << Number(port.maximum);
    if (Toggles(port)) {
        out << " ;\n    lv2:portProperty lv2:toggled";
    } else if (port.kind != ParamKind::Double) {
        out << " ;\n    lv2:portProperty lv2:integer";
        if (!port.scalePoints.empty()) out << ", lv2:enumeration";
    }
    for (const auto& [value, label] : port.scalePoints)
        out << " ;\n    lv2:scalePoint [ rdfs:label " << Quoted(label) << " ; rdf:value " << Number(value) << " ]";
    return out.str();
}

std::string SequencePorts() {
    std::ostringstream out;
    out << "  lv2:port [\n"
        << "    a lv2:InputPort, atom:AtomPort ;\n"
        << "    atom:bufferType atom:Sequence ;\n"
        << "    atom:supports midi:MidiEvent, time:Position ;\n"
        << "    lv2:designation lv2:control ;\n"
        << "    lv2:index " << kMidiInPort << " ;\n"
        << "    lv2:symbol " << Quoted(kMidiInSymbol) << " ;\n"
        << "    lv2:name \"MIDI in\"\n"
        << "  ], [\n"
        << "    a lv2:OutputPort, atom:AtomPort ;\n"
        << "    atom:bufferType atom:Sequence ;\n"
        << "    atom:supports midi:MidiEvent ;\n"
        << "    rsz:minimumSize " << kMinimumOutputBytes << " ;\n"
        << "    lv2:index " << kMidiOutPort << " ;\n"
        << "    lv2:symbol " << Quoted(kMidiOutSymbol) << " ;\n"
        << "    lv2:name \"MIDI out\"\n"
        << "  ]";
    return out.str();
}

std::string UiDescription(const std::string& plugin) {
    return plugin + " ui:ui <" + kUiUri + "> .\n\n<" + kUiUri +
           ">\n  a ui:X11UI ;\n"
           "  ui:binary <" + kUiBinary + "> ;\n"
           "  lv2:requiredFeature ui:parent, <http://lv2plug.in/ns/ext/instance-access>, ui:idleInterface ;\n"
           "  lv2:optionalFeature ui:resize, ui:touch ;\n"
           "  lv2:extensionData ui:idleInterface .\n";
}

std::string Description(const PluginInfo& plugin) {
    int major = 0, minor = 0, micro = 0;
    std::sscanf(plugin.version.c_str(), "%d.%d.%d", &major, &minor, &micro);
    const std::string uri = std::string("<") + kPluginUri + ">";
    std::ostringstream out;
    out << kPrefixes << uri << "\n"
        << "  a lv2:Plugin, lv2:MIDIPlugin, doap:Project ;\n"
        << "  doap:name \"Sorel\" ;\n"
        << "  doap:maintainer [ a foaf:Person ; foaf:name \"" << plugin.vendor << "\" ] ;\n"
        << "  lv2:minorVersion " << minor << " ;\n"
        << "  lv2:microVersion " << micro << " ;\n"
        << "  lv2:requiredFeature urid:map ;\n"
        << "  lv2:optionalFeature opts:options, state:threadSafeRestore, work:schedule ;\n"
        << "  opts:supportedOption bufsz:nominalBlockLength, bufsz:maxBlockLength ;\n"
        << "  lv2:extensionData state:interface, work:interface ;\n"
        << SequencePorts();
    for (size_t i = 0; i < plugin.controls.size(); ++i)
        out << ", [\n" << ControlPort(plugin.controls[i], static_cast<int>(kFirstControlPort + i)) << "\n  ]";
    out << " .\n";
    out << "\n<" << kStateKeyUri << ">\n  a rdf:Property ;\n  rdfs:label \"Sorel state\" ;\n"
        << "  rdfs:comment \"The whole state, as the VST 2 module's bank chunk holds it.\" .\n";
    if (plugin.withUi) out << "\n" << UiDescription(uri);
    return out.str();
}

std::string PresetUri(const PresetInfo& preset) { return std::string(kPluginUri) + "#preset-" + PresetSlug(preset); }

std::string Manifest(const PluginInfo& plugin) {
    std::ostringstream out;
    out << kPrefixes << "<" << kPluginUri << ">\n  a lv2:Plugin ;\n  lv2:binary <" << kBinary << "> ;\n"
        << "  rdfs:seeAlso <" << kDescription << "> .\n";
    for (const PresetInfo& preset : plugin.presets)
        out << "\n<" << PresetUri(preset) << ">\n  a pset:Preset ;\n  lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "  rdfs:label " << Quoted(preset.label) << " ;\n"
            << "  rdfs:seeAlso <presets/" << PresetSlug(preset) << ".ttl> .\n";
    return out.str();
}

std::string Preset(const PluginInfo& plugin, const PresetInfo& preset) {
    std::ostringstream out;
    out << kPrefixes << "<" << PresetUri(preset) << ">\n  a pset:Preset ;\n  lv2:appliesTo <" << kPluginUri << "> ;\n"
        << "  rdfs:label " << Quoted(preset.label);
    for (size_t i = 0; i < plugin.controls.size() && i < preset.portValues.size(); ++i)
        out << " ;\n  lv2:port [ lv2:symbol " << Quoted(plugin.controls[i].symbol) << " ; pset:value "
            << Number(preset.portValues[i]) << " ]";
    out << " ;\n  state:state [\n    <" << kStateKeyUri << "> \"" << Base64(preset.state)
        << "\"^^xsd:base64Binary\n  ] .\n";
    return out.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& text, std::vector<std::string>& written) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file) throw std::runtime_error("cannot write " + path.string());
    written.push_back(path.string());
}

}  // namespace

std::string PresetSlug(const PresetInfo& preset) {
    std::string slug;
    for (const char c : preset.style + "-" + preset.name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u)) slug += static_cast<char>(std::tolower(u));
        else if (!slug.empty() && slug.back() != '-') slug += '-';
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return slug;
}

std::vector<std::string> WriteBundleTurtle(const PluginInfo& plugin, const std::filesystem::path& bundle) {
    std::vector<std::string> written;
    std::filesystem::create_directories(bundle / "presets");
    WriteFile(bundle / "manifest.ttl", Manifest(plugin), written);
    WriteFile(bundle / kDescription, Description(plugin), written);
    for (const PresetInfo& preset : plugin.presets)
        WriteFile(bundle / "presets" / (PresetSlug(preset) + ".ttl"), Preset(plugin, preset), written);
    return written;
}

}  // namespace sorel::lv2
