#include "LinkFixture.h"

using namespace telvara;
using namespace telvara::test;

namespace {
class Reception : public LinkFixture {};
} // namespace

TEST_F(Reception, FirstCallAfterStartOnlyMarksTheCaption) {
    table.caption = kBareCaption;
    auto c = connect();
    c->feed(statusFrame("012", "00001"));
    engine.IdTCPServer1Execute(*c);
    EXPECT_EQ(kBareCaption + " - 10.0.0.1", table.caption);
    EXPECT_EQ(QStringList{kBareCaption + " - 10.0.0.1"}, ui.captions);
    ui.captions.clear();
    EXPECT_EQ(1, ui.count("stopNoConnectionTimer"));
    EXPECT_EQ(0, table.Total_disp) << "the frame waits for the next call";
    EXPECT_FALSE(table.TimerAtualizaGrid_Enabled);

    auto second = std::make_shared<MemoryConnection>("10.0.0.6", "192.168.0.2");
    connections.add(second);
    engine.IdTCPServer1Execute(*c);
    EXPECT_EQ(3, table.Total_disp);
    second->feed(statusFrame("012", "00002"));
    engine.IdTCPServer1Execute(*second);
    EXPECT_EQ(kBareCaption + " - 192.168.0.2 - 6", table.caption) << "registration, not a mark";
    EXPECT_EQ(1, ui.count("stopNoConnectionTimer"));
}

TEST_F(Reception, ReceivedSerialsListHoldsAtMostFortyAndThenStartsOver) {
    auto c = connect();
    for (int k = 1; k <= 41; ++k)
        send(*c, statusFrame("012", QString("%1").arg(k, 5, 10, QChar('0')).toStdString()));
    EXPECT_EQ(1, table.cont_vetor);
    EXPECT_EQ("0004112", table.Vetor_NSRec[1]);
    for (int k = 2; k <= 41; ++k)
        EXPECT_EQ("", table.Vetor_NSRec[k]) << k;
    EXPECT_TRUE(table.TimerAtualizaGrid_Enabled);
}

TEST_F(Reception, FrameBoundaries) {
    auto c = connect();
    const int first = addModule(*c, "012", "00001");

    // Two frames in one burst: the second is dropped with the rest of the input.
    send(*c, statusFrame("012", "00001", 1, 0) + statusFrame("012", "00001", 0, 0));
    EXPECT_EQ("ON", cell(col::StLido, first));
    EXPECT_FALSE(c->waitForData(0));

    // No '>' within 36 bytes: the 36 are the frame, the tail is dropped.
    StatusFrameBuilder longFrame("012", 60);
    longFrame.text(15, "00001").at(12, 0);
    send(*c, longFrame.bytes);
    EXPECT_EQ("OFF", cell(col::StLido, first));
    EXPECT_EQ("3", cell(col::Rx1, first));
    EXPECT_FALSE(c->waitForData(0));

    // A status byte of 0x3E ends the frame there: the serial number reads as zero bytes.
    c->feed(statusFrame("012", "00001", 0x3E, 0));
    EXPECT_THROW(engine.IdTCPServer1Execute(*c), LinkError);
    EXPECT_EQ(3, table.Total_disp);
}

TEST_F(Reception, ToveOutputByteOf0x3EIsAStateNotTheEnd) {
    auto c = connect();
    const int first = addModule(*c, "020", "00001");
    send(*c, statusFrame("020", "00001", 0, 0x3E)); // outputs 2 to 6 ON
    EXPECT_EQ("OFF", cell(col::StLido, first + 3));
    for (int r = first + 4; r <= first + 8; ++r)
        EXPECT_EQ("ON", cell(col::StLido, r));
    EXPECT_EQ("2", cell(col::Rx1, first));
}

TEST_F(Reception, BytesBeforeTheFrameStartAreDiscarded) {
    auto c = connect();
    addModule(*c, "012", "00001");
    c->feed("xx" + statusFrame("012", "00001", 1, 0));
    engine.IdTCPServer1Execute(*c);
    EXPECT_EQ("OFF", cell(col::StLido, 0));
    EXPECT_FALSE(c->waitForData(0));
    EXPECT_EQ("", c->takeOutput());
}

TEST_F(Reception, FrameCutByDisconnectIsNotProcessed) {
    auto c = connect();
    addModule(*c, "012", "00001");
    c->feed(statusFrame("012", "00001", 1, 0).substr(0, 14));
    EXPECT_THROW(engine.IdTCPServer1Execute(*c), net::NetError);
    EXPECT_EQ("OFF", cell(col::StLido, 0));
    EXPECT_EQ("1", cell(col::Rx1, 0));
}

TEST_F(Reception, ConnectionEventsReachTheLabels) {
    auto c = connect();
    engine.IdTCPServer1Connect(*c);
    EXPECT_EQ("1", ui.totalConec.last());
    engine.IdTCPServer1Exception(*c, net::NetError("Connection reset by peer"));
    EXPECT_EQ("Connection reset by peer", ui.status.last());
    connections.remove(c.get());
    engine.IdTCPServer1Disconnect(*c);
    EXPECT_EQ("0", ui.totalConec.last());
}

TEST_F(Reception, ClosedConnectionReadsNothing) {
    auto c = connect();
    c->feed(statusFrame("012", "00001"));
    c->disconnect();
    engine.IdTCPServer1Execute(*c);
    EXPECT_EQ(0, table.Total_disp);
}
