// The received stream of an rfc2217:// port: telnet commands and
// subnegotiations taken out, however the reads cut it.
#include "fuzzcheck.h"
#include "core/telnetstream.h"

#include <cstdint>

namespace {

struct Result {
    QByteArray data;
    QList<telnet::Event> events;
};

Result decode(QByteArrayView wire, const QList<qsizetype> &cuts)
{
    telnet::Decoder d;
    Result r;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        d.feed(wire.sliced(from, cut - from), r.data, r.events);
        from = cut;
    }
    d.feed(wire.sliced(from), r.data, r.events);
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose where the reads are cut.
    const QByteArrayView wire(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    QList<qsizetype> cuts;
    const int step = 1 + data[0];
    for (qsizetype at = data[1] % step + 1; at < wire.size(); at += step)
        cuts.append(at);

    const Result whole = decode(wire, {});
    const Result pieces = decode(wire, cuts);
    FUZZ_CHECK(whole.data == pieces.data);
    FUZZ_CHECK(whole.events == pieces.events);
    FUZZ_CHECK(whole.data.size() <= wire.size());
    for (const telnet::Event &e : whole.events)
        FUZZ_CHECK(e.payload.size() <= telnet::Decoder::kMaxSubnegotiation);

    // What is sent comes back unchanged.
    const Result back = decode(telnet::escape(wire), cuts);
    FUZZ_CHECK(back.data == wire.toByteArray());
    FUZZ_CHECK(back.events.isEmpty());

    for (const telnet::Event &e : whole.events) {
        if (e.kind == telnet::Event::Kind::Subnegotiation && e.option == telnet::OptComPort && !e.payload.isEmpty())
            (void)comport::valueText(quint8(e.payload[0]), e.payload.mid(1));
    }
    return 0;
}
