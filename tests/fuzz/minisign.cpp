// minisign public keys and signature files as they come from the vendor's site or a user's option:
// read as both, and a signature that reads is checked against a fixed key and file.

#include "fuzzcheck.h"
#include "platform/minisignkey.h"
#include "platform/minisignsignature.h"

using namespace kivaro;

namespace {

// A key of nobody's: no input can carry a valid signature of it, only one that claims its id.
const MinisignKey Key(MinisignKey::KeyId { 1, 2, 3, 4, 5, 6, 7, 8 }, MinisignKey::Key { 9 });
const QByteArray File = "4\r\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArrayView input = fuzzInput(data, size);

    QString why;
    if (const std::optional<MinisignKey> key = MinisignKey::read(input, &why)) {
        FUZZ_CHECK(why.isEmpty());
        // What reads is one key, whatever surrounded it: written out, it reads back the same.
        FUZZ_CHECK(MinisignKey::read(key->text()) == key);
        FUZZ_CHECK(!key->keyIdText().isEmpty() && key->keyIdText().size() <= 2 * MinisignKey::KeyIdBytes);
    } else {
        FUZZ_CHECK(!why.isEmpty());
    }

    why.clear();
    if (const std::optional<MinisignSignature> signature = MinisignSignature::read(input, &why)) {
        FUZZ_CHECK(why.isEmpty());
        FUZZ_CHECK(!signature->trustedComment().contains('\n'));
        FUZZ_CHECK(signature->trustedComment().size() <= MinisignSignature::MaxTrustedCommentBytes);
        const MinisignSignature::Check check = signature->verify(Key, File);
        FUZZ_CHECK((check == MinisignSignature::Check::WrongKey) == (signature->keyId() != Key.keyId()));
        // Nobody holds that key's secret half.
        FUZZ_CHECK(check != MinisignSignature::Check::Valid);
    } else {
        FUZZ_CHECK(!why.isEmpty());
    }
    return 0;
}
