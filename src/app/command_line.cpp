// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <charconv>
#include <limits>
#include <utility>

namespace veka {

namespace {

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

struct ModeName {
    const char* name;
    int32_t messart;
};
constexpr ModeName kModes[] = {{"transmission", 1}, {"reflection", 2}, {"spectrum", 3}};

// Whole text as a decimal integer in lo..hi: no sign but '-', no blanks, nothing after it.
bool strictInteger(const std::string& text, int64_t lo, int64_t hi, int32_t& out) {
    int64_t v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v, 10);
    if (text.empty() || ec != std::errc{} || ptr != end || v < lo || v > hi) return false;
    out = static_cast<int32_t>(v);
    return true;
}

// Appends piece by piece: GCC 12 at -O3 falsely warns (-Wrestrict) about "literal" + temporary.
template <typename... Pieces>
std::string concat(const Pieces&... pieces) {
    std::string s;
    ((s += pieces), ...);
    return s;
}

CommandLine usageError(const std::string& message) {
    CommandLine r;
    r.next = CommandLine::Next::Exit;
    r.exitCode = kExitUsage;
    r.err = "veka: " + message + "\nTry 'veka --help'.\n";
    return r;
}

CommandLine finish(std::string out) {
    CommandLine r;
    r.next = CommandLine::Next::Exit;
    r.out = std::move(out);
    return r;
}

struct Definitions {
    QCommandLineOption help{{"h", "help"}};
    QCommandLineOption version{{"v", "version"}};
    QCommandLineOption port{"port", {}, "DEVICE"};
    QCommandLineOption listPorts{"list-ports"};
    QCommandLineOption lang{"lang", {}, "SECTION"};
    QCommandLineOption sweep{"sweep"};
    QCommandLineOption count{"count", {}, "N"};
    QCommandLineOption out{"out", {}, "FILE"};
    QCommandLineOption config{"config", {}, "FILE"};
    QCommandLineOption summary{"summary", {}, "FILE"};
    QCommandLineOption start{"start", {}, "HZ"};
    QCommandLineOption stop{"stop", {}, "HZ"};
    QCommandLineOption center{"center", {}, "HZ"};
    QCommandLineOption span{"span", {}, "HZ"};
    QCommandLineOption step{"step", {}, "HZ"};
    QCommandLineOption points{"points", {}, "N"};
    QCommandLineOption mode{"mode", {}, "MODE"};
    QCommandLineOption linear{"linear"};
    QCommandLineOption average{"average", {}, "N"};
    QCommandLineOption hold{"hold", {}, "max|min"};
    QCommandLineOption reference{"reference", {}, "FILE"};
    QCommandLineOption limits{"limits", {}, "FILE"};
    QCommandLineOption remote{"remote", {}, "[ADDRESS:]PORT"};
    QCommandLineOption remoteAllow{"remote-allow", {}, "NET/PREFIX"};
    QCommandLineOption noWindow{"no-window"};

    void addTo(QCommandLineParser& p) const {
        p.addOptions({help, version, port, listPorts, lang, config, sweep, count, out, summary,
                      start, stop, center, span, step, points, mode, linear, average, hold,
                      reference, limits, remote, remoteAllow, noWindow});
    }
};

// Reads the parsed options into ProgramOptions; the first failure ends it with its message.
class Reader {
  public:
    Reader(const QCommandLineParser& p, const Definitions& d,
           const std::vector<std::pair<QString, std::string>>& raw)
        : p_(p), d_(d), raw_(raw) {}

    std::optional<std::string> read(ProgramOptions& o) const;

  private:
    // The argument's own bytes: a value equal to a whole argument or to what follows its '='.
    std::string bytesOf(const QString& value) const {
        for (const auto& [text, bytes] : raw_) {
            if (text == value) return bytes;
            const qsizetype eq = text.indexOf('=');
            if (text.startsWith("--") && eq > 0 && text.mid(eq + 1) == value)
                return bytes.substr(bytes.find('=') + 1);
        }
        return value.toStdString();
    }
    std::optional<std::string> number(const QCommandLineOption& opt, int64_t lo, int64_t hi,
                                      const char* what, std::optional<int32_t>& out) const;
    std::optional<std::string> name(const QCommandLineOption& opt, const QString& value,
                                    std::string& out) const;
    std::optional<std::string> readBatch(ProgramOptions& o) const;
    std::optional<std::string> readFrequencies(ProgramOptions& o) const;
    std::optional<std::string> readOutputs(ProgramOptions& o) const;
    std::optional<std::string> readExtras(ProgramOptions& o) const;
    std::optional<std::string> readRemote(ProgramOptions& o) const;

    const QCommandLineParser& p_;
    const Definitions& d_;
    const std::vector<std::pair<QString, std::string>>& raw_;
};

std::string optionName(const QCommandLineOption& opt) {
    return concat("--", opt.names().constLast().toStdString());
}

std::optional<std::string> Reader::number(const QCommandLineOption& opt, int64_t lo, int64_t hi,
                                          const char* what, std::optional<int32_t>& out) const {
    if (!p_.isSet(opt)) return std::nullopt;
    const std::string text = p_.value(opt).toStdString();
    int32_t v = 0;
    if (!strictInteger(text, lo, hi, v))
        return concat("invalid value '", text, "' for ", optionName(opt), " (", what, ")");
    out = v;
    return std::nullopt;
}

// A file or device name: never empty, never something that looks like an option.
std::optional<std::string> Reader::name(const QCommandLineOption& opt, const QString& value,
                                        std::string& out) const {
    if (value.isEmpty()) return optionName(opt) + " needs a name";
    if (value.startsWith('-'))
        return concat("'", value.toStdString(), "' after ", optionName(opt),
                      " looks like an option; write ./", value.toStdString(), " for such a name");
    out = bytesOf(value);
    return std::nullopt;
}

std::optional<std::string> Reader::readFrequencies(ProgramOptions& o) const {
    const char* hz = "a whole number of Hz";
    if (auto e = number(d_.start, 0, kInt32Max, hz, o.start)) return e;
    if (auto e = number(d_.stop, 0, kInt32Max, hz, o.stop)) return e;
    if (auto e = number(d_.center, 0, kInt32Max, hz, o.center)) return e;
    if (auto e = number(d_.span, 0, kInt32Max, hz, o.span)) return e;
    if (auto e = number(d_.step, 1, kInt32Max, "a whole number of Hz, 1 or more", o.step))
        return e;
    if (auto e = number(d_.points, 1, 300, "1 to 300", o.points)) return e;
    if (o.center.has_value() != o.span.has_value()) return std::string("--center needs --span");
    if (o.center && (o.start || o.stop))
        return std::string("give --center and --span or --start and --stop, not both");
    if (o.step && o.points && (o.stop || o.span))
        return std::string("--step, --points and --stop (or --span) cannot all be given");
    return std::nullopt;
}

std::optional<std::string> Reader::readOutputs(ProgramOptions& o) const {
    for (const QString& f : p_.values(d_.out)) {
        std::string file = "-";  // standard output
        if (f != QLatin1String("-"))
            if (auto e = name(d_.out, f, file)) return e;
        if (file == "-" && o.toStdout) return std::string("--out - may be given once");
        o.toStdout = o.toStdout || file == "-";
        o.outFiles.push_back(file);
    }
    if (p_.isSet(d_.summary)) {
        std::string file;
        if (auto e = name(d_.summary, p_.value(d_.summary), file)) return e;
        o.summaryFile = file;
    }
    return std::nullopt;
}

std::optional<std::string> Reader::readExtras(ProgramOptions& o) const {
    if (auto e = number(d_.average, 1, 64, "1 to 64 sweeps", o.average)) return e;
    if (p_.isSet(d_.hold)) {
        const QString h = p_.value(d_.hold);
        if (h != QLatin1String("max") && h != QLatin1String("min"))
            return concat("invalid value '", h.toStdString(), "' for --hold (max or min)");
        o.holdMax = h == QLatin1String("max");
    }
    for (auto [opt, file] : {std::pair{&d_.reference, &o.referenceFile}, {&d_.limits, &o.limitsFile}}) {
        if (!p_.isSet(*opt)) continue;
        std::string name;
        if (auto e = this->name(*opt, p_.value(*opt), name)) return e;
        *file = name;
    }
    return std::nullopt;
}

std::optional<std::string> Reader::readBatch(ProgramOptions& o) const {
    o.sweep = p_.isSet(d_.sweep);
    o.linear = p_.isSet(d_.linear);
    std::optional<int32_t> count;
    if (auto e = number(d_.count, 1, kInt32Max, "a whole number of sweeps, 1 or more", count))
        return e;
    o.count = count.value_or(1);
    o.countGiven = count.has_value();
    if (auto e = readFrequencies(o)) return e;
    if (p_.isSet(d_.mode)) {
        const QString m = p_.value(d_.mode);
        for (const auto& mode : kModes)
            if (m == QLatin1String(mode.name)) o.messart = mode.messart;
        if (!o.messart)
            return concat("invalid value '", m.toStdString(),
                          "' for --mode (transmission, reflection or spectrum)");
    }
    if (auto e = readOutputs(o)) return e;
    if (auto e = readExtras(o)) return e;
    if (o.sweep) {
        if (!p_.positionalArguments().isEmpty())
            return concat("'", p_.positionalArguments().constFirst().toStdString(),
                          "' is no option; with --sweep name the configuration with --config FILE");
        if (o.outFiles.empty() && !o.summaryFile) return std::string("--sweep needs --out FILE");
        return std::nullopt;
    }
    for (const auto* opt :
         {&d_.count, &d_.out, &d_.summary, &d_.start, &d_.stop, &d_.center, &d_.span, &d_.step,
          &d_.points, &d_.mode, &d_.linear, &d_.average, &d_.hold, &d_.reference, &d_.limits})
        if (p_.isSet(*opt)) return optionName(*opt) + " needs --sweep";
    return std::nullopt;
}

// An IP address or "localhost"; an IPv6 address in brackets.
std::optional<std::string> parseAddress(std::string address, RemoteEndpoint& ep) {
    if (address.size() >= 2 && address.front() == '[' && address.back() == ']')
        address = address.substr(1, address.size() - 2);
    if (address != "localhost" &&
        QHostAddress().setAddress(QString::fromStdString(address)) == false)
        return concat("invalid address '", address, "' for --remote (an IP address or localhost)");
    ep.address = address;
    ep.addressGiven = true;
    return std::nullopt;
}

bool isLoopback(const std::string& address) {
    return address == "localhost" || QHostAddress(QString::fromStdString(address)).isLoopback();
}

std::optional<std::string> parseEndpoint(const std::string& text, RemoteEndpoint& ep) {
    std::string portText = text;
    const size_t colon = text.rfind(':');
    const bool bracketed = !text.empty() && text.front() == '[' && text.back() == ']';
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (bracketed || (colon == std::string::npos && !digits)) return parseAddress(text, ep);
    if (colon != std::string::npos) {
        std::string address = text.substr(0, colon);
        if (address.size() >= 2 && address.front() == '[' && address.back() == ']')
            address = address.substr(1, address.size() - 2);
        else if (address.find(':') != std::string::npos)
            return "write an IPv6 address in brackets, e.g. [::1]:5025";
        if (address.empty()) return "--remote needs an address before ':'";
        if (auto e = parseAddress(address, ep)) return e;
        portText = text.substr(colon + 1);
    }
    int32_t port = 0;
    if (!strictInteger(portText, 1, 65535, port))
        return "invalid value '" + text + "' for --remote ([ADDRESS:]PORT, PORT 1 to 65535)";
    ep.port = static_cast<uint16_t>(port);
    return std::nullopt;
}

std::optional<std::string> Reader::readRemote(ProgramOptions& o) const {
    o.noWindow = p_.isSet(d_.noWindow);
    if (p_.isSet(d_.remote)) {
        RemoteEndpoint ep;
        if (auto e = parseEndpoint(p_.value(d_.remote).toStdString(), ep)) return e;
        for (const QString& net : p_.values(d_.remoteAllow)) {
            if (QHostAddress::parseSubnet(net).first.isNull())
                return concat("invalid value '", net.toStdString(),
                              "' for --remote-allow (NET/PREFIX, e.g. 192.168.1.0/24)");
            ep.allowed.push_back(net.toStdString());
        }
        if (!isLoopback(ep.address) && ep.allowed.empty())
            return concat("--remote on ", ep.address,
                          " needs --remote-allow NET/PREFIX: the networks whose computers may "
                          "connect");
        o.remote = ep;
        if (o.sweep) return std::string("--sweep and --remote cannot be used together");
    } else if (o.noWindow) {
        return std::string("--no-window needs --remote");
    } else if (p_.isSet(d_.remoteAllow)) {
        return std::string("--remote-allow needs --remote");
    }
    return std::nullopt;
}

std::optional<std::string> Reader::read(ProgramOptions& o) const {
    if (p_.isSet(d_.port)) {
        std::string device;
        if (auto e = name(d_.port, p_.value(d_.port), device)) return e;
        o.port = device;
    }
    o.listPorts = p_.isSet(d_.listPorts);
    if (p_.isSet(d_.lang)) o.lang = bytesOf(p_.value(d_.lang));
    if (auto e = readBatch(o)) return e;
    if (auto e = readRemote(o)) return e;
    // Further positional arguments are ignored, as they always were.
    const QStringList positional = p_.positionalArguments();
    if (!positional.isEmpty()) o.configFile = bytesOf(positional.constFirst());
    if (p_.isSet(d_.config)) {
        if (!positional.isEmpty())
            return std::string("give the configuration either with --config or as the file");
        std::string file;
        if (auto e = name(d_.config, p_.value(d_.config), file)) return e;
        o.configFile = file;
    }
    return std::nullopt;
}

std::string unknownOptionText(const QCommandLineParser& p) {
    const QStringList unknown = p.unknownOptionNames();
    if (unknown.isEmpty()) return p.errorText().toStdString();
    const QString& n = unknown.constFirst();
    return concat("unrecognised option '", n.size() == 1 ? "-" : "--", n.toStdString(), "'");
}

// A bare --remote (last, or followed by an option) listens on the default port.
QStringList withRemoteDefault(QStringList arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--")) break;
        if (arguments[i] == QLatin1String("--remote") &&
            (i + 1 == arguments.size() || arguments[i + 1].startsWith('-')))
            arguments[i] = "--remote=" + QString::number(RemoteEndpoint::DefaultPort);
    }
    return arguments;
}

CommandLine parse(const QStringList& given,
                  const std::vector<std::pair<QString, std::string>>& raw) {
    const QStringList arguments = withRemoteDefault(given);
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    p.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const Definitions d;
    d.addTo(p);
    if (!p.parse(arguments)) return usageError(unknownOptionText(p));
    if (p.isSet(d.help)) return finish(usageText());
    if (p.isSet(d.version)) return finish(concat("veka ", programVersion(), "\n"));
    CommandLine r;
    if (auto e = Reader(p, d, raw).read(r.options)) return usageError(*e);
    return r;
}

}  // namespace

std::string programVersion() {
    return VEKA_VERSION;
}

CommandLine parseCommandLine(const QStringList& arguments) {
    std::vector<std::pair<QString, std::string>> raw;
    for (const QString& a : arguments) raw.emplace_back(a, a.toStdString());
    return parse(arguments, raw);
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    QStringList arguments;
    std::vector<std::pair<QString, std::string>> raw;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
        raw.emplace_back(arguments.constLast(), argv[i]);
    }
    return parse(arguments, raw);
}

}  // namespace veka
