#include "LinkFixture.h"

using namespace telvara;
using namespace telvara::test;

namespace {

class Reconciliation : public LinkFixture {
protected:
    std::shared_ptr<MemoryConnection> c = connect();

    // Sets StCom (and Valor) of the output rows of the module at `first`, by output index.
    void command(int first, int firstOutput, int output, const QString& stCom,
                 const QString& valor = {}) {
        set(col::StCom, first + firstOutput + output, stCom);
        if (!valor.isEmpty())
            set(col::Valor, first + firstOutput + output, valor);
    }
    std::string frameOf(const std::string& code, std::uint8_t out = 0,
                        const std::string& chars = {}) {
        return statusFrame(code, "12345", 0, out, chars);
    }
};

} // namespace

TEST_F(Reconciliation, IdleFramesWhenEverythingAgrees) {
    struct Case {
        std::string code, idle;
    };
    const std::vector<Case> cases{
        {"012", "<VOLKZUW999000000012345>\r\n"}, {"010", "<VOLKZUW999000000012345>\r\n"},
        {"014", "<VOLKZUW999000000012345>\r\n"}, {"020", "<VOLKZUW99900000000012345>\r\n"},
        {"030", "<VOLKZUW999000000012345>\r\n"}, {"040", "<VOLKZUW999000000012345>\r\n"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.code);
        send(*c, frameOf(k.code));
        EXPECT_EQ(k.idle, send(*c, frameOf(k.code)));
        EXPECT_EQ(k.idle, send(*c, frameOf(k.code)));
        resetTable();
    }
}

TEST_F(Reconciliation, SetOneCarriesTheWantedStateOfAllOutputs) {
    // Sela outputs read OFF OFF ON ON; output 2 commanded ON, output 3 OFF.
    const int first = addModule(*c, "014", "12345", 0, 0x0C);
    command(first, 4, 1, "ON");
    command(first, 4, 2, "OFF");
    const std::string cmd = "<VOLKZUW0101000101"
                            "12345>\r\n";
    EXPECT_EQ(cmd, send(*c, statusFrame("014", "12345", 0, 0x0C)));
    EXPECT_EQ(cmd, send(*c, statusFrame("014", "12345", 0, 0x0C))) << "repeated until it holds";
    send(*c, statusFrame("014", "12345", 0, 0x0A));
    EXPECT_EQ("<VOLKZUW999000000012345>\r\n", send(*c, statusFrame("014", "12345", 0, 0x0A)));
}

TEST_F(Reconciliation, SelaFirstOutputFrameHasNoLineEnd) {
    const int sela = addModule(*c, "014", "12345");
    command(sela, 4, 0, "ON");
    EXPECT_EQ("<VOLKZUW0101001000"
              "12345>",
              send(*c, frameOf("014")));

    resetTable();
    const int orla = addModule(*c, "010", "12345");
    command(orla, 3, 0, "ON");
    EXPECT_EQ("<VOLKZUW0101001000"
              "12345>\r\n",
              send(*c, frameOf("010")));
}

TEST_F(Reconciliation, LiraUsesTwoStateCharacters) {
    const int first = addModule(*c, "012", "12345", 0, 0x01);
    command(first, 1, 1, "ON");
    EXPECT_EQ("<VOLKZUW0101001100"
              "12345>\r\n",
              send(*c, statusFrame("012", "12345", 0, 0x01)));
}

TEST_F(Reconciliation, PulseFrames) {
    struct Case {
        const char* what;
        std::string code;
        int firstOutput, output;
        QString spec;
        std::string frame;
        QString lidoAfter, comAfter;
    };
    const std::vector<Case> cases{
        {"Orla output 2 PL05", "010", 3, 1, "PL05",
         std::string("<VOLKZUW01012\x05"
                     "0100"
                     "12345>\r\n"),
         "ON", ""},
        {"Sela output 4 PC10", "014", 4, 3, "PC10",
         std::string("<VOLKZUW01011\x0a"
                     "0001"
                     "12345>\r\n"),
         "ON", ""},
        {"Lira PC00 sends a zero byte", "012", 1, 0, "PC00",
         std::string("<VOLKZUW01011\0"
                     "1000"
                     "12345>\r\n",
                     26),
         "ON", ""},
        {"Tove output 5 PC05", "020", 3, 4, "PC05",
         "<VOLKZUW020140500500"
         "12345>\r\n",
         "PUL", "OFF"},
        {"Tove output 5 PL05", "020", 3, 4, "PL05",
         "<VOLKZUW020140520000"
         "12345>\r\n",
         "PUL", "OFF"},
        {"Tove PL07 sends the full 280", "020", 3, 0, "PL07",
         "<VOLKZUW020140128000"
         "12345>\r\n",
         "PUL", "OFF"},
        {"Tove PL10 sends 400", "020", 3, 7, "PL10",
         "<VOLKZUW020140840000"
         "12345>\r\n",
         "PUL", "OFF"},
        {"Vica pulse output PC03", "040", 2, 2, "PC03",
         "<VOLKZUW04006110003"
         "12345>\r\n",
         "PUL", "OFF"},
        {"Vica output 1 PL12", "040", 2, 0, "PL12",
         "<VOLKZUW04007010012"
         "12345>\r\n",
         "PUL", "OFF"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        const int first = addModule(*c, k.code, "12345");
        const int row = first + k.firstOutput + k.output;
        command(first, k.firstOutput, k.output, "PUL", k.spec);
        EXPECT_EQ(k.frame, send(*c, frameOf(k.code)));
        EXPECT_EQ(k.lidoAfter, cell(col::StLido, row));
        EXPECT_EQ(k.comAfter, cell(col::StCom, row));
        resetTable();
    }
}

TEST_F(Reconciliation, ToveAfterPulseSwitchesOffWhenStillOn) {
    const int first = addModule(*c, "020", "12345");
    command(first, 3, 4, "PUL", "PC05");
    send(*c, frameOf("020"));
    EXPECT_EQ("<VOLKZUW020130500000"
              "12345>\r\n",
              send(*c, frameOf("020", 0x10)));
    EXPECT_EQ("<VOLKZUW99900000000012345>\r\n", send(*c, frameOf("020", 0x00)));
}

TEST_F(Reconciliation, SwitchFramesOfSetsTwoAndFourOneOutputAtATime) {
    const int tove = addModule(*c, "020", "12345");
    command(tove, 3, 2, "ON");
    command(tove, 3, 4, "ON");
    EXPECT_EQ("<VOLKZUW020120300000"
              "12345>\r\n",
              send(*c, frameOf("020")));
    EXPECT_EQ("<VOLKZUW020120300000"
              "12345>\r\n",
              send(*c, frameOf("020")));
    EXPECT_EQ("<VOLKZUW020120500000"
              "12345>\r\n",
              send(*c, frameOf("020", 0x04)));

    resetTable();
    const int vica = addModule(*c, "040", "12345");
    command(vica, 2, 1, "ON");
    EXPECT_EQ("<VOLKZUW04004020000"
              "12345>\r\n",
              send(*c, frameOf("040")));
    set(col::StCom, vica + 3, "OFF");
    set(col::StCom, vica + 2, "ON");
    EXPECT_EQ("<VOLKZUW04004010000"
              "12345>\r\n",
              send(*c, frameOf("040", 0, "00010")))
        << "ON for output 1, which comes first";
    set(col::StCom, vica + 2, "OFF");
    EXPECT_EQ("<VOLKZUW04005020000"
              "12345>\r\n",
              send(*c, frameOf("040", 0, "00010")));
}

TEST_F(Reconciliation, UnusablePulseSpecifications) {
    // An unknown unit letter and a pulse specification too short or without digits are all handled
    // alike, and none of them ends the connection.
    for (const QString spec : {"PX05", "PC", "PLab", "P"}) {
        SCOPED_TRACE(spec.toStdString());
        int first = addModule(*c, "010", "12345");
        command(first, 3, 0, "PUL", spec);
        EXPECT_EQ("", send(*c, frameOf("010")));
        EXPECT_EQ("ON", cell(col::StLido, first + 3));
        EXPECT_EQ("", cell(col::StCom, first + 3));
        resetTable();

        first = addModule(*c, "020", "12345");
        command(first, 3, 0, "PUL", spec);
        EXPECT_EQ("", send(*c, frameOf("020")));
        EXPECT_EQ("OFF", cell(col::StLido, first + 3));
        EXPECT_EQ("PUL", cell(col::StCom, first + 3));
        resetTable();

        first = addModule(*c, "040", "12345");
        command(first, 2, 2, "PUL", spec);
        EXPECT_EQ("", send(*c, frameOf("040")));
        EXPECT_EQ("PUL", cell(col::StLido, first + 4));
        EXPECT_EQ("OFF", cell(col::StCom, first + 4));
        resetTable();
    }
}

TEST_F(Reconciliation, OtherCommandTextWithholdsTheIdleFrameOnly) {
    const int first = addModule(*c, "010", "12345");
    command(first, 3, 0, "XYZ");
    EXPECT_EQ("", send(*c, frameOf("010")));
    command(first, 3, 2, "ON");
    EXPECT_EQ("<VOLKZUW0101000010"
              "12345>\r\n",
              send(*c, frameOf("010")));
}

TEST_F(Reconciliation, AnswersGoOnlyToTheModulesAddress) {
    auto other = connect("10.0.0.77");
    addModule(*c, "012", "12345");
    addModule(*other, "014", "22222");
    c->takeOutput();
    EXPECT_EQ("<VOLKZUW999000000012345>\r\n", send(*c, frameOf("012")));
    EXPECT_EQ("", other->takeOutput());
}

TEST_F(Reconciliation, ReconnectedModuleIsAnsweredOnEveryOpenConnection) {
    addModule(*c, "012", "12345");
    auto again = connect("10.0.0.5");
    const std::string idle = "<VOLKZUW999000000012345>\r\n";
    EXPECT_EQ(idle, send(*again, frameOf("012")));
    EXPECT_EQ(idle, c->takeOutput());
}

TEST_F(Reconciliation, ModulesBehindOneAddressHearOnlyTheirOwnAnswers) {
    auto tove = connect("10.0.0.5"); // same address as c, another module
    addModule(*c, "012", "12345");
    const int first = addModule(*tove, "020", "54321");
    c->takeOutput();
    command(first, 3, 0, "ON");
    EXPECT_EQ("<VOLKZUW020120100000"
              "54321>\r\n",
              send(*tove, statusFrame("020", "54321")));
    EXPECT_EQ("", c->takeOutput());
    EXPECT_EQ("<VOLKZUW999000000012345>\r\n", send(*c, frameOf("012")));
    EXPECT_EQ("", tove->takeOutput());
}

TEST_F(Reconciliation, WriteFailures) {
    addModule(*c, "012", "12345");
    auto again = connect("10.0.0.5");
    // A dead older connection of the same module does not take the live one down.
    c->failWrites(true);
    EXPECT_EQ("<VOLKZUW999000000012345>\r\n", send(*again, frameOf("012")));
    // The connection being served fails with its own write error.
    again->failWrites(true);
    again->feed(frameOf("012"));
    EXPECT_THROW(engine.IdTCPServer1Execute(*again), net::NetError);
}

TEST_F(Reconciliation, FailedWriteKeepsOrDropsThePulseAsTheOrderOfStepsSays) {
    const int first = addModule(*c, "010", "12345");
    command(first, 3, 0, "PUL", "PC05");
    c->failWrites(true);
    c->feed(frameOf("010"));
    EXPECT_THROW(engine.IdTCPServer1Execute(*c), net::NetError);
    EXPECT_EQ("PUL", cell(col::StCom, first + 3)) << "tried again at the next frame";
}

TEST_F(Reconciliation, UnknownModelTextGetsNoFrame) {
    const int first = addModule(*c, "012", "12345");
    for (int r = first; r < first + 3; ++r)
        set(col::Modelo, r, "OUTRO");
    EXPECT_EQ("", send(*c, frameOf("012")));
}
