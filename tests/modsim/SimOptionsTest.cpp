#include "SimOptions.h"

#include <gtest/gtest.h>

using namespace telvara::modsim;

namespace {

QString modules(const SimOptions& o) {
    QStringList parts;
    for (const auto& m : o.modules)
        parts << QString::fromLatin1(m.model->shortName.data(), m.model->shortName.size()) + ":" +
                     m.serial;
    return parts.join(' ');
}

struct ModulesCase {
    QStringList args;
    QString expected; // "model:serial ...", or the start of the error
    bool error = false;
};

TEST(SimOptions, ModuleLists) {
    const ModulesCase cases[] = {
        {{"--module", "VOLK-Orla"}, "orla:00001"},
        {{"--module", "orla:7", "--module", "TOVE"}, "orla:00007 tove:00001"},
        {{"--module", "orla:1", "--module=lira"}, "orla:00001 lira:00002"},
        {{"--all"}, "lira:00001 orla:00002 sela:00003 tove:00004 unda:00005 vica:00006"},
        {{"--module", "orla:10", "--module", "vica", "--count", "3"},
         "orla:00010 vica:00011 orla:00012"},
        {{"--count", "7"},
         "lira:00001 orla:00002 sela:00003 tove:00004 unda:00005 vica:00006 lira:00007"},
        {{}, "no module given", true},
        {{"--module", "volk-xyz"}, "unknown model", true},
        {{"--module", "orla:123456"}, "serial number", true},
        {{"--module", "orla:1", "--module", "orla:00001"},
         "module VOLK-Orla:00001 given twice",
         true},
        {{"--module", "orla:99999", "--count", "2"}, "serial numbers would pass", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto r = parseSimArgs(c.args);
        if (c.error) {
            EXPECT_TRUE(r.error.startsWith(c.expected)) << r.error.toStdString();
        } else {
            EXPECT_EQ(QString(), r.error);
            EXPECT_EQ(c.expected, modules(r.options));
        }
    }
}

TEST(SimOptions, ValuesAndTheirErrors) {
    auto r = parseSimArgs({"--host", "10.0.0.5", "--port=5001", "--all", "--interval", "20",
                           "--inputs", "toggle:300", "--analog", "1,2,3,9999", "--duration", "2.5",
                           "--seed", "7", "--verbose", "--log-json"});
    ASSERT_EQ(QString(), r.error);
    const SimOptions& o = r.options;
    EXPECT_EQ("10.0.0.5", o.host);
    EXPECT_EQ(5001, o.port);
    EXPECT_EQ(20, o.intervalMs);
    EXPECT_EQ(InputMode::Kind::Toggle, o.inputs.kind);
    EXPECT_EQ(300, o.inputs.periodMs);
    EXPECT_EQ((std::array<int, 4>{1, 2, 3, 9999}), o.analog.values);
    EXPECT_FALSE(o.analog.random);
    EXPECT_DOUBLE_EQ(2.5, o.durationS);
    EXPECT_TRUE(o.seedGiven);
    EXPECT_EQ(7u, o.seed);
    EXPECT_TRUE(o.verbose && o.logJson);

    r = parseSimArgs({"--all", "--inputs", "static:101", "--analog", "random"});
    EXPECT_EQ("101", r.options.inputs.bits);
    EXPECT_TRUE(r.options.analog.random);
    EXPECT_TRUE(parseSimArgs({"--help"}).help);

    const QStringList bad[] = {
        {"--all", "--port", "0"},
        {"--all", "--port", "65536"},
        {"--all", "--interval", "0"},
        {"--all", "--inputs", "static:102"},
        {"--all", "--inputs", "random"},
        {"--all", "--inputs", "blink:5"},
        {"--all", "--analog", "1,2,3"},
        {"--all", "--analog", "1,2,3,10000"},
        {"--all", "--duration", "-1"},
        {"--all", "--seed", "x"},
        {"--all", "--bogus"},
        {"--all", "stray"},
        {"--all", "--port"},
        {"--all=yes"},
    };
    for (const auto& args : bad)
        EXPECT_FALSE(parseSimArgs(args).error.isEmpty()) << args.join(' ').toStdString();
}

TEST(SimOptions, HelpNamesEveryOption) {
    const QString help = simHelpText();
    for (const char* option :
         {"--host", "--port", "--module", "--all", "--count", "--interval", "--inputs", "--analog",
          "--duration", "--seed", "--verbose", "--log-json", "--help"})
        EXPECT_TRUE(help.contains(option)) << option;
}

} // namespace
