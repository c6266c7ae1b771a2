// Payload decoding per kind: a text of the wrong length changes nothing, a text of the right
// length gives the values, the result and the mode code of the reference decoder (an illegal MOD
// or MUX digit applying nothing), and decoding what a decoded configuration encodes to is stable.
#include "fuzz/FuzzInput.h"
#include "fuzz/ReferenceDecoding.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/PayloadCodec.h"

#include <stdexcept>
#include <string>

namespace {

// Encodes the payload of kind from the view, checks it, decodes it back into the view and
// returns it.
std::string RoundTrip(kronax::PayloadKind kind, kronax::MemoryConfigurationView& view,
                      int modeCode) {
    const std::string encoded = EncodePayload(kind, view.Snapshot());
    if (encoded.size() != kronax::PayloadLength(kind))
        kronax::fuzz::Fail("a decoded configuration encodes to the wrong length");
    if (DecodePayload(kind, encoded, view, modeCode) != kronax::DecodeResult::Legal)
        kronax::fuzz::Fail("an encoded payload is not legal");
    return encoded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kronax;
    using kronax::fuzz::Fail;
    kronax::fuzz::FuzzInput input(data, size);
    const PayloadKind kind = PayloadKinds[input.Byte() % PayloadKinds.size()];
    const int startModeCode = input.Byte() % 16;
    const std::string text = input.Rest();

    MemoryConfigurationView view;
    int modeCode = startModeCode;
    if (text.size() != PayloadLength(kind)) {
        try {
            DecodePayload(kind, text, view, modeCode);
            Fail("a payload of the wrong length was taken");
        } catch (const std::invalid_argument&) {
        }
        if (view.Snapshot() != StartSnapshot() || modeCode != startModeCode)
            Fail("a payload of the wrong length changed the configuration");
        return 0;
    }

    // A payload says less than the configuration holds (one digit sets two selections, the
    // sensor type decides which one is sent back), so the first round trip may move the
    // configuration; from then on payload and configuration stay as they are.
    const fuzz::ReferenceDecoding expected =
        fuzz::ReferenceDecode(kind, text, view.Snapshot(), modeCode);
    const bool legal = DecodePayload(kind, text, view, modeCode) == DecodeResult::Legal;
    if (legal != expected.legal)
        Fail("a payload's legality differs from the reference");
    if (view.Snapshot() != expected.snapshot)
        Fail("a payload's decoded values differ from the reference");
    if (modeCode != expected.modeCode)
        Fail("a payload's mode code differs from the reference");
    const std::string first = RoundTrip(kind, view, startModeCode);
    const ConfigurationSnapshot settled = view.Snapshot();
    if (RoundTrip(kind, view, startModeCode) != first || view.Snapshot() != settled)
        Fail("decode, encode, decode is not stable");
    return 0;
}
