#include "SimOptions.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

namespace telvara::modsim {

namespace {

constexpr int kMaxSerial = 99999;

std::optional<long long> toInteger(const QString& s, long long min, long long max) {
    bool ok = false;
    const long long v = s.toLongLong(&ok);
    if (!ok || v < min || v > max)
        return std::nullopt;
    return v;
}

QString modelName(const SimModel* m) {
    return QString::fromLatin1(m->name.data(), m->name.size());
}

QString serialText(long long n) {
    return QString::number(n).rightJustified(5, '0');
}

bool validSerial(const QString& s) {
    if (s.isEmpty() || s.size() > 5)
        return false;
    for (QChar c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

struct Requested {
    const SimModel* model;
    QString serial; // empty: numbered automatically
};

} // namespace

QString simHelpText() {
    return QStringLiteral(
        "Usage: telvara-modsim [options]\n"
        "\n"
        "Simulates VOLK I/O modules for the Telvara panel. Every module is its own TCP client:\n"
        "it sends its status frame at a fixed rate, obeys the command frames the panel answers\n"
        "with (switch, set all outputs, pulse timed by the module itself) and reports its new\n"
        "state in the next frame. A lost connection is made again, waiting 0.25 s, then twice\n"
        "as long after each failure, up to 5 s. Modules start with every output OFF.\n"
        "\n"
        "Options:\n"
        "  --host HOST         panel address (default 127.0.0.1)\n"
        "  --port PORT         panel port (default 5000)\n"
        "  --module MODEL[:SERIAL]\n"
        "                      add a module; repeatable. MODEL is VOLK-Lira, VOLK-Orla,\n"
        "                      VOLK-Sela, VOLK-Tove, VOLK-Unda, VOLK-Vica or lira, orla, sela,\n"
        "                      tove, unda, vica. SERIAL is up to 5 digits; without it the\n"
        "                      module gets the lowest serial number not yet used, from 00001\n"
        "  --all               add one module of each model\n"
        "  --count N           run N modules, cycling through the models given (all six when\n"
        "                      none is given), serial numbers counting up from the first\n"
        "                      given serial (default 00001)\n"
        "  --interval MS       time between two status frames of a module (default 500)\n"
        "  --inputs MODE       inputs of every module:\n"
        "                        static:BITS       fixed, '1' ON and '0' OFF, input 1 first;\n"
        "                                          missing inputs are OFF (default: all OFF)\n"
        "                        random:PERIOD_MS  every input drawn at random each period\n"
        "                        toggle:PERIOD_MS  each period the next input in turn changes\n"
        "  --analog VALUES     analog inputs of the VOLK-Vica modules: v1,v2,v3,v4, raw values\n"
        "                      0-9999 (default 0,0,0,0), or 'random' for a random walk\n"
        "  --duration S        stop after S seconds and exit 0 (default: run until SIGINT or\n"
        "                      SIGTERM, which also end it cleanly)\n"
        "  --seed N            seed of the random inputs and analog values (default: random)\n"
        "  --verbose           print every command frame received and what it did (stderr)\n"
        "  --log-json          one JSON line on stdout per frame sent (\"dir\":\"tx\") or\n"
        "                      received (\"dir\":\"rx\"), with module, serial, frame, and the\n"
        "                      states sent or the result of the command\n"
        "  --help              show this text\n"
        "\n"
        "Status frames carry \"VOLKMOD\" at positions 1-7. The pulse time of a VOLK-Tove (02014)\n"
        "counts 25 ms steps: 040 is one second.\n"
        "\n"
        "Exit status: 0 on a clean end, 2 on bad arguments.\n");
}

ParsedArgs parseSimArgs(const QStringList& args) {
    ParsedArgs r;
    SimOptions& o = r.options;
    std::vector<Requested> requested;
    std::optional<long long> count;
    const auto fail = [&r](const QString& message) {
        r.error = message;
        return r;
    };

    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args[i];
        QString value;
        bool hasValue = false;
        if (const auto eq = name.indexOf('='); name.startsWith("--") && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        const auto takeValue = [&]() -> std::optional<QString> {
            if (hasValue)
                return value;
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        const bool flag = name == "--help" || name == "-h" || name == "--all" ||
                          name == "--verbose" || name == "--log-json";
        if (flag && hasValue)
            return fail(name + " takes no value");
        if (name == "--help" || name == "-h") {
            r.help = true;
            continue;
        }
        if (name == "--all") {
            for (const auto& m : allSimModels())
                requested.push_back({&m, {}});
            continue;
        }
        if (name == "--verbose") {
            o.verbose = true;
            continue;
        }
        if (name == "--log-json") {
            o.logJson = true;
            continue;
        }
        static const QStringList kValueOptions{"--host",   "--port",     "--module",
                                               "--count",  "--interval", "--inputs",
                                               "--analog", "--duration", "--seed"};
        if (!kValueOptions.contains(name))
            return fail((name.startsWith("--") ? "unknown option " : "unknown argument ") + name);
        const auto v = takeValue();
        if (!v)
            return fail(name + " needs a value");
        if (name == "--host") {
            if (v->isEmpty())
                return fail("--host needs a value");
            o.host = v->toStdString();
        } else if (name == "--port") {
            const auto n = toInteger(*v, 1, 65535);
            if (!n)
                return fail("--port must be 1 to 65535: " + *v);
            o.port = static_cast<std::uint16_t>(*n);
        } else if (name == "--module") {
            const auto parts = v->split(':');
            const auto* m = findSimModel(parts[0].toStdString());
            if (!m)
                return fail("unknown model " + parts[0]);
            if (parts.size() > 2 || (parts.size() == 2 && !validSerial(parts[1])))
                return fail("serial number must be 1 to 5 digits: " + *v);
            requested.push_back({m, parts.size() == 2 ? parts[1].rightJustified(5, '0') : ""});
        } else if (name == "--count") {
            count = toInteger(*v, 1, kMaxSerial);
            if (!count)
                return fail("--count must be 1 to 99999: " + *v);
        } else if (name == "--interval") {
            const auto n = toInteger(*v, 1, 3600 * 1000);
            if (!n)
                return fail("--interval must be a number of milliseconds: " + *v);
            o.intervalMs = static_cast<int>(*n);
        } else if (name == "--inputs") {
            const auto colon = v->indexOf(':');
            const QString kind = v->left(colon);
            const QString arg = colon < 0 ? QString() : v->mid(colon + 1);
            if (kind == "static" && colon > 0 &&
                std::all_of(arg.begin(), arg.end(), [](QChar c) { return c == '0' || c == '1'; })) {
                o.inputs = {InputMode::Kind::Static, arg, 0};
            } else if ((kind == "random" || kind == "toggle") && toInteger(arg, 1, 3600 * 1000)) {
                o.inputs = {kind == "random" ? InputMode::Kind::Random : InputMode::Kind::Toggle,
                            {},
                            static_cast<int>(arg.toInt())};
            } else {
                return fail("--inputs must be static:BITS, random:PERIOD_MS or toggle:PERIOD_MS: " +
                            *v);
            }
        } else if (name == "--analog") {
            if (*v == "random") {
                o.analog.random = true;
            } else {
                const auto parts = v->split(',');
                if (parts.size() != 4)
                    return fail("--analog needs four values v1,v2,v3,v4 or 'random': " + *v);
                for (int k = 0; k < 4; ++k) {
                    const auto n = toInteger(parts[k].trimmed(), 0, 9999);
                    if (!n)
                        return fail("analog values are 0 to 9999: " + parts[k]);
                    o.analog.values[static_cast<std::size_t>(k)] = static_cast<int>(*n);
                }
                o.analog.random = false;
            }
        } else if (name == "--duration") {
            bool ok = false;
            const double s = v->toDouble(&ok);
            if (!ok || s <= 0 || s > 1e7)
                return fail("--duration must be a positive number of seconds: " + *v);
            o.durationS = s;
        } else if (name == "--seed") {
            const auto n = toInteger(*v, 0, 0xFFFFFFFFLL);
            if (!n)
                return fail("--seed must be 0 to 4294967295: " + *v);
            o.seed = static_cast<std::uint32_t>(*n);
            o.seedGiven = true;
        }
    }
    if (r.help)
        return r;

    if (count) {
        if (requested.empty())
            for (const auto& m : allSimModels())
                requested.push_back({&m, {}});
        long long first = 1;
        for (const auto& q : requested)
            if (!q.serial.isEmpty()) {
                first = q.serial.toLongLong();
                break;
            }
        if (first + *count - 1 > kMaxSerial)
            return fail("serial numbers would pass 99999");
        for (long long k = 0; k < *count; ++k)
            o.modules.push_back({requested[static_cast<std::size_t>(k) % requested.size()].model,
                                 serialText(first + k)});
        return r;
    }

    if (requested.empty())
        return fail("no module given (use --module, --all or --count)");
    std::set<QString> used;
    for (const auto& q : requested)
        if (!q.serial.isEmpty())
            used.insert(q.serial);
    long long next = 1;
    std::set<std::pair<const SimModel*, QString>> seen;
    for (const auto& q : requested) {
        QString serial = q.serial;
        if (serial.isEmpty()) {
            while (used.count(serialText(next)))
                ++next;
            if (next > kMaxSerial)
                return fail("no serial numbers left");
            serial = serialText(next);
            used.insert(serial);
        }
        if (!seen.insert({q.model, serial}).second)
            return fail("module " + modelName(q.model) + ":" + serial + " given twice");
        o.modules.push_back({q.model, serial});
    }
    return r;
}

} // namespace telvara::modsim
