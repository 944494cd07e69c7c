// A room window on a machine whose only sound devices are null (no sound
// server, no card): a granted microphone cannot capture, so it is given back
// once and the user is told, instead of streaming silence.
#include "roomwindow.h"

#include "common/hooks.h"
#include "mainwindow/frmuser.h"
#include "protocol/state.h"
#include "protocol/wsk.h"
#include "rooms/audiodevices.h"
#include "support/fakestream.h"
#include "support/modal.h"
#include "support/peer.h"
#include "support/wire.h"

#include <QtTest>

namespace {

const QByteArray kKeepAlive = QByteArray::fromHex("2d00" "00000000") + "KW.TOVEN" + "test"
                              + QByteArray(28, ' ');

} // namespace

class TestFrmRoomNoMic : public QObject
{
    Q_OBJECT
    LoopbackPeer m_peer;

    // Writes packets to the client; what it sent back before the keep-alive.
    QByteArray deliver(const QByteArray &packets)
    {
        m_peer.send(packets + wirePacket(45, "test", ""));
        QByteArray got;
        while (!got.endsWith(kKeepAlive)) {
            const QByteArray more = m_peer.takeAtLeast(1);
            if (more.isEmpty())
                return "<no keep-alive answer>";
            got += more;
        }
        got.chop(kKeepAlive.size());
        return got;
    }

private slots:
    void micGivenBackAndTold()
    {
        if (chooseAudioDevice(QAudio::AudioInput, roomAudioFormat()).isFormatSupported(roomAudioFormat()))
            QSKIP("this machine has a capture device");
        hooks::setQuitHandler([] {});
        QVERIFY(m_peer.connectClient());
        FrmUser::keepAlivePeriod = 3600 * 1000;
        frmusr = new FrmUser(nullptr);
        frmusr->setUSER(QStringLiteral("me"));
        QCOMPARE(m_peer.sent(), kKeepAlive);
        FakeSource source;
        w_radio = QStringLiteral("127.0.0.1:%1").arg(source.port());
        path_radio = QStringLiteral("room");
        Idroom = IdroomSound = 12;
        ModalAnswerer modal;

        QCOMPARE(deliver(wirePacket(10, "Lst_room",
                                    "id:12|name:R|owner:o|titre:t|sabora:0|a:0|b:0|c:0|d:0|"
                                    "mobachir:0||nick:me|admin:0|type:1|red:0|cam:0|mic:0|"
                                    "hand:0|granted:0")),
                 QByteArray());
        FrmRoom *w = roomWindow(12);
        QVERIFY(w);
        const QByteArray micNo = wirePacket(8, "mic-no", "12");

        QCOMPARE(deliver(wirePacket(13, "mic", "me|12|0|0")), micNo);
        QVERIFY(QTest::qWaitFor([&] { return modal.shown.size() == 1; }, 10000));
        QCOMPARE(modal.shown.first().text, QStringLiteral("Microphone not started"));
        QCOMPARE(modal.shown.first().icon, QMessageBox::Warning);
        QCOMPARE(source.connections, 0);

        // The room's rules run again while the microphone is still held:
        // neither the packet nor the message comes again.
        w->statActiveWindow();
        QCOMPARE(deliver(QByteArray()), QByteArray());
        QCOMPARE(modal.shown.size(), 1);

        // The server takes it back; a new grant tries again.
        QCOMPARE(deliver(wirePacket(13, "mic-no", "me|12|0|0|0")), QByteArray());
        QCOMPARE(deliver(wirePacket(13, "mic", "me|12|0|0")), micNo);
        QVERIFY(QTest::qWaitFor([&] { return modal.shown.size() == 2; }, 10000));
        QCOMPARE(source.connections, 0);

        delete w;
        delete frmusr;
        deleteLaterNow();
    }
};

QTEST_MAIN(TestFrmRoomNoMic)
#include "tst_frmroom_nomic.moc"
